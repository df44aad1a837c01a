#include "files/data_file_writer.h"

#include <cstring>

#include "files/file_io.h"

namespace slm {
namespace {

void AppendLine(std::string& out, std::string_view key, std::string_view value) {
  out.append(key);
  out.append(value);
  out.append(kLineEnd);
}

// Copies `text` to `at` and returns the position after it.
char* Put(char* at, std::string_view text) {
  std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

char* PutRow(char* at, std::string_view a, std::string_view b, std::string_view c, char sep) {
  at = Put(at, a);
  *at++ = sep;
  at = Put(at, b);
  *at++ = sep;
  at = Put(at, c);
  *at++ = sep;
  return Put(at, kLineEnd);
}

}  // namespace

Separator SeparatorForFilter(int filter_index) {
  return filter_index == 2 ? Separator::kComma : Separator::kTab;
}

void AppendHeaderLines(const ListHeader& h, std::string& out) {
  switch (h.kind) {
    case ListKind::kRealTime:
      AppendLine(out, "Real Time", "");
      AppendLine(out, "", h.second_value);
      AppendLine(out, "", h.frequency_weighting);
      AppendLine(out, "", h.time_weighting);
      AppendLine(out, "", h.range);
      AppendLine(out, "", h.max_level);
      AppendLine(out, "", h.max_time);
      AppendLine(out, "", h.sel);
      AppendLine(out, "", h.leq);
      break;
    case ListKind::kDataLogger2:
    case ListKind::kDataLogger:
      AppendLine(out, "Data Logger 2", "");
      AppendLine(out, "SET ", h.second_value);
      AppendLine(out, "", h.frequency_weighting);
      AppendLine(out, "", h.time_weighting);
      AppendLine(out, "Range ", h.range);
      AppendLine(out, "L05 ", h.l05);
      AppendLine(out, "L10 ", h.l10);
      AppendLine(out, "L50 ", h.l50);
      AppendLine(out, "L90 ", h.l90);
      AppendLine(out, "L95 ", h.l95);
      AppendLine(out, "Max dB ", h.max_level);
      AppendLine(out, "", h.max_time);
      AppendLine(out, "SEL ", h.sel);
      AppendLine(out, "Leq ", h.leq);
      break;
    case ListKind::kPlain:
      break;
  }
}

void WriteRecordRows(const RecordList& list, Separator separator, std::string& out) {
  // A full list is some 13 MB: size it once and copy the fields straight in.
  const char sep = static_cast<char>(separator);
  const std::size_t per_line = 3 + kLineEnd.size();
  std::size_t bytes = kNumberTitle.size() + kDateTimeTitle.size() + kLevelTitle.size() + per_line;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const RecordView r = list.record(i);
    bytes += r.number.size() + r.date_time.size() + r.level.size() + per_line;
  }
  const std::size_t start = out.size();
  out.resize(start + bytes);
  char* at = out.data() + start;
  at = PutRow(at, kNumberTitle, kDateTimeTitle, kLevelTitle, sep);
  for (std::size_t i = 0; i < list.size(); ++i) {
    const RecordView r = list.record(i);
    at = PutRow(at, r.number, r.date_time, r.level, sep);
  }
}

std::string FormatListFile(const RecordList& list, Separator separator) {
  std::string out;
  AppendHeaderLines(list.header(), out);
  WriteRecordRows(list, separator, out);
  return out;
}

void SaveRecordList(const std::string& path, const RecordList& list, Separator separator) {
  WriteWholeFile(path, FormatListFile(list, separator));
}

void SavePlainList(const std::string& path, const RecordList& list) {
  std::string out;
  WriteRecordRows(list, Separator::kTab, out);
  WriteWholeFile(path, out);
}

}  // namespace slm
