#include "files/file_io.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace slm {
namespace {

[[noreturn]] void Fail(const std::string& path, const char* action, int error) {
  std::string message = std::string("Cannot ") + action + " \"" + path + "\"";
  if (error != 0) message += std::string(": ") + std::strerror(error);
  throw DataFileError(path, message);
}

}  // namespace

InputFile::InputFile(std::string path) : path_(std::move(path)) {
  errno = 0;
  file_ = std::fopen(path_.c_str(), "rb");
  if (file_ == nullptr) Fail(path_, "open", errno);
  if (std::fseek(file_, 0, SEEK_END) == 0) {
    const long end = std::ftell(file_);
    if (end > 0) size_hint_ = static_cast<std::size_t>(end);
  }
  // A folder opens on some systems; its first read fails and says so.
  if (std::fseek(file_, 0, SEEK_SET) != 0) std::clearerr(file_);
}

InputFile::~InputFile() {
  if (file_ != nullptr) std::fclose(file_);
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  errno = 0;
  const std::size_t got = std::fread(buffer, 1, size, file_);
  if (got < size && std::ferror(file_)) Fail(path_, "read", errno);
  return got;
}

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
  errno = 0;
  file_ = std::fopen(path_.c_str(), "wb");
  if (file_ == nullptr) Fail(path_, "write", errno);
}

OutputFile::~OutputFile() {
  if (file_ != nullptr) std::fclose(file_);
}

void OutputFile::Write(std::string_view data) {
  if (file_ == nullptr) Fail(path_, "write to closed file", 0);
  errno = 0;
  if (std::fwrite(data.data(), 1, data.size(), file_) != data.size()) Fail(path_, "write", errno);
}

void OutputFile::Flush() {
  if (file_ == nullptr) return;
  errno = 0;
  if (std::fflush(file_) != 0) Fail(path_, "write", errno);
}

void OutputFile::Close() {
  if (file_ == nullptr) return;
  errno = 0;
  const bool failed = std::ferror(file_) != 0;
  const bool close_failed = std::fclose(file_) != 0;
  file_ = nullptr;
  if (failed || close_failed) Fail(path_, "write", errno);
}

std::string ReadWholeFile(const std::string& path) {
  InputFile in(path);
  std::string text;
  text.resize(in.SizeHint());
  std::size_t used = in.Read(text.data(), text.size());
  // The size was only a hint: a growing file or a pipe goes on.
  for (;;) {
    if (used == text.size()) text.resize(used + 65536);
    const std::size_t got = in.Read(text.data() + used, text.size() - used);
    if (got == 0) break;
    used += got;
  }
  text.resize(used);
  return text;
}

void WriteWholeFile(const std::string& path, std::string_view data) {
  OutputFile out(path);
  out.Write(data);
  out.Close();
}

void ReplaceFileWith(const std::string& path, std::string_view data) {
  const std::string temporary = path + ".part";
  try {
    WriteWholeFile(temporary, data);
  } catch (const DataFileError& e) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    // The reason is the system's; the file to name is the user's.
    std::string message = e.what();
    if (const std::size_t at = message.find(temporary); at != std::string::npos) {
      message.replace(at, temporary.size(), path);
    }
    throw DataFileError(path, message);
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    Fail(path, "write", ec.value());
  }
}

void CheckWritable(const std::string& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  const std::string named = ec ? path : absolute.lexically_normal().string();
  auto refuse = [&named](const std::string& reason) {
    throw DataFileError(named, named + " cannot be written: " + reason);
  };
  if (std::filesystem::is_directory(named, ec)) refuse("it is a folder");
  const bool existed = std::filesystem::exists(named, ec);
  // "a" neither truncates nor moves anything already in the file.
  std::FILE* file = std::fopen(named.c_str(), existed ? "a" : "w");
  if (file == nullptr) refuse(std::strerror(errno));
  std::fclose(file);
  if (!existed) std::filesystem::remove(named, ec);
}

std::string CreateFreeFile(const std::string& path) {
  const std::filesystem::path wanted(path);
  for (int n = 1;; ++n) {
    const std::string name =
        n == 1 ? path
               : (wanted.parent_path() /
                  (wanted.stem().string() + "-" + std::to_string(n) + wanted.extension().string()))
                     .string();
    errno = 0;
    // "x": the file is made here or not at all, so no other file is replaced.
    if (std::FILE* file = std::fopen(name.c_str(), "wbx")) {
      std::fclose(file);
      return name;
    }
    if (errno != EEXIST || n >= 1000) Fail(name, "create", errno);
  }
}

void RemoveQuietly(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

}  // namespace slm
