#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace slm {

// The meter emulator on a pseudo-terminal, served from a thread of the
// program itself (`slmpanel --demo`).
class DemoMeter {
 public:
  DemoMeter();
  ~DemoMeter();
  DemoMeter(const DemoMeter&) = delete;
  DemoMeter& operator=(const DemoMeter&) = delete;

  // Starts serving; returns the device path. Throws std::runtime_error.
  std::string Start();

 private:
  struct State;
  std::unique_ptr<State> state_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace slm
