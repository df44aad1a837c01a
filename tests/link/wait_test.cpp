#include <gtest/gtest.h>

#include <functional>

#include "link/waiting.h"

namespace slm {
namespace {

// A clock that moves only when the pump runs, by `step` seconds at a time
// (a coarse platform clock), or by the full wait when step is 0.
class StepClock : public Clock, public EventPump {
 public:
  StepClock(double now, double step) : now_(now), step_(step) {}
  double SecondsSinceMidnight() override { return now_; }
  void ProcessEvents(double max_seconds) override {
    if (on_pass) on_pass();
    now_ += step_ > 0 ? step_ : max_seconds;
    if (now_ >= kSecondsPerDay) now_ -= kSecondsPerDay;
  }
  double now_;
  double step_;
  std::function<void()> on_pass;
};

TEST(Wait, LastsTheTimeAskedInPassesOfTheClockAcrossMidnight) {
  const struct {
    const char* name;
    double start, step, wait;
    int min_passes, max_passes;
    double min_end, max_end;
  } cases[] = {
      {"at least the time asked", 1000.0, 0.0, 0.2, 1, 1, 1000.2 - 1e-9, 1001},
      {"a coarse clock takes one step", 1000.0, 1.0 / 64, 0.01, 1, 1, 1000.0 + 1.0 / 64 - 1e-9,
       1000.0 + 1.0 / 64 + 1e-9},
      // Past midnight the clock starts again from 0; the wait goes on.
      {"across midnight", 86399.9, 0.0, 0.2, 1, 1, 0.1 - 1e-6, 0.1 + 1e-6},
      // A handler ran for half a second: the clock reads 0.4 and must not be
      // taken as "not yet 86399.98".
      {"the clock wrapped", 86399.9, 0.5, 0.08, 1, 1, 0, 1.0},
      {"events run inside the wait", 500.0, 0.01, 0.1, 10, 11, 500.1 - 1e-9, 500.11 + 1e-9},
  };
  for (const auto& c : cases) {
    StepClock clock(c.start, c.step);
    Rs232 rs232(clock, clock);
    int ticks = 0;
    clock.on_pass = [&] { ++ticks; };
    rs232.Wait(c.wait);
    EXPECT_GE(ticks, c.min_passes) << c.name;
    EXPECT_LE(ticks, c.max_passes) << c.name;
    EXPECT_GE(clock.now_, c.min_end) << c.name;
    EXPECT_LE(clock.now_, c.max_end) << c.name;
  }
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
