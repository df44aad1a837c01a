#include "files/data_file_reader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace slm {
namespace {

constexpr std::size_t kChunkBytes = 1 << 20;

std::string_view Trim(std::string_view s) {
  const std::size_t begin = s.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return s.substr(begin, s.find_last_not_of(" \t") - begin + 1);
}

// The rest of a header line from its k-th character (1-based): the value after
// a key such as "L05 ".
std::string FromCharacter(std::string_view line, std::size_t k) {
  return std::string(Trim(line.size() >= k ? line.substr(k - 1) : std::string_view()));
}

bool SplitAt(std::string_view line, char separator, RecordView& fields) {
  std::string_view* out[3] = {&fields.number, &fields.date_time, &fields.level};
  std::string_view rest = line;
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

  // Returns false when the read should stop.
  bool Line(std::string_view line, std::size_t bytes_so_far) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t c = file_.lines++;
    bool go_on = true;
    if (c == 0) {
      Kind(line);
    } else if (c < header_lines_) {
      HeaderValue(c, Trim(line));
    } else if (c > header_lines_) {
      go_on = RecordLine(line);
    }
    if (file_.lines % kProgressLines == 0 && progress_) {
      if (!progress_({file_.lines, file_.list.size(), bytes_so_far, total_bytes_})) {
        file_.cancelled = true;
        return false;
      }
    }
    return go_on;
  }

 private:
  void Kind(std::string_view line) {
    ListHeader& h = file_.list.header();
    h.kind = KindOfFirstLine(line);
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
      *fields[c - 1] = line;
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
      *fields[c - 1] = line;
      return;
    }
    // "Data Logger 2" lines carry a key and a blank before the value, except
    // the two weightings and the time of the maximum.
    static constexpr std::size_t kValueStart[] = {4, 1, 1, 7, 5, 5, 5, 5, 5, 8, 1, 5, 5};
    *fields[c - 1] = FromCharacter(line, kValueStart[c - 1]);
  }

  bool RecordLine(std::string_view line) {
    RecordView fields;
    if (!SplitRecordLine(line, fields)) {
      // A blank line (often one at the very end) is no lost record.
      if (!Trim(line).empty()) ++file_.skipped_lines;
      return true;
    }
    if (file_.list.full()) {
      file_.truncated = true;
      return false;
    }
    file_.list.Append(fields);
    return true;
  }

  DataFile& file_;
  const ReadProgressFn& progress_;
  std::size_t total_bytes_;
  std::size_t header_lines_ = 0;
};

// Feeds the lines of a source to the parser, reading it in chunks so that a
// huge file opened by mistake costs no more memory than a full list.
template <typename ReadChunk>
void ReadLines(ReadChunk read, Parser& parser) {
  std::string buffer(kChunkBytes, '\0');
  std::size_t kept = 0;  // bytes of an unfinished line at the start of the buffer
  std::size_t consumed = 0;
  for (;;) {
    if (kept == buffer.size()) buffer.resize(2 * buffer.size());
    const std::size_t got = read(buffer.data() + kept, buffer.size() - kept);
    if (got == 0) {
      // The last line may lack its line end.
      if (kept > 0) parser.Line(std::string_view(buffer.data(), kept), consumed + kept);
      return;
    }
    const char* data = buffer.data();
    const std::size_t end = kept + got;
    std::size_t begin = 0;
    while (const void* found = std::memchr(data + begin, '\n', end - begin)) {
      const std::size_t line_end = static_cast<const char*>(found) - data;
      if (!parser.Line(std::string_view(data + begin, line_end - begin), consumed + line_end + 1)) {
        return;
      }
      begin = line_end + 1;
    }
    consumed += begin;
    kept = end - begin;
    std::memmove(buffer.data(), data + begin, kept);
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

bool SplitRecordLine(std::string_view line, RecordView& fields) {
  const std::size_t first = line.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  line.remove_prefix(first);
  return SplitAt(line, '\t', fields) || SplitAt(line, ',', fields);
}

DataFile OpenDataFile(const std::string& path, const ReadProgressFn& progress) {
  InputFile in(path);
  DataFile file;
  file.title = std::filesystem::path(path).filename().string();
  Parser parser(file, progress, in.SizeHint());
  ReadLines([&](char* to, std::size_t size) { return in.Read(to, size); }, parser);
  return file;
}

DataFile OpenDataFile(std::istream& in, const std::string& title, const ReadProgressFn& progress) {
  DataFile file;
  file.title = title;
  Parser parser(file, progress, 0);
  ReadLines(
      [&](char* to, std::size_t size) -> std::size_t {
        in.read(to, static_cast<std::streamsize>(size));
        if (in.bad()) throw DataFileError(title, "Cannot read \"" + title + "\"");
        return static_cast<std::size_t>(in.gcount());
      },
      parser);
  return file;
}

}  // namespace slm
