#include "files/data_file_reader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

#include "files/csv_fields.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace slm {
namespace {

constexpr std::size_t kChunkBytes = 1 << 20;
static_assert(kChunkBytes > kMaxLineBytes, "a whole line must fit a chunk");

bool IsBlankLine(std::string_view s) {
  return s.find_first_not_of(" \t") == std::string_view::npos;
}

// What a record split needs to know of a line, found in the same pass over
// its bytes as the line's end: where its first three tabs are and whether it
// holds a quote. Positions count from the line's first byte.
struct LineShape {
  std::size_t tabs[3] = {};
  int tab_count = 0;
  bool quote = false;
};

bool SplitAt(std::string_view line, char separator, RecordView& fields, bool& level_ended) {
  std::string_view* out[3] = {&fields.number, &fields.date_time, &fields.level};
  std::string_view rest = line;
  level_ended = false;
  for (int i = 0; i < 3; ++i) {
    const std::size_t at = rest.find(separator);
    if (at == std::string_view::npos) {
      // Only the last field may run to the end of the line, and it must be there.
      if (i < 2 || rest.empty()) return false;
      *out[i] = rest;
      return true;
    }
    *out[i] = rest.substr(0, at);
    rest.remove_prefix(at + 1);
  }
  level_ended = true;
  return true;
}

// Takes the lines of a file one by one and builds the list.
class Parser {
 public:
  Parser(DataFile& file, const ReadProgressFn& progress, std::size_t total_bytes)
      : file_(file), progress_(progress), total_bytes_(total_bytes) {
    if (total_bytes > 0) {
      // A record line holds its fields plus about five bytes of separators and line end.
      const std::size_t text = std::min(total_bytes, kMaxRecords * 48);
      file_.list.Reserve(std::min(kMaxRecords, total_bytes / 24 + 1), text);
    }
  }

  // One line without its line end, and its shape; `ended`: it had one (only
  // the last line of a file may lack it). Returns false when the read should stop.
  bool Line(std::string_view line, const LineShape& shape, std::size_t bytes_so_far,
            bool ended = true) {
    const std::size_t c = file_.lines++;
    bool go_on = true;
    if (c > header_lines_) {
      go_on = RecordLine(line, shape, ended);
    } else if (c == 0) {
      Kind(line);
    } else if (c < header_lines_) {
      HeaderValue(c, line);
    }
    return Progress(bytes_so_far) && go_on;
  }

  // A line longer than kMaxLineBytes, whose bytes were passed to Skip.
  bool LongLine(std::size_t bytes_so_far) {
    const std::size_t c = file_.lines++;
    if (c == 0) Kind({});
    if (c > header_lines_) ++file_.skipped_lines;
    return Progress(bytes_so_far);
  }

  // Counts bytes of lines that are no records; too many make the file no list.
  void Skip(std::size_t bytes) {
    skipped_bytes_ += bytes;
    if (skipped_bytes_ > kMaxSkippedBytes) {
      throw DataFileError(file_.title, "\"" + file_.title +
                                           "\" is not a list of levels: it holds more than 64 MB "
                                           "of lines that are no records");
    }
  }

  // The last update, whatever the throttle says. Storage reserved for the
  // records a file's size promised is given back when they did not come.
  void Done(std::size_t bytes) {
    if (file_.list.MemoryBytes() > 2 * record_bytes_ + 4096) file_.list.ShrinkToFit();
    if (progress_ && !file_.cancelled) progress_(Report(bytes));
  }

 private:
  ReadProgress Report(std::size_t bytes) const {
    return {file_.lines, file_.list.size(), bytes, total_bytes_, ReadCaption(file_.lines)};
  }

  bool Progress(std::size_t bytes_so_far) {
    if (!progress_ || file_.lines % kProgressLines != 0 || !throttle_.Due()) return true;
    if (!progress_(Report(bytes_so_far))) {
      file_.cancelled = true;
      return false;
    }
    return true;
  }

