#pragma once

#include "link/meter_link.h"
#include "link/waiting.h"
#include "sim/simulated_meter.h"

namespace slm::test {

using sim::SimulatedMeter;

// The program's serial stack on the simulated meter, its link open on COM1:
// a base for the fixtures of the tests that talk to the meter.
class MeterStack {
 protected:
  MeterStack() { link_.Open(1); }
  SimulatedMeter meter_;
  Rs232 rs232_{meter_, meter_};
  MeterLink link_{meter_, rs232_};
};

}  // namespace slm::test
