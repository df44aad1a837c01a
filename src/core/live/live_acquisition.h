#pragma once

#include "link/meter_link.h"
#include "live/reading.h"

namespace slm {

// What one live tick did.
enum class TickResult {
  kFrame,     // a new frame was decoded into the Reading
  kLost,      // the meter is silent or its port failed; the link is (still) lost
  kRestored,  // the meter came back; the next tick reads frames again
  kSkipped,   // a tick or an exchange was already using the port
};

// The live acquisition tick: takes the newest frame and decodes it into the
// one current Reading. The window or shell that owns the timer shows the result.
class LiveAcquisition {
 public:
  LiveAcquisition(MeterLink& link, Reading& reading) : link_(link), reading_(reading) {}

  TickResult Tick();

 private:
  MeterLink& link_;
  Reading& reading_;
  bool running_ = false;
};

}  // namespace slm