  void Kind(std::string_view line) {
    ListHeader& h = file_.list.header();
    h.kind = KindOfFirstLine(line);
    if (h.kind == ListKind::kDataLogger2) {
      h.note = HeaderItem(line.substr(line.find("Data Logger 2") + 13));
      while (!h.note.empty() && h.note.back() == ' ') h.note.pop_back();
    }
    header_lines_ = h.kind == ListKind::kRealTime ? 9 : h.kind == ListKind::kPlain ? 0 : 14;
  }

  void HeaderValue(std::size_t c, std::string_view line) {
    ListHeader& h = file_.list.header();
    if (h.kind == ListKind::kRealTime) {
      std::string* fields[] = {&h.second_value,
                               &h.frequency_weighting,
                               &h.time_weighting,
                               &h.range,
                               &h.max_level,
                               &h.max_time,
                               &h.sel,
                               &h.leq};
      *fields[c - 1] = HeaderValueFrom(line, 1);
      return;
    }
    std::string* fields[] = {&h.second_value,
                             &h.frequency_weighting,
                             &h.time_weighting,
                             &h.range,
                             &h.l05,
                             &h.l10,
                             &h.l50,
                             &h.l90,
                             &h.l95,
                             &h.max_level,
                             &h.max_time,
                             &h.sel,
                             &h.leq};
    if (h.kind == ListKind::kDataLogger) {
      *fields[c - 1] = HeaderValueFrom(line, 1);
      return;
    }
    // "Data Logger 2" lines carry a key and a blank before the value, except
    // the two weightings and the time of the maximum.
    static constexpr std::size_t kValueStart[] = {4, 1, 1, 7, 5, 5, 5, 5, 5, 8, 1, 5, 5};
    *fields[c - 1] = HeaderValueFrom(line, kValueStart[c - 1]);
  }

  bool RecordLine(std::string_view line, const LineShape& shape, bool ended) {
    bool level_ended = false;
    RecordView view;
    bool split = SplitByShape(line, shape, view, level_ended);
    if (!split && SplitRecordLine(line, fields_, &level_ended)) {
      split = true;
      view = {fields_.number, fields_.date_time, fields_.level};
    }
    // A last line whose level runs into the end of the file was cut while it
    // was written (a crash, a full disk): "6" may have been "64.1".
    const bool cut = !ended && !level_ended && !IsBlankLine(line);
    if (!split || cut) {
      // A blank line (often one at the very end) is no lost record.
      if (!IsBlankLine(line)) {
        ++file_.skipped_lines;
        file_.last_line_cut = cut;
        Skip(line.size() + 1);
      }
      return true;
    }
    if (file_.list.full()) {
      file_.truncated = true;
      return false;
    }
    file_.list.Append(view);
    record_bytes_ +=
        view.number.size() + view.date_time.size() + view.level.size() + 3 * sizeof(std::uint32_t);
    return true;
  }

  // Most record lines: tab-separated, without quotes. Their fields are taken
  // where the shape says, just as SplitRecordLine would take them, without
  // copying them first; any other line is left to SplitRecordLine (false).
  static bool SplitByShape(std::string_view line, const LineShape& shape, RecordView& view,
                           bool& level_ended) {
    if (shape.quote || shape.tab_count < 2) return false;
    std::size_t first = 0;
    while (line[first] == ' ') ++first;  // a tab comes before the line's end
    const std::size_t level = shape.tabs[1] + 1;
    std::size_t level_end = line.size();
    if (shape.tab_count == 3) {
      level_end = shape.tabs[2];
    } else if (level == line.size()) {
      return false;  // no level after the second tab: perhaps commas split it
    }
    view.number = line.substr(first, shape.tabs[0] - first);
    view.date_time = line.substr(shape.tabs[0] + 1, shape.tabs[1] - shape.tabs[0] - 1);
    view.level = line.substr(level, level_end - level);
    level_ended = shape.tab_count == 3;
    return true;
  }

