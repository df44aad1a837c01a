#pragma once

#include <cstddef>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace slm {

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

// A file written from the start, replacing any earlier content. Nothing counts
// as written until Close() has returned: a full disk often shows only there.
class OutputFile {
 public:
  explicit OutputFile(std::string path);  // throws DataFileError
  ~OutputFile();                          // closes quietly if Close() was not called
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view data);  // throws DataFileError
  void Flush();                       // throws DataFileError
  void Close();                       // throws DataFileError
  bool is_open() const { return file_ != nullptr; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
};

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

// The whole content of a file. Throws DataFileError.
std::string ReadWholeFile(const std::string& path);
// Replaces the content of a file with `data` in one write. Throws DataFileError.
void WriteWholeFile(const std::string& path, std::string_view data);
// The same through a temporary file beside it that is renamed over `path`
// only when whole, so that a failed write leaves the old file as it was.
// Throws DataFileError naming the file; the temporary file is gone then.
void ReplaceFileWith(const std::string& path, std::string_view data);

}  // namespace slm
