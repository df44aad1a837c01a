#include "files/file_io.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "platform/files.h"

namespace slm {
namespace fs = std::filesystem;
namespace {

[[noreturn]] void FailToRead(const std::string& path, int error) {
  throw DataFileError(path, AbsolutePath(path) + " cannot be read: " +
                                FileErrorInWords(error, FileAction::kRead) + ".");
}

// Where `path` leads when it is a symbolic link (or a chain of them); the
// path itself otherwise. A link's file is replaced, not the link.
fs::path FollowLinks(fs::path path) {
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(path, ec); ++hops) {
    const fs::path to = fs::read_symlink(path, ec);
    if (ec) break;
    path = to.is_absolute() ? to : path.parent_path() / to;
  }
  return path;
}

}  // namespace

std::string FileErrorInWords(int error, FileAction action) {
  const bool reading = action == FileAction::kRead;
  switch (error) {
    case ENOSPC:
      return "the disk is full";
#ifdef EDQUOT
    case EDQUOT:
      return "the disk quota is used up";
#endif
    case EFBIG:
      return "the file would grow past the largest size allowed here";
    case EACCES:
    case EPERM:
      return reading ? "you have no permission to read it"
                     : "you have no permission to write there";
    case EROFS:
      return "the disk is read-only";
    case ENOENT:
      return reading ? "there is no such file" : "its folder does not exist";
    case ENOTDIR:
      return "a part of its path is not a folder";
    case EISDIR:
      return "it is a folder";
    case ENAMETOOLONG:
      return "its name is too long";
    case EIO:
      return "the disk reported an error";
    case EBUSY:
    case ETXTBSY:
      return "it is in use";
    case EMFILE:
    case ENFILE:
      return "too many files are open";
    default:
      break;
  }
  return std::string("the system refused (") + std::strerror(error) + ")";
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

InputFile::InputFile(std::string path) : path_(std::move(path)) {
  // Only a file's bytes come to an end: a pipe would wait for a writer and a
  // device could go on without end, so neither is opened at all.
  std::error_code ec;
  const fs::file_status status = fs::status(path_, ec);
  if (fs::is_directory(status)) FailToRead(path_, EISDIR);
  if (!ec && fs::exists(status) && !fs::is_regular_file(status)) {
    throw DataFileError(path_, AbsolutePath(path_) + " cannot be read: it is " +
                                   (fs::is_fifo(status) ? "a pipe" : "a device or socket") +
                                   ", not a file.");
  }
  errno = 0;
  file_ = std::fopen(path_.c_str(), "rb");
  if (file_ == nullptr) FailToRead(path_, errno);
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
  if (got < size && std::ferror(file_)) FailToRead(path_, errno);
  return got;
}

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {
  if (path_.empty()) Fail(ENOENT);
  const fs::path target = FollowLinks(path_);
  target_ = target.string();
  std::error_code ec;
  const fs::file_status status = fs::status(target, ec);
  if (fs::is_directory(status)) Fail(EISDIR);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    errno = 0;
    file_ = std::fopen(target_.c_str(), "wb");
    if (file_ == nullptr) Fail(errno);
    return;
  }
  replaced_existing_ = fs::exists(status);
  std::random_device random;
  for (int attempt = 0; attempt < 100 && file_ == nullptr; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
    temp_ = target_ + suffix;
    int error = 0;
    // Never a file that is already there.
    file_ = platform::CreateNewFile(temp_, error);
    if (file_ == nullptr && error != EEXIST) {
      temp_.clear();
      Fail(error);
    }
  }
  if (file_ == nullptr) {
    temp_.clear();
    Fail(EEXIST);
  }
  // The new file gets the permissions the old one had.
  if (replaced_existing_) fs::permissions(temp_, status.permissions(), ec);
}

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temp_.empty()) {
    std::error_code ec;
    fs::remove(temp_, ec);
    temp_.clear();
  }
}

void ReplacingFile::Fail(int error) {
  Discard();
  std::string message =
      AbsolutePath(path_) + " could not be written: " + FileErrorInWords(error, FileAction::kWrite);
  message += replaced_existing_ ? "; the file that was there is kept as it was." : ".";
  throw DataFileError(path_, message);
}

void ReplacingFile::Write(std::string_view data) {
  if (file_ == nullptr) Fail(EBADF);
  errno = 0;
  if (std::fwrite(data.data(), 1, data.size(), file_) != data.size()) Fail(errno);
}

void ReplacingFile::Commit() {
  if (file_ == nullptr) Fail(EBADF);
  errno = 0;
  if (std::fflush(file_) != 0 || std::ferror(file_) != 0) Fail(errno);
  if (!temp_.empty()) {
    if (const int error = platform::SyncToDisk(file_); error != 0) Fail(error);
  }
  errno = 0;
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) Fail(errno);
  if (temp_.empty()) return;
  std::error_code ec;
  fs::rename(temp_, target_, ec);
  if (ec) Fail(ec.value());
  temp_.clear();
  platform::SyncFolder(fs::path(target_).parent_path());
}

FileLock::FileLock(const std::string& path, double seconds)
    : lock_(std::make_unique<platform::AdvisoryLock>(path, seconds)) {
  if (lock_->state() != platform::AdvisoryLock::State::kBusy) return;
  throw DataFileError(
      path, AbsolutePath(path) + " is being changed by another window or program; try again.");
}

FileLock::~FileLock() = default;

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
  ReplacingFile out(path);
  out.Write(data);
  out.Commit();
}

void CheckWritable(const std::string& path) {
  const std::string named = AbsolutePath(path);
  auto refuse = [&named](int error) {
    throw DataFileError(
        named, named + " cannot be written: " + FileErrorInWords(error, FileAction::kWrite));
  };
  std::error_code ec;
  if (fs::is_directory(named, ec)) refuse(EISDIR);
  const bool existed = fs::exists(named, ec);
  // "a" neither truncates nor moves anything already in the file.
  errno = 0;
  std::FILE* file = std::fopen(named.c_str(), existed ? "a" : "w");
  if (file == nullptr) refuse(errno);
  std::fclose(file);
  if (!existed) fs::remove(named, ec);
}

std::string CreateFreeFile(const std::string& path) {
  const std::filesystem::path wanted(path);
  for (int n = 1;; ++n) {
    const std::string name =
        n == 1 ? path
               : (wanted.parent_path() /
                  (wanted.stem().string() + "-" + std::to_string(n) + wanted.extension().string()))
                     .string();
    int error = 0;
    // Made here or not at all, so no other file is replaced.
    if (std::FILE* file = platform::CreateNewFile(name, error)) {
      std::fclose(file);
      return name;
    }
    if (error != EEXIST || n >= 1000) {
      throw DataFileError(name, AbsolutePath(name) + " cannot be created: " +
                                    FileErrorInWords(error, FileAction::kWrite) + ".");
    }
  }
}

void RemoveQuietly(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

}  // namespace slm
