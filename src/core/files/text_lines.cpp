#include "files/text_lines.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "files/data_file_reader.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace slm {
namespace {

constexpr std::size_t kChunkBytes = 1 << 20;
static_assert(kChunkBytes > kMaxLineBytes, "a whole line must fit a chunk");

// Notes a tab at `at` in the shape of the line that starts at `from`.
inline void NoteTab(LineShape& shape, std::size_t at, std::size_t from) {
  if (shape.tab_count < 3) shape.tabs[shape.tab_count++] = at - from;
}

// Finds the end of the line that starts at `from`: the first CR or LF before
// `end`, or `end` when there is none. Notes the line's shape on the way, so
// that a record line is read once instead of searched for each kind of byte.
std::size_t ScanLine(const char* data, std::size_t from, std::size_t end, LineShape& shape) {
  shape.tab_count = 0;
  shape.quote = false;
  std::size_t i = from;
#if defined(__SSE2__)
  // Sixteen bytes at a time: a bit for each CR or LF, tab and quote.
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i tab = _mm_set1_epi8('\t');
  const __m128i quote = _mm_set1_epi8('"');
  for (; i + 16 <= end; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const unsigned ends = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
    // Only what comes before the line's end belongs to the line.
    const unsigned in_line = ends == 0 ? 0xFFFFu : (1u << std::countr_zero(ends)) - 1;
    unsigned tabs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, tab))) & in_line;
    if ((static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, quote))) & in_line) != 0) {
      shape.quote = true;
    }
    for (; tabs != 0 && shape.tab_count < 3; tabs &= tabs - 1) {
      NoteTab(shape, i + static_cast<std::size_t>(std::countr_zero(tabs)), from);
    }
    if (ends != 0) return i + static_cast<std::size_t>(std::countr_zero(ends));
  }
#endif
  for (; i < end; ++i) {
    const char c = data[i];
    if (c == '\n' || c == '\r') return i;
    if (c == '\t') NoteTab(shape, i, from);
    if (c == '"') shape.quote = true;
  }
  return end;
}

}  // namespace

void ReadLines(const ReadChunkFn& read, LineSink& sink, std::size_t size_hint) {
  const std::size_t size =
      size_hint == 0 ? kChunkBytes : std::clamp(size_hint + 1, kMaxLineBytes + 2, kChunkBytes);
  std::string buffer(size, '\0');
  std::size_t kept = 0;      // bytes of an unfinished line at the start of the buffer
  std::size_t consumed = 0;  // bytes of the source before the buffer's start
  bool after_cr = false;     // the last line ended at a CR: an LF next is part of its end
  bool long_line = false;    // the unfinished line is past kMaxLineBytes and being dropped
  for (;;) {
    const std::size_t got = read(buffer.data() + kept, buffer.size() - kept);
    if (got == 0) {
      // The last line may lack its line end.
      if (long_line) {
        sink.LongLine(consumed + kept);
      } else if (kept > 0) {
        LineShape shape;
        ScanLine(buffer.data(), 0, kept, shape);
        sink.Line(std::string_view(buffer.data(), kept), shape, consumed + kept, false);
      }
      sink.Done(consumed + kept);
      return;
    }
    const char* data = buffer.data();
    const std::size_t end = kept + got;
    std::size_t begin = 0;
    if (after_cr && kept == 0 && data[0] == '\n') begin = 1;
    after_cr = false;
    LineShape shape;
    for (std::size_t at; (at = ScanLine(data, begin, end, shape)) < end;) {
      const std::size_t line_end = at + (data[at] == '\r' && at + 1 < end && data[at + 1] == '\n');
      after_cr = data[at] == '\r' && at + 1 == end;
      bool go_on;
      if (long_line) {
        sink.Skip(at - begin);
        go_on = sink.LongLine(consumed + line_end + 1);
        long_line = false;
      } else if (at - begin > kMaxLineBytes) {
        sink.Skip(at - begin);
        go_on = sink.LongLine(consumed + line_end + 1);
      } else {
        go_on = sink.Line(std::string_view(data + begin, at - begin), shape,
                          consumed + line_end + 1, true);
      }
      if (!go_on) {
        sink.Done(consumed + line_end + 1);
        return;
      }
      begin = line_end + 1;
    }
    kept = end - begin;
    if (long_line || kept > kMaxLineBytes) {
      // No line end in sight: drop what there is of the line and go on looking.
      sink.Skip(kept);
      long_line = true;
      consumed += end;
      kept = 0;
      continue;
    }
    consumed += begin;
    std::memmove(buffer.data(), data + begin, kept);
  }
}

std::size_t NulRuns::Read(const ReadChunkFn& read, char* to, std::size_t size) {
  std::size_t out = 0;
  if (ahead_at_ == ahead_.size() && run_ == 0 && !source_done_) {
    // Most reads: straight into the caller's buffer, kept from the first NUL on.
    const std::size_t got = read(to, size);
    if (got == 0) {
      source_done_ = true;
      return 0;
    }
    const void* nul = std::memchr(to, '\0', got);
    if (nul == nullptr) {
      passed_ += got;
      consumed_ += got;
      return got;
    }
    out = static_cast<std::size_t>(static_cast<const char*>(nul) - to);
    consumed_ += out;
    ahead_.assign(to + out, got - out);
    ahead_at_ = 0;
  }
  while (out < size) {
    if (ahead_at_ == ahead_.size()) {
      // What is passed on already is enough for now, unless a run is under
      // way: whether text follows it decides what it is.
      if (source_done_ || (out > 0 && run_ == 0)) break;
      ahead_.resize(std::size_t{1} << 16);
      ahead_.resize(read(ahead_.data(), ahead_.size()));
      ahead_at_ = 0;
      if (ahead_.empty()) {
        source_done_ = true;
        tail_ = run_;
        run_ = 0;
        break;
      }
    }
    const char* data = ahead_.data() + ahead_at_;
    const std::size_t left = ahead_.size() - ahead_at_;
    if (data[0] == '\0') {
      std::size_t n = 0;
      while (n < left && data[n] == '\0') ++n;
      ahead_at_ += n;
      CountRun(n);
      continue;
    }
    if (run_ > 0) {
      binary_ = binary_ || run_start_ % kDamageBlock != 0 || run_ % kDamageBlock != 0;
      runs_.push_back({passed_ + out, run_});
      run_ = 0;
      to[out++] = '\n';
      continue;
    }
    const std::size_t room = std::min(left, size - out);
    const void* nul = std::memchr(data, '\0', room);
    const std::size_t text =
        nul == nullptr ? room : static_cast<std::size_t>(static_cast<const char*>(nul) - data);
    std::memcpy(to + out, data, text);
    out += text;
    ahead_at_ += text;
    consumed_ += text;
  }
  passed_ += out;
  return out;
}

void NulRuns::CountRun(std::size_t bytes) {
  if (run_ == 0) run_start_ = consumed_;
  run_ += bytes;
  consumed_ += bytes;
  if (run_ > kMaxSkippedBytes) {
    throw DataFileError(name_, "\"" + name_ +
                                   "\" is not a list of levels: it holds more than 64 MB of "
                                   "zero bytes");
  }
}

}  // namespace slm
