#pragma once

#include <string>

namespace slm {

// The icon of a message box.
enum class MessageIcon { kCritical, kQuestion, kExclamation, kInformation };

// The modal dialogs the windows use. The Qt implementation shows real ones;
// tests answer them from a script.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void Message(const std::string& text, MessageIcon icon,
                       const std::string& title = "slmpanel") = 0;
  // The typed text; empty when the user cancels.
  virtual std::string Input(const std::string& prompt, const std::string& title,
                            const std::string& default_text) = 0;
};

}  // namespace slm
