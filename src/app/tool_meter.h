#pragma once

// The commands that talk to the meter. They are in slmtool's Qt part
// (tool_qt_part.h), with Qt Core and Qt SerialPort and nothing that draws.
#include <string>
#include <vector>

#include "app/tool_qt_app.h"
#include "app/tool_shell.h"
#include "link/meter_link.h"
#include "qt/meter_connection.h"

namespace slm::tool {

// The meter connection of a --port text: "COM1".."COM16" or a device path
// (which then becomes COM1).
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

int RunLive(const std::vector<std::string>& args);
int RunKey(const std::vector<std::string>& args);
int RunRecord(const std::vector<std::string>& args);
int RunMonitor(const std::vector<std::string>& args);
int RunMemory(const std::vector<std::string>& args);
int RunDownload(const std::vector<std::string>& args);
int RunErase(const std::vector<std::string>& args);
int RunSampling(const std::vector<std::string>& args);
int RunClock(const std::vector<std::string>& args);

}  // namespace slm::tool
