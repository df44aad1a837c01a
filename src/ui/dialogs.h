#pragma once

#include <optional>
#include <string>
#include <vector>

namespace slm {

// The icon of a message box.
enum class MessageIcon { kCritical, kQuestion, kExclamation, kInformation };

// What the user chose in a file dialog.
struct FileChoice {
  std::string path;      // full path; empty when cancelled
  int filter_index = 0;  // 1-based index of the chosen filter
  bool chosen() const { return !path.empty(); }
  // The file name without its folder.
  std::string Title() const;
};

// Filters in the form "Data Files (*.dlgr)|*.dlgr|All Files (*.*)|*.*|".
inline constexpr const char* kSaveFilter =
    "Data Files (*.dlgr)|*.dlgr|Data Files (*.csv)|*.csv|All Files (*.*)|*.*|";
inline constexpr const char* kOpenFilter = "Data Files (*.dlgr)|*.dlgr|All Files (*.*)|*.*|";

// The modal dialogs the windows use. The Qt implementation shows real ones;
// tests answer them from a script.
inline constexpr const char* kDefaultDialogTitle = "slmpanel";

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void Message(const std::string& text, MessageIcon icon,
                       const std::string& title = kDefaultDialogTitle) = 0;
  // A message that does not wait for the user: the window goes on working
  // while it is on show.
  virtual void Notice(const std::string& text, MessageIcon icon,
                      const std::string& title = kDefaultDialogTitle) = 0;
  // A yes/no question; true for yes.
  virtual bool Ask(const std::string& text, const std::string& title = kDefaultDialogTitle) = 0;
  // A save dialog that asks before overwriting; the first filter is preset.
  virtual FileChoice SaveFile(const std::string& filter) = 0;
  virtual FileChoice OpenFile(const std::string& filter) = 0;
  // An open dialog that takes one or more files; none when cancelled. Where
  // a dialog takes one file only, the one chosen.
  virtual std::vector<std::string> OpenFiles(const std::string& filter) {
    const FileChoice one = OpenFile(filter);
    if (!one.chosen()) return {};
    return {one.path};
  }
  // The typed text; empty when the user cancels.
  virtual std::string Input(const std::string& prompt, const std::string& title,
                            const std::string& default_text) = 0;
  // The typed text, which may be empty; nothing when the user cancels. Where
  // a dialog cannot tell, an empty text.
  virtual std::optional<std::string> InputOrCancel(const std::string& prompt,
                                                   const std::string& title,
                                                   const std::string& default_text) {
    return Input(prompt, title, default_text);
  }
};

inline std::string FileChoice::Title() const {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace slm
