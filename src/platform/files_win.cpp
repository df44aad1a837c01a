#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/files.h"
#include "platform/windows_errors.h"

namespace slm::platform {

namespace fs = std::filesystem;

namespace {

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

// The C library here knows no "x" in fopen's mode: _O_EXCL says it.
std::FILE* CreateNewFile(const fs::path& path, int& error) {
  int fd = -1;
  error = ::_wsopen_s(&fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _SH_DENYNO,
                      _S_IREAD | _S_IWRITE);
  if (error != 0) return nullptr;
  std::FILE* file = ::_fdopen(fd, "wb");
  if (file == nullptr) {
    error = errno;
    ::_close(fd);
  }
  return file;
}

int SyncToDisk(std::FILE* file) { return ::_commit(::_fileno(file)) == 0 ? 0 : errno; }

// NTFS makes a rename durable with the file; there is no folder to sync.
void SyncFolder(const fs::path&) {}

int MoveWithoutReplacing(const fs::path& from, const fs::path& to) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails on a name that is taken.
  if (::MoveFileExW(from.c_str(), to.c_str(), 0)) return 0;
  return ErrnoFromWindows(::GetLastError());
}

AdvisoryLock::AdvisoryLock(const fs::path& path, double seconds) {
  // Windows locks bytes, and a locked byte cannot be read: the lock is on a
  // byte far past any end, which nobody reads.
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  for (double waited = 0;; waited += 0.05) {
    OVERLAPPED far_byte{};
    far_byte.OffsetHigh = 0x7FFFFFFF;
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                     &far_byte)) {
      handle_ = reinterpret_cast<std::intptr_t>(file);
      state_ = State::kHeld;
      return;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) break;
    if (waited >= seconds) {
      state_ = State::kBusy;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::CloseHandle(file);
}

AdvisoryLock::~AdvisoryLock() {
  if (handle_ != -1) ::CloseHandle(AsHandle(handle_));
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

// A share mode without FILE_SHARE_WRITE holds the file: others may read it,
// move it and remove it, but no second writer opens it.
HeldFile::Outcome HeldFile::Open(const fs::path& path) {
  Close();
  const HANDLE file =
      ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    error_ = ErrnoFromWindows(error);
    return error == ERROR_SHARING_VIOLATION ? Outcome::kBusy : Outcome::kFailed;
  }
  ::SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_END);
  handle_ = reinterpret_cast<std::intptr_t>(file);
  error_ = 0;
  return Outcome::kHeld;
}

// Nobody moves a file between its opening and its holding here: the share
// mode is taken with the open.
bool HeldFile::StillNamed(const fs::path&) const { return is_open(); }

long long HeldFile::Size() const {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(AsHandle(handle_), &size)) return -1;
  return static_cast<long long>(size.QuadPart);
}

int HeldFile::Sync() {
  if (handle_ == -1) return EBADF;
  return ::FlushFileBuffers(AsHandle(handle_)) ? 0 : ErrnoFromWindows(::GetLastError());
}

int HeldFile::WriteAll(const char* data, std::size_t size) {
  if (handle_ == -1) return EBADF;
  std::size_t done = 0;
  while (done < size) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
    DWORD wrote = 0;
    if (!::WriteFile(AsHandle(handle_), data + done, chunk, &wrote, nullptr)) {
      return ErrnoFromWindows(::GetLastError());
    }
    if (wrote == 0) return ENOSPC;
    done += wrote;
  }
  return 0;
}

void HeldFile::CutTo(long long size) {
  LARGE_INTEGER at{};
  at.QuadPart = size;
  if (::SetFilePointerEx(AsHandle(handle_), at, nullptr, FILE_BEGIN)) {
    ::SetEndOfFile(AsHandle(handle_));
  }
}

void HeldFile::RemoveWhileHeld(const fs::path& path) {
  // The name goes once the file is closed, which follows at once.
  if (!::DeleteFileW(path.c_str())) CutTo(0);
}

void HeldFile::Close() {
  if (handle_ == -1) return;
  ::CloseHandle(AsHandle(handle_));
  handle_ = -1;
}

}  // namespace slm::platform
