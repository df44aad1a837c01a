#pragma once

#include <cmath>
#include <functional>
#include <utility>

#include "base/calendar.h"
#include "files/record_text.h"
#include "live/pc_recorder.h"
#include "live/sample_schedule.h"

namespace slm::test {

// The PC's two clocks in a test: a monotonic clock that follows the test's
// virtual time, and a wall clock that starts with it and can be slewed or
// stepped as time synchronisation and daylight saving do.
class VirtualClock {
 public:
  // `elapsed`: the test's virtual seconds (by default the clock's own, moved
  // by Advance).
  explicit VirtualClock(DateTime start = {2024, 5, 1, 10, 0, 0},
                        std::function<double()> elapsed = {})
      : start_(LinearSeconds(start)), elapsed_(std::move(elapsed)) {}

  ClockReading Read() const {
    const double t = Elapsed();
    const double wall = static_cast<double>(start_) + step_ + t * rate_;
    const double second = std::floor(wall);
    ClockReading reading;
    reading.monotonic = 1000.0 + t;
    reading.wall = DateTimeOfSeconds(static_cast<long long>(second));
    reading.millisecond = static_cast<int>((wall - second) * 1000.0);
    return reading;
  }
  ClockSource Source() {
    return [this] { return Read(); };
  }
  void Advance(double seconds) { own_ += seconds; }
  // The wall clock is set forward (or back) by `seconds`.
  void StepWall(double seconds) { step_ += seconds; }
  // The wall clock runs `rate` times as fast as real time from the start.
  void SetWallRate(double rate) { rate_ = rate; }

  // Second `n` of a rhythm that started at this clock's start.
  SampleSecond Second(long long n) const {
    return {n, PcDateTimeText(DateTimeOfSeconds(start_ + n))};
  }

 private:
  double Elapsed() const { return elapsed_ ? elapsed_() : own_; }

  long long start_;
  std::function<double()> elapsed_;
  double own_ = 0;
  double step_ = 0;
  double rate_ = 1.0;
};

}  // namespace slm::test
