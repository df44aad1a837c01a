#pragma once

// The meter's data logger while it runs: the stored sets, the set that key 6
// is logging, the sampling time and the meter's clock.

#include <cstdint>
#include <vector>

#include "link/serial_port.h"
#include "sim/meter_model.h"
#include "sim/meter_state.h"

namespace slm::sim {

struct DataLogger {
  DataLogger();

  // The meter's clock at `t` of the caller's clock.
  MeterTime ClockAt(double t) const;
  // From `t` on the clock counts from `time`.
  void SetClock(const MeterTime& time, double t);
  // "B" and its six BCD bytes (second first, year last) set the clock at `t`
  // when they name a real date and time; "I" is answered with the same six.
  void SetClockFromCommand(const Bytes& command, double t);
  Bytes ClockReply(double t) const;

  // Starts a new set at `t` with the meter's settings; its first record is
  // `level`, the next ones follow every sampling time from `next_record`.
  void Start(double t, const MeterState& state, double level);
  // Adds `level` to the logging set. STOP, or the set having been erased,
  // ends the logging instead.
  void TakeRecord(const MeterState& state, double level);
  // Erases one set by number, or all of them; logging of an erased set ends.
  void Erase(int number);
  void EraseAll();

  std::vector<StoredSet> sets;
  uint32_t memory_size = 8000;
  int sampling_time = 1;
  int64_t clock_anchor = 0;   // the clock reads this many seconds since 1970 ...
  double clock_anchor_t = 0;  // ... at this time of the caller's clock
  bool logging = false;
  int logging_number = 0;
  int logging_interval = 1;
  double next_record = 0;

 private:
  StoredSet* LoggingSet();
};

}  // namespace slm::sim
