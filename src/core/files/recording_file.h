#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "files/data_file_writer.h"
#include "files/file_io.h"
#include "files/record.h"
#include "platform/files.h"

namespace slm {

// The temporary file a PC recording writes to, in the working directory.
inline constexpr const char* kRecordingTempFile = "Fake";

// Throws DataFileError "Cannot <action> "<path>": <the system's reason>" (no
// reason when `error` is 0).
[[noreturn]] void ThrowWriteError(const std::string& path, const std::string& action, int error);

// A recording's lines differ from a saved grid's in the CSV form only: no
// comma after the last field. The tab form ends with a tab like every tab line.
//   CSV: "No.s,Date Time,dB"       "12,2016/03/23 14:05:09,65.3"
//   tab: "No.s\tDate Time\tdB\t"   "12\t2016/03/23 14:05:09\t65.3\t"
std::string RecordingTitleLine(Separator separator);
std::string RecordingLine(std::size_t count, std::string_view date_time, std::string_view level,
                          Separator separator);

// Another recording, in this program or another one, holds the temporary
// file of the folder. The message names the folder.
class RecordingBusyError : public DataFileError {
 public:
  using DataFileError::DataFileError;
};

// The recording's temporary file while a recording runs. The writer holds the
// file exclusively (a lock of the system) from the start of the recording until its end,
// so no two recordings share it, and a temporary file that nobody holds is a
// recording that was never saved. Each line is on disk as soon as Append
// returns, so what was recorded survives the program.
class RecordingFileWriter {
 public:
  // Takes the file at `path` and starts it with the title line. A file left
  // there by an earlier recording (one that no running recording holds) is
  // first moved aside, never overwritten: to stem + ".unsaved", or, when that
  // name is taken, stem + "-2.unsaved", "-3"..., where the stem is what
  // `aside_stem` returns (asked only when there is a leftover; without it,
  // `path`). Throws RecordingBusyError when another recording holds the file,
  // DataFileError when it cannot be created or moved aside.
  RecordingFileWriter(std::string path, Separator separator,
                      const std::function<std::string()>& aside_stem = {});
  ~RecordingFileWriter();  // lets go of the file and leaves it as it is
  RecordingFileWriter(const RecordingFileWriter&) = delete;
  RecordingFileWriter& operator=(const RecordingFileWriter&) = delete;

  // Throws DataFileError when the line cannot be written (a full disk); the
  // file then still ends with the last whole line.
  void Append(std::size_t count, std::string_view date_time, std::string_view level);
  // Writes the final file (see FinishRecordingFile) and, once it is written,
  // removes the temporary file. Throws DataFileError naming whichever file
  // failed; the temporary file then stays for a later recording to move aside.
  // The writer lets go of the file either way.
  void Finish(const ListHeader& header, const std::string& final_path);
  // Removes the temporary file (it holds no sample worth keeping) and lets go of it.
  void Discard();
  // Lets go of the file and leaves it as it is.
  void Close();

  const std::string& path() const { return path_; }
  // Where a leftover temporary file was moved, or an empty text.
  const std::string& moved_aside() const { return moved_aside_; }
  Separator separator() const { return separator_; }

 private:
  void Write(std::string_view data);

  std::string path_;
  Separator separator_;
  std::string moved_aside_;
  platform::HeldFile file_;
  long long size_ = 0;  // the bytes of whole lines in the file
};

// Writes a recording's final file: the 9 header lines of a real-time list with
// the recording's values, then every line of the temporary file as it is.
// Throws DataFileError naming whichever file failed.
void FinishRecordingFile(const ListHeader& header, const std::string& temp_path,
                         const std::string& final_path);

}  // namespace slm
