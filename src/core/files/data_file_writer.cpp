#include "files/data_file_writer.h"

#include "files/csv_fields.h"
#include "files/file_io.h"

namespace slm {
namespace {

void AppendLine(std::string& out, std::string_view key, std::string_view value) {
  out.append(key);
  AppendHeaderItem(out, value);
  out.append(kLineEnd);
}

void AppendRow(std::string& out, std::string_view a, std::string_view b, std::string_view c,
               char sep) {
  AppendField(out, a, sep, true);
  out += sep;
  AppendField(out, b, sep, false);
  out += sep;
  AppendField(out, c, sep, false);
  out += sep;
  out.append(kLineEnd);
}

// Rows between two looks at the clock.
constexpr std::size_t kProgressRows = 4096;

}  // namespace

Separator SeparatorForFilter(int filter_index) {
  return filter_index == 2 ? Separator::kComma : Separator::kTab;
}

void AppendHeaderLines(const ListHeader& h, std::string& out) {
  switch (h.kind) {
    case ListKind::kRealTime:
      out.append("Real Time").append(kLineEnd);
      break;
    case ListKind::kDataLogger2:
    case ListKind::kDataLogger:
      out.append("Data Logger 2");
      if (!h.note.empty()) {
        out.append("  ");
        AppendHeaderItem(out, h.note);
      }
      out.append(kLineEnd);
      break;
    case ListKind::kPlain:
      return;
  }
  // Real-time lists carry bare values; memory sets are always written with keys.
  const bool keys = h.kind != ListKind::kRealTime;
  for (const HeaderLine& line : HeaderLines(h.kind)) {
    AppendLine(out, keys ? line.key : std::string_view(), h.*line.field);
  }
}

void WriteRecordRows(const RecordList& list, Separator separator, std::string& out,
                     const WriteProgressFn& progress) {
  // A full list is some 13 MB: size it once, a little over for quotes.
  const char sep = static_cast<char>(separator);
  const std::size_t per_line = 3 + kLineEnd.size();
  std::size_t bytes = kNumberTitle.size() + kDateTimeTitle.size() + kLevelTitle.size() + per_line;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const RecordView r = list.record(i);
    bytes += r.number.size() + r.date_time.size() + r.level.size() + per_line;
  }
  out.reserve(out.size() + bytes + bytes / 16);
  AppendRow(out, kNumberTitle, kDateTimeTitle, kLevelTitle, sep);
  ProgressThrottle throttle;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const RecordView r = list.record(i);
    AppendRow(out, r.number, r.date_time, r.level, sep);
    if (progress && (i + 1) % kProgressRows == 0 && throttle.Due()) {
      progress({i + 1, list.size(), WriteCaption(i + 1)});
    }
  }
  if (progress) progress({list.size(), list.size(), WriteCaption(list.size())});
}

std::string FormatListFile(const RecordList& list, Separator separator) {
  std::string out;
  AppendHeaderLines(list.header(), out);
  WriteRecordRows(list, separator, out);
  return out;
}

void SaveRecordList(const std::string& path, const RecordList& list, Separator separator,
                    const WriteProgressFn& progress) {
  std::string out;
  AppendHeaderLines(list.header(), out);
  WriteRecordRows(list, separator, out, progress);
  WriteWholeFile(path, out);
}

void SavePlainList(const std::string& path, const RecordList& list,
                   const WriteProgressFn& progress) {
  std::string out;
  WriteRecordRows(list, Separator::kTab, out, progress);
  WriteWholeFile(path, out);
}

}  // namespace slm
