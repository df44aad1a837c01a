#pragma once

#include <QCoreApplication>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "app/tool_shell.h"
#include "files/data_file_reader.h"
#include "link/meter_link.h"
#include "platform/meter_connection.h"

namespace slm::tool {

// The Qt application a subcommand needs for its serial port and timers.
// QCoreApplication for the serial port and the timers; QGuiApplication or
// QApplication to draw, which then needs no screen: without one, Qt draws
// offscreen.
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

// The serial link as the program opens it, from a --port text: "COM1".."COM16"
// or a device path (which then becomes COM1).
class ToolLink {
 public:
  explicit ToolLink(const std::string& port_text);
  // Opens the port; when it cannot, says so and why on stderr and returns 1.
  int OpenOrExplain();
  MeterLink& link() { return meter_.link(); }
  Rs232& rs232() { return meter_.rs232(); }
  std::string Describe() const { return meter_.Describe(number_); }

 private:
  MeterConnection meter_;
  int number_;
};

// Reads `path` as the Open command does into `file`. When it cannot, says why
// on stderr ("slmtool COMMAND: ...", naming the file) and returns false; when
// it read only part of the file, says there what it left out (PartialReadNotes)
// and returns true.
bool ReadListFile(const char* command, const std::string& path, DataFile& file);

int RunEmulate(const std::vector<std::string>& args);
int RunLive(const std::vector<std::string>& args);
int RunKey(const std::vector<std::string>& args);
int RunInfo(const std::vector<std::string>& args);
int RunConvert(const std::vector<std::string>& args);
int RunRecord(const std::vector<std::string>& args);
int RunPlot(const std::vector<std::string>& args);
int RunStats(const std::vector<std::string>& args);
int RunReport(const std::vector<std::string>& args);
int RunMemory(const std::vector<std::string>& args);
int RunDownload(const std::vector<std::string>& args);
int RunErase(const std::vector<std::string>& args);
int RunSampling(const std::vector<std::string>& args);
int RunClock(const std::vector<std::string>& args);

}  // namespace slm::tool
