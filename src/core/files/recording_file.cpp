#include "files/recording_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/number_text.h"
#include "files/csv_fields.h"

namespace slm {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& action, int error) {
  ThrowWriteError(path, action, error);
}

[[noreturn]] void Busy(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec).lexically_normal();
  throw RecordingBusyError(path, "Another recording is running in " +
                                     absolute.parent_path().string() + "; its samples go to \"" +
                                     absolute.string() +
                                     "\". End that recording first, or record in another folder.");
}

// The name a leftover temporary file is moved to: `stem` + ".unsaved", then
// `stem` + "-2.unsaved" and on while a name is taken.
std::string MoveAside(const std::string& path, const std::string& stem) {
  for (int n = 1; n < 10000; ++n) {
    const std::string aside = stem + (n == 1 ? "" : "-" + std::to_string(n)) + ".unsaved";
    const int error = platform::MoveWithoutReplacing(path, aside);
    if (error == 0) return aside;
    if (error != EEXIST) Fail(path, "move aside the unsaved recording", error);
  }
  Fail(path, "find a free name beside the unsaved recording", 0);
}

// Opens and holds the file at `path`, empty: a leftover that nobody holds is
// moved aside first.
platform::HeldFile TakeFile(const std::string& path, const std::function<std::string()>& stem,
                            std::string& moved_aside) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    platform::HeldFile file;
    switch (file.Open(path)) {
      case platform::HeldFile::Outcome::kBusy:
        Busy(path);
      case platform::HeldFile::Outcome::kFailed:
        Fail(path, "create", file.error());
      case platform::HeldFile::Outcome::kHeld:
        break;
    }
    // Another recorder may have moved the file aside or removed it between
    // the open and the lock: then this lock holds a file without the name.
    if (!file.StillNamed(path)) continue;
    if (file.Size() == 0) return file;
    // Nobody holds it and it is not empty: an earlier recording that was
    // never saved. It is moved while held, so nobody else moves it too.
    moved_aside = MoveAside(path, stem ? stem() : path);
  }
  Busy(path);
}

}  // namespace

void ThrowWriteError(const std::string& path, const std::string& action, int error) {
  std::string message = "Cannot " + action + " \"" + path + "\"";
  if (error != 0) message += ": " + FileErrorInWords(error, FileAction::kWrite);
  throw DataFileError(path, message);
}

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

RecordingFileWriter::RecordingFileWriter(std::string path, Separator separator,
                                         const std::function<std::string()>& aside_stem)
    : path_(std::move(path)), separator_(separator) {
  file_ = TakeFile(path_, aside_stem, moved_aside_);
  try {
    Write(RecordingTitleLine(separator_));
  } catch (...) {
    Close();
    throw;
  }
}

RecordingFileWriter::~RecordingFileWriter() { Close(); }

void RecordingFileWriter::Write(std::string_view data) {
  if (!file_.is_open()) Fail(path_, "write to closed file", 0);
  if (const int error = file_.WriteAll(data.data(), data.size()); error != 0) {
    // Part of a line is no line: the file ends with the last whole one.
    file_.CutTo(size_);
    Fail(path_, "write", error);
  }
  size_ += static_cast<long long>(data.size());
}

void RecordingFileWriter::Append(std::size_t count, std::string_view date_time,
                                 std::string_view level) {
  Write(RecordingLine(count, date_time, level, separator_));
}

void RecordingFileWriter::Finish(const ListHeader& header, const std::string& final_path) {
  if (!file_.is_open()) Fail(path_, "write to closed file", 0);
  try {
    FinishRecordingFile(header, path_, final_path);
  } catch (...) {
    Close();
    throw;
  }
  std::error_code ec;
  if (!std::filesystem::equivalent(path_, final_path, ec)) file_.RemoveWhileHeld(path_);
  Close();
}

void RecordingFileWriter::Discard() {
  if (file_.is_open()) file_.RemoveWhileHeld(path_);
  Close();
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
