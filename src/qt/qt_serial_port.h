#pragma once

#include <QSerialPort>
#include <functional>
#include <string>

#include "link/serial_port.h"

namespace slm {

// The serial port over QSerialPort: binary, every read takes all that is
// buffered. Port numbers become device names through `device_of`.
class QtSerialPort : public SerialPort {
 public:
  using DeviceOf = std::function<std::string(int number)>;
  explicit QtSerialPort(DeviceOf device_of);
  ~QtSerialPort() override;

  void SetCommPort(int number) override;
  int CommPort() const override { return number_; }
  void SetSettings(const std::string& settings) override;
  bool PortOpen() const override;
  void SetPortOpen(bool open) override;
  void SetInputLen(int length) override { input_len_ = length; }
  int InBufferCount() override;
  Bytes Input() override;
  void Output(const Bytes& bytes) override;

  // The device the current port number stands for ("" when none).
  std::string Device() const;

 private:
  void Fetch();
  void ThrowIfFailed(const char* what);

  DeviceOf device_of_;
  QSerialPort port_;
  int number_ = 0;
  int input_len_ = 0;
  qint32 baud_ = 38400;
  QSerialPort::Parity parity_ = QSerialPort::NoParity;
  QSerialPort::DataBits data_bits_ = QSerialPort::Data8;
  QSerialPort::StopBits stop_bits_ = QSerialPort::OneStop;
};

}  // namespace slm
