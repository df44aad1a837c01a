#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "link/rs232.h"

namespace slm {
namespace {

// A clock that moves only when the pump runs, by `step` seconds at a time
// (a coarse platform clock), or by the full wait when step is 0.
class StepClock : public Clock, public EventPump {
 public:
  StepClock(double now, double step) : now_(now), step_(step) {}
  double SecondsSinceMidnight() override { return now_; }
  void ProcessEvents(double max_seconds) override {
    ++passes;
    if (on_pass) on_pass();
    now_ += step_ > 0 ? step_ : max_seconds;
    if (now_ >= kSecondsPerDay) now_ -= kSecondsPerDay;
  }
  double now_;
  double step_;
  int passes = 0;
  std::function<void()> on_pass;
};

TEST(Wait, LastsAtLeastTheTimeAsked) {
  StepClock clock(1000.0, 0.0);
  Rs232 rs232(clock, clock);
  rs232.Wait(0.2);
  EXPECT_GE(clock.now_, 1000.2 - 1e-9);
  EXPECT_EQ(clock.passes, 1);
}

TEST(Wait, CoarseClockTakesOneStep) {
  StepClock clock(1000.0, 1.0 / 64);
  Rs232 rs232(clock, clock);
  rs232.Wait(0.01);
  EXPECT_EQ(clock.passes, 1);
  EXPECT_NEAR(clock.now_, 1000.0 + 1.0 / 64, 1e-9);
}

TEST(Wait, NearMidnightEndsAfterOnePass) {
  StepClock clock(86399.9, 0.001);
  Rs232 rs232(clock, clock);
  rs232.Wait(0.2);
  EXPECT_EQ(clock.passes, 1);
}

TEST(Wait, ClockWrappingDuringTheWaitEndsIt) {
  // Started 0.1 s before midnight, a handler runs for half a second: the
  // clock now reads 0.4 and must not be taken as "not yet 86399.98".
  StepClock clock(86399.9, 0.5);
  Rs232 rs232(clock, clock);
  rs232.Wait(0.08);
  EXPECT_EQ(clock.passes, 1);
  EXPECT_LT(clock.now_, 1.0);
}

TEST(Wait, EventsRunInsideTheWait) {
  StepClock clock(500.0, 0.01);
  Rs232 rs232(clock, clock);
  int ticks = 0;
  clock.on_pass = [&] { ++ticks; };
  rs232.Wait(0.1);
  EXPECT_GE(ticks, 10);
  EXPECT_LE(ticks, 11);
}

TEST(Stopwatch, CountsAcrossMidnight) {
  StepClock clock(86399.5, 0.0);
  Rs232 rs232(clock, clock);
  Stopwatch watch(rs232);
  clock.ProcessEvents(1.0);
  EXPECT_NEAR(watch.Elapsed(), 1.0, 1e-9);
  clock.ProcessEvents(0.25);
  EXPECT_NEAR(watch.Elapsed(), 1.25, 1e-9);
}

}  // namespace
}  // namespace slm
