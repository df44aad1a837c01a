#include "files/recording_file.h"

#include "base/number_text.h"
#include "files/csv_fields.h"

namespace slm {

std::string RecordingTitleLine(Separator separator) {
  if (separator == Separator::kComma) return "No.s,Date Time,dB\r\n";
  return "No.s\tDate Time\tdB\t\r\n";
}

std::string RecordingLine(std::size_t count, std::string_view date_time, std::string_view level,
                          Separator separator) {
  const char sep = static_cast<char>(separator);
  std::string line = PlainNumberText(static_cast<double>(count));
  line += sep;
  AppendField(line, date_time, sep, false);
  line += sep;
  if (level.empty() && separator == Separator::kComma) {
    line += "\"\"";  // the last field of a CSV line must be there to be read
  } else {
    AppendField(line, level, sep, false);
  }
  if (separator == Separator::kTab) line += sep;
  line.append(kLineEnd);
  return line;
}

RecordingFileWriter::RecordingFileWriter(std::string path, Separator separator)
    : file_(std::move(path)), separator_(separator) {
  file_.Write(RecordingTitleLine(separator_));
  file_.Flush();
}

void RecordingFileWriter::Append(std::size_t count, std::string_view date_time,
                                 std::string_view level) {
  file_.Write(RecordingLine(count, date_time, level, separator_));
  file_.Flush();
}

void RecordingFileWriter::Close() { file_.Close(); }

void FinishRecordingFile(const ListHeader& header, const std::string& temp_path,
                         const std::string& final_path) {
  ListHeader real_time = header;
  real_time.kind = ListKind::kRealTime;
  std::string out;
  AppendHeaderLines(real_time, out);
  // Read all before writing: the final file may be the temporary file itself.
  out += ReadWholeFile(temp_path);
  WriteWholeFile(final_path, out);
}

}  // namespace slm