  DataFile& file_;
  const ReadProgressFn& progress_;
  std::size_t total_bytes_;
  std::size_t header_lines_ = 0;
  std::size_t skipped_bytes_ = 0;
  std::size_t record_bytes_ = 0;  // what the records need in a list
  Record fields_;
  ProgressThrottle throttle_;
};

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

// Feeds the lines of a source to the parser, reading it in chunks so that a
// huge file opened by mistake costs no more memory than a full list. CR LF,
// LF and CR each end a line; a line past kMaxLineBytes is dropped as it comes.
// `size_hint`: the bytes expected, 0 when not known; a small file needs no
// chunk of a megabyte, but every buffer holds a line of kMaxLineBytes and more.
template <typename ReadChunk>
void ReadLines(ReadChunk read, Parser& parser, std::size_t size_hint) {
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
        parser.LongLine(consumed + kept);
      } else if (kept > 0) {
        LineShape shape;
        ScanLine(buffer.data(), 0, kept, shape);
        parser.Line(std::string_view(buffer.data(), kept), shape, consumed + kept, false);
      }
      parser.Done(consumed + kept);
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
        parser.Skip(at - begin);
        go_on = parser.LongLine(consumed + line_end + 1);
        long_line = false;
      } else if (at - begin > kMaxLineBytes) {
        parser.Skip(at - begin);
        go_on = parser.LongLine(consumed + line_end + 1);
      } else {
        go_on =
            parser.Line(std::string_view(data + begin, at - begin), shape, consumed + line_end + 1);
      }
      if (!go_on) {
        parser.Done(consumed + line_end + 1);
        return;
      }
      begin = line_end + 1;
    }
    kept = end - begin;
    if (long_line || kept > kMaxLineBytes) {
      // No line end in sight: drop what there is of the line and go on looking.
      parser.Skip(kept);
      long_line = true;
      consumed += end;
      kept = 0;
      continue;
    }
    consumed += begin;
    std::memmove(buffer.data(), data + begin, kept);
  }
}

// Passes a source's bytes on up to its first NUL byte and looks at what
// follows. Text holds no NUL byte, but a power cut leaves the blocks of a file
// that were never written as NUL bytes: a source whose bytes from some point
// to its end are all NUL is text with a damaged end, which is left out. NUL
// bytes with anything else after them make the source no text at all.
class NulTail {
 public:
  explicit NulTail(const std::string& name) : name_(name) {}

  template <typename ReadChunk>
  std::size_t Read(ReadChunk& read, char* to, std::size_t size) {
    if (in_tail_) return 0;
    const std::size_t got = read(to, size);
    const void* nul = std::memchr(to, '\0', got);
    if (nul == nullptr) return got;
    in_tail_ = true;
    const std::size_t text = static_cast<std::size_t>(static_cast<const char*>(nul) - to);
    Look(to + text, got - text);
    std::string rest(std::size_t{1} << 16, '\0');
    while (!text_after_) {
      const std::size_t more = read(rest.data(), rest.size());
      if (more == 0) break;
      Look(rest.data(), more);
    }
    return text;
  }

  std::size_t nul_bytes() const { return text_after_ ? 0 : nul_bytes_; }
  bool text_after() const { return text_after_; }

 private:
  void Look(const char* data, std::size_t size) {
    if (std::any_of(data, data + size, [](char c) { return c != '\0'; })) {
      text_after_ = true;
      return;
    }
    nul_bytes_ += size;
    if (nul_bytes_ > kMaxSkippedBytes) {
      throw DataFileError(name_, "\"" + name_ +
                                     "\" is not a list of levels: it ends in more than 64 MB of "
                                     "zero bytes");
    }
  }

  const std::string& name_;
  bool in_tail_ = false;
  bool text_after_ = false;
  std::size_t nul_bytes_ = 0;
};

// Reads a source into `file`. Returns true when it held NUL bytes that are no
// damaged end, that is when it is no text.
template <typename ReadChunk>
bool ReadAll(const std::string& name, ReadChunk read, DataFile& file,
             const ReadProgressFn& progress, std::size_t total_bytes, std::size_t size_hint) {
  try {
    Parser parser(file, progress, total_bytes);
    NulTail tail(name);
    ReadLines([&](char* to, std::size_t size) { return tail.Read(read, to, size); }, parser,
              size_hint);
    file.damaged_bytes = tail.nul_bytes();
    return tail.text_after();
  } catch (const std::bad_alloc&) {
    throw DataFileError(name, "\"" + name + "\" is too large to be read as a list");
  } catch (const std::length_error&) {
    throw DataFileError(name, "\"" + name + "\" is too large to be read as a list");
  }
}

}  // namespace

