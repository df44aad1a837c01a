#include "sim/simulated_meter.h"

#include <cmath>
#include <utility>

namespace slm::sim {

SimulatedMeter::SimulatedMeter(double seconds_since_midnight, MeterOptions options)
    : model_(options), start_(seconds_since_midnight) {}

SimulatedMeter::SimulatedMeter(RealTime, MeterOptions options)
    : model_(options), start_(0), real_time_(true) {}

double SimulatedMeter::elapsed() const {
  if (!real_time_) return elapsed_;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - made_).count();
}

void SimulatedMeter::At(double after, std::function<void()> action) {
  events_.emplace(elapsed_ + after, std::move(action));
}

void SimulatedMeter::CheckUsable() const {
  if (broken_ || model_.Vanished(elapsed())) {
    throw LinkError("The serial port failed: device removed");
  }
  if (!open_) throw LinkError("The serial port is not open.");
}

void SimulatedMeter::SetPortOpen(bool open) {
  if (!open) {
    open_ = false;
    return;
  }
  ++open_attempts_;
  if (open_fails_ || broken_)
    throw LinkError("COM" + std::to_string(number_) + " cannot be opened");
  open_ = true;
  ++open_count_;
  buffer_.clear();
}

int SimulatedMeter::InBufferCount() {
  CheckUsable();
  buffer_ += model_.Transmit(elapsed());
  return static_cast<int>(buffer_.size());
}

Bytes SimulatedMeter::Input() {
  CheckUsable();
  buffer_ += model_.Transmit(elapsed());
  Bytes out;
  out.swap(buffer_);
  return out;
}

void SimulatedMeter::Output(const Bytes& bytes) {
  CheckUsable();
  writes_.push_back(bytes);
  model_.Receive(bytes, elapsed());
}

double SimulatedMeter::SecondsSinceMidnight() {
  return std::fmod(start_ + elapsed(), kSecondsPerDay);
}

void SimulatedMeter::Advance(double seconds) {
  const double end = elapsed_ + seconds;
  // Scheduled events run at their own time, so that what they change (a
  // silent meter, a broken port) is seen from that moment on.
  while (!events_.empty() && events_.begin()->first <= end) {
    auto node = events_.extract(events_.begin());
    if (node.key() > elapsed_) elapsed_ = node.key();
    node.mapped()();
  }
  elapsed_ = end;
}

void SimulatedMeter::ProcessEvents(double max_seconds) {
  ++passes_;
  if (each_pass_) each_pass_();
  if (click_ && held_ == 0) std::exchange(click_, nullptr)();
  Advance(max_seconds);
}

}  // namespace slm::sim
