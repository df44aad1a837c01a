#pragma once

#include "base/date_time.h"
#include "link/rs232.h"

namespace slm {

// The PC clock in seconds since midnight, to the millisecond.
class QtClock : public Clock {
 public:
  double SecondsSinceMidnight() override;
};

// The PC's local date and time.
DateTime PcDateTime();

// Runs a nested event loop that a single-shot timer ends, so that a wait
// sleeps instead of spinning while timers, paints and clicks go on.
class QtEventPump : public EventPump {
 public:
  void ProcessEvents(double max_seconds) override;
};

}  // namespace slm
