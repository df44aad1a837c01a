#pragma once

#include <QCoreApplication>
#include <cstdlib>
#include <optional>
#include <type_traits>

namespace slm::tool {

// The Qt application a command needs: QCoreApplication for the serial port
// and the timers; QGuiApplication or QApplication to draw, which then needs
// no screen: without one, Qt draws offscreen.
template <typename App = QCoreApplication>
class ToolApp {
 public:
  ToolApp() {
    if (!std::is_same_v<App, QCoreApplication> && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    app_.emplace(argc_, argv_);
  }

 private:
  int argc_ = 1;
  char name_[8] = "slmtool";
  char* argv_[2] = {name_, nullptr};
  std::optional<App> app_;
};
using ToolApplication = ToolApp<>;

}  // namespace slm::tool
