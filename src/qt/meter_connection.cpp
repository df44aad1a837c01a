#include "qt/meter_connection.h"

#include "link/port_names.h"

namespace slm {

MeterConnection::MeterConnection(const std::string& first_device, SerialPort* port)
    : directory_(first_device),
      port_([this](int n) { return directory_.DeviceOf(n); }),
      rs232_(clock_, pump_),
      link_(port != nullptr ? *port : port_, rs232_) {}

std::string MeterConnection::Describe(int port_number) const {
  const std::string device = directory_.DeviceOf(port_number);
  return PortNameOfNumber(port_number) + (device.empty() ? "" : " (" + device + ")");
}

}  // namespace slm
