#pragma once

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace slm::test {

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
 public:
  TempDir() {
    // A number of this run's own, since test programs run side by side.
    static const unsigned run = std::random_device{}();
    static std::atomic<int> serial{0};
    path_ = std::filesystem::temp_directory_path() /
            ("slm_test_" + std::to_string(run) + "_" + std::to_string(serial++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string path() const { return path_.string(); }
  // In the system's own form, as the program names files ("a/b" is "a\\b" on Windows).
  std::string File(const std::string& name) const {
    return (path_ / std::filesystem::path(name).make_preferred()).string();
  }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The lines of `text`, each without its LF or CR LF; a last line without
// its end is kept.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    if (lines.back().ends_with('\r')) lines.back().pop_back();
    start = end + 1;
  }
  return lines;
}

}  // namespace slm::test
