#include "app/tool_meter.h"

#include <cstdio>
#include <stdexcept>

#include "link/port_names.h"

namespace slm::tool {

namespace {

// The device path of a --port text ("" for a port name); a text that names
// nothing is a usage error.
std::string DeviceOfText(const std::string& text) {
  if (text.empty()) throw std::runtime_error("--port is required");
  const PortText port = ReadPortText(text);
  if (!port.problem.empty()) throw std::runtime_error(port.problem);
  return port.device;
}

}  // namespace

ToolLink::ToolLink(const std::string& port_text)
    : meter_(DeviceOfText(port_text)),
      number_(PortNumberOfName(port_text) != 0 ? PortNumberOfName(port_text) : 1) {}

int ToolLink::OpenOrExplain() {
  try {
    link().Open(number_);
  } catch (const LinkError& e) {
    std::fprintf(stderr, "%s\n%s\n", kNoDeviceFound, e.what());
    return 1;
  }
  return 0;
}

}  // namespace slm::tool
