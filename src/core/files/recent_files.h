#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace slm {

// At most this many files on the "Open Recent" menu.
inline constexpr std::size_t kMaxRecentFiles = 8;

// The data files opened lately, newest first, each once by its absolute path.
class RecentFiles {
 public:
  // The list as it was kept. It may have been edited by hand: relative paths
  // are made absolute, and empty entries, repeats and anything past
  // kMaxRecentFiles are left out.
  explicit RecentFiles(const std::vector<std::string>& kept = {});

  // A file just opened goes first; its earlier entry goes, and the oldest
  // falls off past kMaxRecentFiles.
  void Add(const std::string& path);
  // False when the file was not on the list.
  bool Remove(const std::string& path);
  // Takes the file off the list when nothing is at its path any more; true
  // when it did. A path the system cannot look at (no permission) is kept,
  // so that opening it says why it cannot be read.
  bool DropIfMissing(const std::string& path);
  void Clear() { paths_.clear(); }

  const std::vector<std::string>& paths() const { return paths_; }
  bool empty() const { return paths_.empty(); }

 private:
  std::vector<std::string> paths_;
};

// The menu item of the file at `position` (1 for the newest): "&1 name", the
// file's name without its folder and with any "&" doubled, so that it shows
// as itself rather than marking a key.
std::string RecentFileLabel(std::size_t position, const std::string& path);

// Said when a file chosen from the list is no longer there.
std::string MissingRecentFileMessage(const std::string& path);

}  // namespace slm
