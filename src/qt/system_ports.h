#pragma once

#include <string>
#include <vector>

namespace slm {

// A serial port the system reports.
struct SystemPort {
  std::string device;  // "/dev/ttyUSB0" or "COM3"
  std::string description;
  std::string manufacturer;
  std::string serial_number;
};

std::vector<SystemPort> SystemSerialPorts();

// The device each of "COM1".."COM16" stands for: on Windows the system's own
// names; elsewhere `first` (the --port device) and then the system's ports.
class PortDirectory {
 public:
  explicit PortDirectory(const std::string& first = {});
  // "" when the name stands for no device.
  std::string DeviceOf(int number) const;
  const std::vector<std::string>& devices() const { return devices_; }

 private:
  std::vector<std::string> devices_;
  bool system_names_ = false;
};

}  // namespace slm
