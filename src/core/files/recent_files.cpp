#include "files/recent_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "files/data_file_reader.h"

namespace slm {

RecentFiles::RecentFiles(const std::vector<std::string>& kept) {
  // Oldest first, so that each keeps its place and the newest stay.
  for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
    if (!it->empty()) Add(*it);
  }
}

void RecentFiles::Add(const std::string& path) {
  const std::string absolute = AbsolutePath(path);
  Remove(absolute);
  paths_.insert(paths_.begin(), absolute);
  if (paths_.size() > kMaxRecentFiles) paths_.resize(kMaxRecentFiles);
}

bool RecentFiles::Remove(const std::string& path) {
  const auto it = std::find(paths_.begin(), paths_.end(), AbsolutePath(path));
  if (it == paths_.end()) return false;
  paths_.erase(it);
  return true;
}

bool RecentFiles::DropIfMissing(const std::string& path) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (status.type() != std::filesystem::file_type::not_found) return false;
  Remove(path);
  return true;
}

std::string RecentFileLabel(std::size_t position, const std::string& path) {
  std::string label = "&" + std::to_string(position) + " ";
  for (const char c : std::filesystem::path(path).filename().string()) {
    if (c == '&') label += '&';
    label += c;
  }
  return label;
}

std::string MissingRecentFileMessage(const std::string& path) {
  return AbsolutePath(path) + " no longer exists.\nIt has been taken off the recent files.";
}

}  // namespace slm
