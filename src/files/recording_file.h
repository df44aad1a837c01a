#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "files/data_file_writer.h"
#include "files/file_io.h"
#include "files/record.h"

namespace slm {

// The temporary file a PC recording writes to, in the working directory.
inline constexpr const char* kRecordingTempFile = "Fake";

// A recording's lines differ from a saved grid's in the CSV form only: no
// comma after the last field. The tab form ends with a tab like every tab line.
//   CSV: "No.s,Date Time,dB"       "12,2016/03/23 14:05:09,65.3"
//   tab: "No.s\tDate Time\tdB\t"   "12\t2016/03/23 14:05:09\t65.3\t"
std::string RecordingTitleLine(Separator separator);
std::string RecordingLine(std::size_t count, std::string_view date_time, std::string_view level,
                          Separator separator);

// The recording's temporary file while a recording runs: opened afresh with
// its title line, then one line per sample. Each line is flushed, so what was
// recorded is on disk if the program ends before the recording does.
class RecordingFileWriter {
 public:
  // Throws DataFileError when the file cannot be created.
  RecordingFileWriter(std::string path, Separator separator);

  // Throws DataFileError when the line cannot be written.
  void Append(std::size_t count, std::string_view date_time, std::string_view level);
  void Close();  // throws DataFileError

  Separator separator() const { return separator_; }

 private:
  OutputFile file_;
  Separator separator_;
};

// Writes a recording's final file: the 9 header lines of a real-time list with
// the recording's values, then every line of the closed temporary file as it
// is. Throws DataFileError naming whichever file failed.
void FinishRecordingFile(const ListHeader& header, const std::string& temp_path,
                         const std::string& final_path);

}  // namespace slm
