#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

#include "platform/files.h"

namespace slm::platform {

namespace fs = std::filesystem;

std::FILE* CreateNewFile(const fs::path& path, int& error) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "wbx");  // glibc: O_CREAT | O_EXCL
  error = file == nullptr ? errno : 0;
  return file;
}

int SyncToDisk(std::FILE* file) { return ::fsync(::fileno(file)) == 0 ? 0 : errno; }

void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

int MoveWithoutReplacing(const fs::path& from, const fs::path& to) {
  // A second name first and then the old one removed: link() never replaces
  // a file that is already there.
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return 0;
  }
  if (errno == EEXIST) return EEXIST;
  // File systems without hard links (FAT on a stick) rename instead.
  std::error_code ec;
  if (fs::exists(to, ec) || ec) return EEXIST;
  fs::rename(from, to, ec);
  return ec ? ec.value() : 0;
}

AdvisoryLock::AdvisoryLock(const fs::path& path, double seconds) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;  // nothing to keep apart: the file is not there to be read either
  for (double waited = 0;; waited += 0.05) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      handle_ = fd;
      state_ = State::kHeld;
      return;
    }
    if (errno != EWOULDBLOCK || waited >= seconds) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (errno == EWOULDBLOCK) state_ = State::kBusy;
  ::close(fd);
}

AdvisoryLock::~AdvisoryLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

HeldFile& HeldFile::operator=(HeldFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    error_ = other.error_;
    other.handle_ = -1;
  }
  return *this;
}

// flock() on the open file: the lock belongs to this open file description,
// so reading the file by its name elsewhere does not drop it (fcntl locks
// would).
HeldFile::Outcome HeldFile::Open(const fs::path& path) {
  Close();
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    error_ = errno;
    return Outcome::kFailed;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error_ = errno;
    ::close(fd);
    return error_ == EWOULDBLOCK ? Outcome::kBusy : Outcome::kFailed;
  }
  // Writes go to the end, where the last whole line ends.
  ::lseek(fd, 0, SEEK_END);
  handle_ = fd;
  error_ = 0;
  return Outcome::kHeld;
}

bool HeldFile::StillNamed(const fs::path& path) const {
  struct stat held {};
  struct stat named {};
  return ::fstat(static_cast<int>(handle_), &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
         held.st_ino == named.st_ino && held.st_dev == named.st_dev;
}

long long HeldFile::Size() const {
  struct stat held {};
  if (::fstat(static_cast<int>(handle_), &held) != 0) return -1;
  return static_cast<long long>(held.st_size);
}

int HeldFile::Sync() {
  if (handle_ < 0) return EBADF;
  return ::fsync(static_cast<int>(handle_)) == 0 ? 0 : errno;
}

int HeldFile::WriteAll(const char* data, std::size_t size) {
  if (handle_ < 0) return EBADF;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t wrote = ::write(static_cast<int>(handle_), data + done, size - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0) return errno;
    if (wrote == 0) return ENOSPC;
    done += static_cast<std::size_t>(wrote);
  }
  return 0;
}

void HeldFile::CutTo(long long size) {
  const int fd = static_cast<int>(handle_);
  if (::ftruncate(fd, static_cast<off_t>(size)) == 0)
    ::lseek(fd, static_cast<off_t>(size), SEEK_SET);
}

void HeldFile::RemoveWhileHeld(const fs::path& path) {
  if (::unlink(path.c_str()) != 0) (void)::ftruncate(static_cast<int>(handle_), 0);
}

void HeldFile::Close() {
  if (handle_ < 0) return;
  ::close(static_cast<int>(handle_));
  handle_ = -1;
}

}  // namespace slm::platform
