#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>

// What files need of the operating system beyond standard C++: syncing to
// the disk, a new name that never replaces a file, locks between our own
// programs. Errors are <cerrno> numbers on every system (0: none).
namespace slm::platform {

// Opens a new file at `path` for writing in binary, made here or not at all:
// a file that is already there is never opened (EEXIST), so never replaced.
// Returns nullptr and sets `error` when it cannot.
std::FILE* CreateNewFile(const std::filesystem::path& path, int& error);

// Flushes what the system holds of an open file to the disk, so that a power
// cut after a rename cannot leave the new name on an empty file. Returns the
// error number, 0 when done.
int SyncToDisk(std::FILE* file);

// Makes a rename in `folder` durable as well. Best effort: the file is whole
// either way.
void SyncFolder(const std::filesystem::path& folder);

// Gives the file `from` the name `to` and takes the old name away, never
// replacing a file that is already called `to`. Returns 0 when done, EEXIST
// when `to` is taken, another error number when the file could not be moved.
int MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// A lock on an existing file that every copy of this program takes before it
// changes what belongs to that file; it only keeps our own programs apart and
// does not hinder reading the file. Held for the object's lifetime.
class AdvisoryLock {
 public:
  enum class State {
    kHeld,         // this object holds the lock
    kBusy,         // another holder kept it for all of the wait
    kUnavailable,  // no such file, or a file system that knows no locks
  };
  // Waits up to `seconds` for another holder to let go.
  AdvisoryLock(const std::filesystem::path& path, double seconds);
  ~AdvisoryLock();
  AdvisoryLock(const AdvisoryLock&) = delete;
  AdvisoryLock& operator=(const AdvisoryLock&) = delete;

  State state() const { return state_; }

 private:
  std::intptr_t handle_ = -1;
  State state_ = State::kUnavailable;
};

// A file open for writing that this process holds against every other
// writer of our programs until it is closed (POSIX: flock() on the open file,
// so a second holder in this same process is refused too; Windows: a share
// mode that lets others read but not write). While held, it can still be
// read by its name, moved and removed.
class HeldFile {
 public:
  enum class Outcome { kHeld, kBusy, kFailed };

  HeldFile() = default;
  ~HeldFile() { Close(); }
  HeldFile(HeldFile&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }
  HeldFile& operator=(HeldFile&& other) noexcept;
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  // Opens `path` for reading and writing, creating it when it is not there,
  // and takes it without waiting. kBusy: another holder has it. kFailed: the
  // file could not be opened or locked; error() says why.
  Outcome Open(const std::filesystem::path& path);
  int error() const { return error_; }
  bool is_open() const { return handle_ != -1; }

  // Whether the file held is still the one called `path` (another holder may
  // have moved or removed it between the open and the lock).
  bool StillNamed(const std::filesystem::path& path) const;
  // The file's size in bytes, -1 when unknown.
  long long Size() const;
  // Writes all of `data` at the current end. Returns 0, or the error number
  // (ENOSPC when the disk took nothing); part of it may then be written.
  int WriteAll(const char* data, std::size_t size);
  // Puts what was written on the disk itself. Returns 0 or the error number.
  int Sync();
  // Cuts the file to `size` bytes and goes on writing there.
  void CutTo(long long size);
  // Takes the file's name away while it is held (or, where that cannot be
  // done, empties it, which marks it as saved).
  void RemoveWhileHeld(const std::filesystem::path& path);
  // Lets go of the file and leaves it as it is.
  void Close();

 private:
  std::intptr_t handle_ = -1;
  int error_ = 0;
};

}  // namespace slm::platform
