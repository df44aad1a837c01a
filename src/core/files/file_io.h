#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace slm {

namespace platform {
class AdvisoryLock;
}

// A data file, CSV file or recording file that could not be opened, read or
// written. The message names the file and the system's reason.
class DataFileError : public std::runtime_error {
 public:
  DataFileError(std::string path, const std::string& message)
      : std::runtime_error(message), path_(std::move(path)) {}
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A file read from start to end in binary (the line ends are the reader's business).
class InputFile {
 public:
  explicit InputFile(std::string path);  // throws DataFileError
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Reads up to `size` bytes; 0 at the end. Throws DataFileError on a read error.
  std::size_t Read(char* buffer, std::size_t size);
  // The file's size when the system knows it, else 0.
  std::size_t SizeHint() const { return size_hint_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  std::size_t size_hint_ = 0;
};

// A file written whole or not at all. The bytes go to a new temporary file
// beside the target (in the same folder, so that it can be renamed there);
// Commit() flushes it to the disk, checks it and renames it over the target.
// Until then the target stays as it was; a failure, or an object destroyed
// before Commit(), removes the temporary file, so neither a 0-byte file nor a
// plausible partial one is left. A target that is a symbolic link is written
// where the link points; a target that is no regular file (a device such as
// /dev/null, a pipe) cannot be renamed over and is written in place, with
// every write checked.
// Errors throw DataFileError with `path` as given, naming the absolute path
// and saying in words what went wrong.
class ReplacingFile {
 public:
  explicit ReplacingFile(std::string path);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  void Write(std::string_view data);
  void Commit();
  const std::string& path() const { return path_; }

 private:
  [[noreturn]] void Fail(int error);
  void Discard();

  std::string path_;    // as the caller named it
  std::string target_;  // with links resolved
  std::string temp_;    // the temporary file; empty when writing in place
  std::FILE* file_ = nullptr;
  bool replaced_existing_ = false;
};

// What a system error number means for someone reading or writing a file, in
// words: ENOSPC gives "the disk is full", ENOENT "there is no such file" when
// reading and "its folder does not exist" when writing.
enum class FileAction { kRead, kWrite };
std::string FileErrorInWords(int error, FileAction action);

// The file's absolute path as messages name it; `path` itself when it has none.
std::string AbsolutePath(const std::string& path);

// Makes sure `path` can be written before anything is recorded into it: a
// file that does not exist is created and removed again; an existing file is
// opened for appending and closed, which leaves its content as it was.
// Throws DataFileError naming the absolute path and the system's reason.
void CheckWritable(const std::string& path);

// Creates an empty file at `path` or, when that name is taken, at the first
// free one of "STEM-2.EXT", "STEM-3.EXT"...; never replaces a file. Returns
// the name it made. Throws DataFileError.
std::string CreateFreeFile(const std::string& path);
// Removes a file if it is there; says nothing when it cannot.
void RemoveQuietly(const std::string& path);

// An exclusive lock on an existing file, held for the object's lifetime,
// that every copy of this program takes before it changes what belongs to
// that file (its side file of stretches left out): two editors then take
// turns instead of writing over each other. It only keeps our own programs
// apart; reading the file is not hindered. Waits up to `seconds` for another
// holder, then throws DataFileError saying the file is being changed
// elsewhere. A file system that knows no locks is taken as unlocked.
class FileLock {
 public:
  FileLock(const std::string& path, double seconds);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  std::unique_ptr<platform::AdvisoryLock> lock_;
};

// The whole content of a file. Throws DataFileError.
std::string ReadWholeFile(const std::string& path);
// Replaces the content of a file with `data`, whole or not at all, through a
// ReplacingFile. Throws DataFileError.
void WriteWholeFile(const std::string& path, std::string_view data);

}  // namespace slm
