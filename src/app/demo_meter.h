#pragma once

#include <string>

#include "link/serial_port.h"
#include "sim/simulated_meter.h"

namespace slm {

// The meter emulator inside the program (`slmpanel --demo`): COM1 is the
// meter model in real time, with three logged sets in its memory; every other
// port number is the system's port, as without the demo.
class DemoMeter : public SerialPort {
 public:
  // What the port window shows as COM1's device.
  static constexpr const char* kDevice = "the built-in meter emulator";

  DemoMeter();
  DemoMeter(const DemoMeter&) = delete;
  DemoMeter& operator=(const DemoMeter&) = delete;

  // The port that the numbers other than 1 stand for.
  void SetOtherPorts(SerialPort& others) { others_ = &others; }

  // SerialPort
  void SetCommPort(int number) override;
  int CommPort() const override { return number_; }
  void SetSettings(const std::string& settings) override;
  bool PortOpen() const override;
  void SetPortOpen(bool open) override { Current().SetPortOpen(open); }
  void SetInputLen(int length) override;
  int InBufferCount() override { return Current().InBufferCount(); }
  Bytes Input() override { return Current().Input(); }
  void Output(const Bytes& bytes) override { Current().Output(bytes); }

 private:
  SerialPort& Current() const;

  mutable sim::SimulatedMeter meter_{sim::SimulatedMeter::RealTime{}};
  SerialPort* others_ = nullptr;
  int number_ = 1;
};

}  // namespace slm
