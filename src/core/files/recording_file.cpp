#include "files/recording_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <sys/file.h>
#include <unistd.h>
#endif

#include "base/number_text.h"
#include "files/csv_fields.h"

namespace slm {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& action, int error) {
  std::string message = "Cannot " + action + " \"" + path + "\"";
  if (error != 0) message += ": " + FileErrorInWords(error, FileAction::kWrite);
  throw DataFileError(path, message);
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
#ifndef _WIN32
    // A second name first and then the old one removed: link() never replaces
    // a file that is already there.
    if (::link(path.c_str(), aside.c_str()) == 0) {
      ::unlink(path.c_str());
      return aside;
    }
    if (errno == EEXIST) continue;
      // File systems without hard links (FAT on a stick) rename instead.
#endif
    std::error_code ec;
    if (std::filesystem::exists(aside, ec) || ec) continue;
    std::filesystem::rename(path, aside, ec);
    if (ec) Fail(path, "move aside the unsaved recording", ec.value());
    return aside;
  }
  Fail(path, "find a free name beside the unsaved recording", 0);
}

#ifdef _WIN32

// Windows: a share mode that denies other writers holds the file.
int TakeFile(const std::string& path, const std::function<std::string()>& stem,
             std::string& moved_aside) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    int fd = -1;
    const errno_t error = ::_sopen_s(&fd, path.c_str(), _O_RDWR | _O_CREAT | _O_BINARY, _SH_DENYWR,
                                     _S_IREAD | _S_IWRITE);
    if (error == EACCES) Busy(path);
    if (error != 0) Fail(path, "create", error);
    if (::_filelengthi64(fd) <= 0) return fd;
    ::_close(fd);
    moved_aside = MoveAside(path, stem ? stem() : path);
  }
  Busy(path);
}

int WriteSome(int fd, const char* data, size_t size) {
  return ::_write(fd, data, static_cast<unsigned>(size));
}
void CutTo(int fd, long long size) {
  ::_chsize_s(fd, size);
  ::_lseeki64(fd, size, SEEK_SET);
}
void Release(int fd) { ::_close(fd); }
void RemoveWhileHeld(const std::string& path, int fd) {
  // An open file cannot be removed here: empty it, which marks it as saved.
  ::_chsize_s(fd, 0);
  (void)path;
}

#else

// POSIX: flock() on the open file. The lock belongs to this open file
// description, so a second recorder in this same process is refused too, and
// reading the file by its name elsewhere does not drop the lock (fcntl locks
// would).
int TakeFile(const std::string& path, const std::function<std::string()>& stem,
             std::string& moved_aside) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) Fail(path, "create", errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      if (error == EWOULDBLOCK) Busy(path);
      Fail(path, "lock", error);
    }
    // Another recorder may have moved the file aside or removed it between
    // the open and the lock: then this lock holds a file without the name.
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) != 0 || ::stat(path.c_str(), &named) != 0 ||
        held.st_ino != named.st_ino || held.st_dev != named.st_dev) {
      ::close(fd);
      continue;
    }
    if (held.st_size == 0) return fd;
    // Nobody holds it and it is not empty: an earlier recording that was
    // never saved. It is moved while locked, so nobody else moves it too.
    try {
      moved_aside = MoveAside(path, stem ? stem() : path);
    } catch (...) {
      ::close(fd);
      throw;
    }
    ::close(fd);
  }
  Busy(path);
}

int WriteSome(int fd, const char* data, size_t size) {
  return static_cast<int>(::write(fd, data, size));
}
void CutTo(int fd, long long size) {
  if (::ftruncate(fd, static_cast<off_t>(size)) == 0)
    ::lseek(fd, static_cast<off_t>(size), SEEK_SET);
}
void Release(int fd) { ::close(fd); }
void RemoveWhileHeld(const std::string& path, int fd) {
  if (::unlink(path.c_str()) != 0) (void)::ftruncate(fd, 0);
}

#endif

}  // namespace

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
  fd_ = TakeFile(path_, aside_stem, moved_aside_);
  try {
    Write(RecordingTitleLine(separator_));
  } catch (...) {
    Close();
    throw;
  }
}

RecordingFileWriter::~RecordingFileWriter() { Close(); }

void RecordingFileWriter::Write(std::string_view data) {
  if (fd_ < 0) Fail(path_, "write to closed file", 0);
  size_t done = 0;
  while (done < data.size()) {
    const int wrote = WriteSome(fd_, data.data() + done, data.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      const int error = wrote < 0 ? errno : ENOSPC;
      // Part of a line is no line: the file ends with the last whole one.
      CutTo(fd_, size_);
      Fail(path_, "write", error);
    }
    done += static_cast<size_t>(wrote);
  }
  size_ += static_cast<long long>(data.size());
}

void RecordingFileWriter::Append(std::size_t count, std::string_view date_time,
                                 std::string_view level) {
  Write(RecordingLine(count, date_time, level, separator_));
}

void RecordingFileWriter::Finish(const ListHeader& header, const std::string& final_path) {
  if (fd_ < 0) Fail(path_, "write to closed file", 0);
  try {
    FinishRecordingFile(header, path_, final_path);
  } catch (...) {
    Close();
    throw;
  }
  std::error_code ec;
  if (!std::filesystem::equivalent(path_, final_path, ec)) RemoveWhileHeld(path_, fd_);
  Close();
}

void RecordingFileWriter::Discard() {
  if (fd_ >= 0) RemoveWhileHeld(path_, fd_);
  Close();
}

void RecordingFileWriter::Close() {
  if (fd_ < 0) return;
  Release(fd_);
  fd_ = -1;
}

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
