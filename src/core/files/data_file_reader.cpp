#include "files/data_file_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "base/number_text.h"
#include "base/text_excerpt.h"
#include "files/csv_fields.h"
#include "files/text_lines.h"

namespace slm {
namespace {

bool IsBlankLine(std::string_view s) {
  return s.find_first_not_of(" \t") == std::string_view::npos;
}

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
class Parser : public LineSink {
 public:
  Parser(DataFile& file, const ReadProgressFn& progress, std::size_t total_bytes,
         const NulRuns& runs, bool keep_records)
      : file_(file),
        progress_(progress),
        total_bytes_(total_bytes),
        runs_(runs),
        keep_records_(keep_records) {
    if (total_bytes > 0 && keep_records) {
      // A record line holds its fields plus about five bytes of separators and line end.
      const std::size_t text = std::min(total_bytes, kMaxRecords * 48);
      file_.list.Reserve(std::min(kMaxRecords, total_bytes / 24 + 1), text);
    }
  }

  bool Line(std::string_view line, const LineShape& shape, std::size_t bytes_so_far,
            bool ended) override {
    const std::size_t c = file_.lines++;
    const std::size_t starts_at = line_start_;
    line_start_ = bytes_so_far;
    // The lines a damaged stretch cut are left out: the one that runs into
    // it and the one it ends in, which may begin anywhere in a line.
    bool lost = std::exchange(after_damage_, false);
    if (next_run_ < runs_.runs().size() && runs_.runs()[next_run_].at < bytes_so_far) {
      const NulRuns::Run& run = runs_.runs()[next_run_++];
      file_.damage.push_back({run.bytes, c + 1, LastRecord(), {}, 0});
      record_count_at_damage_.push_back(file_.records);
      after_damage_ = true;
      lost = lost || run.at == starts_at + line.size();
    }
    if (lost) {
      if (!IsBlankLine(line)) ++file_.damage.back().lines_lost;
      if (c == 0) Kind({});
      return Progress(bytes_so_far);
    }
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

  bool LongLine(std::size_t bytes_so_far) override {
    line_start_ = bytes_so_far;
    const std::size_t c = file_.lines++;
    if (c == 0) Kind({});
    if (c > header_lines_) ++file_.skipped_lines;
    return Progress(bytes_so_far);
  }

  // Too many bytes of lines that are no records make the file no list.
  void Skip(std::size_t bytes) override {
    skipped_bytes_ += bytes;
    if (skipped_bytes_ > kMaxSkippedBytes) {
      throw DataFileError(file_.title, "\"" + file_.title +
                                           "\" is not a list of levels: it holds more than 64 MB "
                                           "of lines that are no records");
    }
  }

  // The last update, whatever the throttle says. Storage reserved for the
  // records a file's size promised is given back when they did not come.
  void Done(std::size_t bytes) override {
    if (file_.list.MemoryBytes() > 2 * record_bytes_ + 4096) file_.list.ShrinkToFit();
    if (progress_ && !file_.cancelled) progress_(Report(bytes));
  }

 private:
  static std::string RecordText(std::string_view number, std::string_view date_time) {
    return std::string(number) + " (" + std::string(date_time) + ")";
  }
  std::string LastRecord() const {
    if (file_.records == 0) return {};
    if (!keep_records_) return RecordText(last_number_, last_date_time_);
    return RecordText(file_.list.number(file_.records - 1),
                      file_.list.date_time(file_.records - 1));
  }
  // The first record after each damaged stretch names its end; where the
  // records on both sides are numbered, the numbers say how many it took,
  // else the lines it cut are all that is known.
  void EndDamage(const RecordView& record) {
    for (;
         next_after_ < file_.damage.size() && record_count_at_damage_[next_after_] == file_.records;
         ++next_after_) {
      DamagedStretch& d = file_.damage[next_after_];
      d.after = RecordText(record.number, record.date_time);
      if (file_.records == 0) continue;
      const std::optional<long long> before = ParseInteger(
          keep_records_ ? file_.list.number(file_.records - 1) : std::string_view(last_number_));
      const std::optional<long long> after = ParseInteger(record.number);
      if (before && after && *after > *before) {
        d.lines_lost = std::max(d.lines_lost, static_cast<std::size_t>(*after - *before - 1));
      }
    }
  }

  ReadProgress Report(std::size_t bytes) const {
    return {file_.lines, file_.records, bytes, total_bytes_, ReadCaption(file_.lines)};
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
    header_lines_ = h.kind == ListKind::kPlain ? 0 : 1 + HeaderLines(h.kind).size();
  }

  void HeaderValue(std::size_t c, std::string_view line) {
    ListHeader& h = file_.list.header();
    const HeaderLine& field = HeaderLines(h.kind)[c - 1];
    h.*field.field =
        HeaderValueFrom(line, h.kind == ListKind::kDataLogger2 ? field.value_start : 1);
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
    const bool bad_level = split && !cut && !IsLevelText(view.level);
    if (!split || cut || bad_level) {
      // A blank line (often one at the very end) is no lost record.
      if (!IsBlankLine(line)) {
        ++file_.skipped_lines;
        file_.last_line_cut = cut;
        if (bad_level && file_.bad_levels++ == 0) {
          file_.first_bad_level_line = file_.lines;
          file_.first_bad_level = QuotedExcerpt(view.level);
        }
        Skip(line.size() + 1);
      }
      return true;
    }
    if (file_.records >= kMaxRecords) {
      file_.truncated = true;
      return false;
    }
    EndDamage(view);
    if (keep_records_) {
      file_.list.Append(view);
      record_bytes_ += view.number.size() + view.date_time.size() + view.level.size() +
                       3 * sizeof(std::uint32_t);
    } else {
      last_number_.assign(view.number);
      last_date_time_.assign(view.date_time);
    }
    ++file_.records;
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
  const NulRuns& runs_;
  std::size_t next_run_ = 0;    // the first run not met yet
  std::size_t line_start_ = 0;  // where the next line starts in the text
  bool after_damage_ = false;   // the next line is the one a damaged stretch ends in
  std::vector<std::size_t> record_count_at_damage_;  // records read before each stretch
  std::size_t next_after_ = 0;  // the first stretch whose record after it is not known yet
  bool keep_records_;
  std::string last_number_, last_date_time_;  // the last record, when the list keeps none
};

// Reads a source into `file`. Returns true when it held NUL bytes that are
// no damage, that is when it is no text.
bool ReadAll(const std::string& name, const ReadChunkFn& read, DataFile& file,
             const ReadProgressFn& progress, std::size_t total_bytes, std::size_t size_hint,
             bool keep_records = true) {
  try {
    NulRuns nul(name);
    Parser parser(file, progress, total_bytes, nul, keep_records);
    ReadLines([&](char* to, std::size_t size) { return nul.Read(read, to, size); }, parser,
              size_hint);
    file.damaged_bytes = nul.tail_bytes();
    return nul.binary();
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
                          bool binary) {
  if (file.cancelled) return;
  if (bytes == 0) throw DataFileError(path, AbsolutePath(path) + " is empty");
  if (file.lines == 0 && file.damaged_bytes > 0) {
    throw DataFileError(path, AbsolutePath(path) +
                                  " is damaged: it holds only zero bytes, as a power cut leaves "
                                  "a file that was never written");
  }
  // A list we wrote ourselves may hold no record yet (a recording stopped
  // before its first sample): its first line names its kind.
  // Zero bytes inside a file without a single record are no damage of a
  // list: the file is binary.
  const bool no_record =
      file.records == 0 && (file.list.kind() == ListKind::kPlain || !file.damage.empty());
  if (no_record && file.damage.empty() && file.damaged_bytes > 0) {
    throw DataFileError(
        path, AbsolutePath(path) + " holds no whole record: the end of the file was damaged");
  }
  if (no_record || binary) {
    throw DataFileError(path, AbsolutePath(path) + " is not a data file: no record line found");
  }
}

namespace {

DataFile ReadFile(const std::string& path, const ReadProgressFn& progress, bool keep_records) {
  InputFile in(path);
  DataFile file;
  // Errors name the file by its path, the result by its name.
  file.title = path;
  std::size_t bytes = 0;
  const bool binary = ReadAll(
      path,
      [&](char* to, std::size_t size) {
        const std::size_t got = in.Read(to, size);
        bytes += got;
        return got;
      },
      file, progress, in.SizeHint(), in.SizeHint(), keep_records);
  CheckDataFileContent(path, file, bytes, binary);
  file.title = std::filesystem::path(path).filename().string();
  return file;
}

}  // namespace

DataFile OpenDataFile(const std::string& path, const ReadProgressFn& progress) {
  return ReadFile(path, progress, true);
}

DataFile ReadDataFileSummary(const std::string& path) { return ReadFile(path, {}, false); }

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
  if (binary || (!file.damage.empty() && file.records == 0)) {
    throw DataFileError(title, "\"" + title + "\" is not a data file: it is no text");
  }
  return file;
}

}  // namespace slm
