#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <vector>

#include "link/meter_link.h"
#include "link/serial_port.h"
#include "link/waiting.h"
#include "sim/meter_model.h"

namespace slm::sim {

// The meter model on a serial port, in one of two times.
// - Virtual time (the tests): it is the port, the clock and the event pump at
//   once: every wait advances the virtual clock by exactly what was asked and
//   lets the meter speak meanwhile, so an exchange of seconds runs in
//   microseconds and the same way every time.
// - Real time (`slmpanel --demo`): only the port; the model's time is the
//   monotonic clock since the port was made, so the meter speaks as a real
//   one would while the program's own clock and event loop run the waits.
class SimulatedMeter : public SerialPort, public Clock, public EventPump {
 public:
  // Virtual time; `seconds_since_midnight`: the clock's reading at the start.
  explicit SimulatedMeter(double seconds_since_midnight = 36000.0, MeterOptions options = {});
  struct RealTime {};
  explicit SimulatedMeter(RealTime, MeterOptions options = {});

  MeterModel& model() { return model_; }
  // The seconds since the port was made.
  double elapsed() const;

  // Runs `action` once the virtual clock has advanced `after` seconds.
  void At(double after, std::function<void()> action);
  // Runs `action` on every pass of the event pump (a timer, a click).
  void OnEachPass(std::function<void()> action) { each_pass_ = std::move(action); }
  // A click the user makes: it runs on the first pass of the event pump that
  // takes the user's input (not while a wait holds it).
  void ClickWhenFree(std::function<void()> click) { click_ = std::move(click); }
  int passes() const { return passes_; }

  // Bytes the program wrote, one entry per write.
  const std::vector<Bytes>& writes() const { return writes_; }
  // The port refuses to open (a port number with no device).
  void SetOpenFails(bool fails) { open_fails_ = fails; }
  // Every further port operation fails (a USB adapter pulled out), as it
  // does once the model's port vanished.
  void SetBroken(bool broken) { broken_ = broken; }
  int open_count() const { return open_count_; }
  // Every try to open the port, the failed ones too.
  int open_attempts() const { return open_attempts_; }

  // SerialPort
  void SetCommPort(int number) override { number_ = number; }
  int CommPort() const override { return number_; }
  void SetSettings(const std::string& settings) override { settings_ = settings; }
  const std::string& settings() const { return settings_; }
  bool PortOpen() const override { return open_; }
  void SetPortOpen(bool open) override;
  void SetInputLen(int) override {}
  int InBufferCount() override;
  Bytes Input() override;
  void Output(const Bytes& bytes) override;

  // Clock
  double SecondsSinceMidnight() override;
  // EventPump
  void ProcessEvents(double max_seconds) override;
  void HoldUserInput(bool hold) override { held_ += hold ? 1 : -1; }

 private:
  void Advance(double seconds);
  void CheckUsable() const;

  MeterModel model_;
  double start_;
  double elapsed_ = 0;  // virtual time
  bool real_time_ = false;
  std::chrono::steady_clock::time_point made_ = std::chrono::steady_clock::now();
  Bytes buffer_;
  std::vector<Bytes> writes_;
  std::multimap<double, std::function<void()>> events_;
  std::function<void()> each_pass_;
  std::function<void()> click_;
  int held_ = 0;
  int passes_ = 0;
  int number_ = 0;
  std::string settings_;
  bool open_ = false;
  bool open_fails_ = false;
  bool broken_ = false;
  int open_count_ = 0;
  int open_attempts_ = 0;
};

}  // namespace slm::sim
