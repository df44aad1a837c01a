#pragma once

#include "base/date_time.h"
#include "link/waiting.h"
#include "live/sample_schedule.h"

namespace slm {

// The PC clock in seconds since midnight, to the millisecond.
class QtClock : public Clock {
 public:
  double SecondsSinceMidnight() override;
};

// The PC's monotonic clock (counting the time the system slept) and its
// local date and time, read together.
ClockReading PcClockReading();

// Runs a nested event loop that a single-shot timer ends, so that a wait
// sleeps instead of spinning while timers, paints and clicks go on.
class QtEventPump : public EventPump {
 public:
  void ProcessEvents(double max_seconds) override;
  void HoldUserInput(bool hold) override { held_ += hold ? 1 : -1; }

 private:
  int held_ = 0;
};

}  // namespace slm
