#include "app/demo_meter.h"

#include "sim/meter_model.h"
#include "sim/pty_bridge.h"
#include "ui/qt_wait.h"

namespace slm {

struct DemoMeter::State {
  sim::MeterModel model;
  sim::PtyBridge bridge{model};
};

DemoMeter::DemoMeter() : state_(std::make_unique<State>()) {}

DemoMeter::~DemoMeter() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::string DemoMeter::Start() {
  state_->model.SetClock(PcDateTime(), 0.0);
  // A quiet office with some traffic outside, on the 60-120 dB range.
  state_->model.SetRangeCode(2);
  state_->model.SetRandomWalk(68.0, 0.6);
  const std::string device = state_->bridge.Open();
  thread_ = std::thread([this] { state_->bridge.Serve(stop_); });
  return device;
}

}  // namespace slm