ListKind KindOfFirstLine(std::string_view line) {
  // "Data Logger 2" contains "Data Logger", so it is asked first.
  if (line.find("Real Time") != std::string_view::npos) return ListKind::kRealTime;
  if (line.find("Data Logger 2") != std::string_view::npos) return ListKind::kDataLogger2;
  if (line.find("Data Logger") != std::string_view::npos) return ListKind::kDataLogger;
  return ListKind::kPlain;
}

bool SplitRecordLine(std::string_view line, Record& fields, bool* level_ended) {
  bool ended = false;
  if (level_ended == nullptr) level_ended = &ended;
  *level_ended = false;
  const std::size_t first = line.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  line.remove_prefix(first);
  if (line.find('"') == std::string_view::npos) {
    // Most lines: no quotes, the fields are taken as they are.
    RecordView view;
    if (!SplitAt(line, '\t', view, *level_ended) && !SplitAt(line, ',', view, *level_ended)) {
      return false;
    }
    fields.number.assign(view.number);
    fields.date_time.assign(view.date_time);
    fields.level.assign(view.level);
    return true;
  }
  std::string texts[3];
  if (!SplitQuotedFields(line, '\t', texts, level_ended) &&
      !SplitQuotedFields(line, ',', texts, level_ended)) {
    return false;
  }
  fields.number = std::move(texts[0]);
  fields.date_time = std::move(texts[1]);
  fields.level = std::move(texts[2]);
  return true;
}

std::string HeaderValueFrom(std::string_view line, std::size_t k) {
  return HeaderItem(line.size() >= k ? line.substr(k - 1) : std::string_view());
}

void CheckDataFileContent(const std::string& path, const DataFile& file, std::size_t bytes,
                          bool has_nul) {
  if (file.cancelled) return;
  if (bytes == 0) throw DataFileError(path, AbsolutePath(path) + " is empty");
  if (file.lines == 0 && file.damaged_bytes > 0) {
    throw DataFileError(path, AbsolutePath(path) +
                                  " is damaged: it holds only zero bytes, as a power cut leaves "
                                  "a file that was never written");
  }
  // A list we wrote ourselves may hold no record yet (a recording stopped
  // before its first sample): its first line names its kind.
  const bool no_record = file.list.empty() && file.list.kind() == ListKind::kPlain;
  if (no_record && !has_nul && file.damaged_bytes > 0) {
    throw DataFileError(
        path, AbsolutePath(path) + " holds no whole record: the end of the file was damaged");
  }
  if (has_nul || no_record) {
    throw DataFileError(path, AbsolutePath(path) + " is not a data file: no record line found");
  }
}

DataFile OpenDataFile(const std::string& path, const ReadProgressFn& progress) {
  InputFile in(path);
  DataFile file;
  // Errors name the file by its path, the result by its name.
  file.title = path;
  std::size_t bytes = 0;
  // Binary content is no list, however it splits.
  const bool has_nul = ReadAll(
      path,
      [&](char* to, std::size_t size) {
        const std::size_t got = in.Read(to, size);
        bytes += got;
        return got;
      },
      file, progress, in.SizeHint(), in.SizeHint());
  CheckDataFileContent(path, file, bytes, has_nul);
  file.title = std::filesystem::path(path).filename().string();
  return file;
}

DataFile OpenDataFile(std::istream& in, const std::string& title, const ReadProgressFn& progress) {
  DataFile file;
  file.title = title;
  const std::streamsize buffered = in.rdbuf() != nullptr ? in.rdbuf()->in_avail() : 0;
  const bool binary = ReadAll(
      title,
      [&](char* to, std::size_t size) -> std::size_t {
        in.read(to, static_cast<std::streamsize>(size));
        if (in.bad()) throw DataFileError(title, "Cannot read \"" + title + "\"");
        return static_cast<std::size_t>(in.gcount());
      },
      file, progress, 0, buffered > 0 ? static_cast<std::size_t>(buffered) : 0);
  if (binary) throw DataFileError(title, "\"" + title + "\" is not a data file: it is no text");
  return file;
}

}  // namespace slm
