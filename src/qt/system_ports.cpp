#include "qt/system_ports.h"

#include <QSerialPortInfo>

#include "link/port_names.h"

namespace slm {

std::vector<SystemPort> SystemSerialPorts() {
  std::vector<SystemPort> out;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    out.push_back({info.systemLocation().toStdString(), info.description().toStdString(),
                   info.manufacturer().toStdString(), info.serialNumber().toStdString()});
  }
  return out;
}

PortDirectory::PortDirectory(const std::string& first) {
#ifdef Q_OS_WIN
  system_names_ = first.empty();
#endif
  if (system_names_) return;
  std::vector<std::string> system;
  for (const SystemPort& port : SystemSerialPorts()) system.push_back(port.device);
  devices_ = ComPortDevices(first, std::move(system));
}

std::string PortDirectory::DeviceOf(int number) const {
  if (number < 1 || number > kPortCount) return {};
  if (system_names_) return PortNameOfNumber(number);
  if (static_cast<size_t>(number) > devices_.size()) return {};
  return devices_[static_cast<size_t>(number - 1)];
}

}  // namespace slm
