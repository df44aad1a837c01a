#pragma once

#include <deque>
#include <vector>

#include "link/serial_port.h"
#include "link/waiting.h"

namespace slm::test {

// A port whose received bytes arrive exactly as a test lays them out: each
// chunk becomes readable after a given number of pump passes. It is also the
// clock (advancing by what each wait asks) and the pump.
class ScriptedPort : public SerialPort, public Clock, public EventPump {
 public:
  // `bytes` arrive `after_passes` pump passes after the previous chunk.
  void Arrive(int after_passes, const Bytes& bytes);

  void SetCommPort(int number) override { number_ = number; }
  int CommPort() const override { return number_; }
  void SetSettings(const std::string&) override {}
  bool PortOpen() const override { return true; }
  void SetPortOpen(bool) override {}
  void SetInputLen(int) override {}
  int InBufferCount() override { return static_cast<int>(buffer_.size()); }
  Bytes Input() override;
  void Output(const Bytes& bytes) override { writes_.push_back(bytes); }

  double SecondsSinceMidnight() override { return now_; }
  void ProcessEvents(double max_seconds) override;

  const std::vector<Bytes>& writes() const { return writes_; }
  int reads() const { return reads_; }
  int passes() const { return passes_; }

 private:
  struct Chunk {
    int at_pass;
    Bytes bytes;
  };
  std::deque<Chunk> chunks_;
  int last_at_ = 0;
  Bytes buffer_;
  std::vector<Bytes> writes_;
  double now_ = 1000.0;
  int passes_ = 0;
  int reads_ = 0;
  int number_ = 1;
};

}  // namespace slm::test
