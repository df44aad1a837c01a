#pragma once

#include <string>

#include "link/meter_link.h"
#include "link/waiting.h"
#include "qt/qt_serial_port.h"
#include "qt/qt_wait.h"
#include "qt/system_ports.h"

namespace slm {

// The serial stack between a program and the meter: the port list that says
// which device each "COMn" is, the Qt serial port, the clock and event pump
// that the waits run on, and the meter link over them. slmpanel and slmtool
// both talk to the meter through one of these.
class MeterConnection {
 public:
  // `first_device`: the device that is COM1 (from --port or the emulator);
  // "" leaves the list to the system's ports. `port`: a port the link talks
  // through instead of the system's (the demo's, which hands the numbers it
  // does not serve to system_port()).
  explicit MeterConnection(const std::string& first_device = {}, SerialPort* port = nullptr);
  MeterConnection(const MeterConnection&) = delete;
  MeterConnection& operator=(const MeterConnection&) = delete;

  MeterLink& link() { return link_; }
  Rs232& rs232() { return rs232_; }
  SerialPort& system_port() { return port_; }
  const PortDirectory& directory() const { return directory_; }
  // The port's name and the device it stands for: "COM1 (/dev/pts/3)".
  std::string Describe(int port_number) const;

 private:
  PortDirectory directory_;
  QtSerialPort port_;
  QtClock clock_;
  QtEventPump pump_;
  Rs232 rs232_;
  MeterLink link_;
};

}  // namespace slm
