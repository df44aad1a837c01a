#pragma once

#include <functional>
#include <optional>

#include "base/date_time.h"

namespace slm {

// The PC's two clocks read at one moment.
struct ClockReading {
  // Seconds on a clock that never steps and keeps counting while the system
  // sleeps; only differences between its readings mean anything.
  double monotonic = 0;
  DateTime wall;        // the PC's local date and time
  int millisecond = 0;  // within the wall clock's second
};
using ClockSource = std::function<ClockReading()>;

// The one-second rhythm of the PC's sampling. Second k is due at a fixed
// point of the monotonic clock, start + k, and carries the wall-clock time
// the rhythm gave it, the start's time + k: so the seconds are always one
// second apart and in order, whatever the PC clock does meanwhile, and a
// second that nobody took in time (a frozen window, a suspend, a lost meter)
// is missing rather than taken twice or made up. The rhythm starts in the
// middle of a wall-clock second, so that each second's time is the
// wall-clock second it falls in.
class SampleSchedule {
 public:
  struct Due {
    long long second = 0;  // its number; they count on across a Realign
    long long missed = 0;  // seconds that came due before it and were not taken
    DateTime time;         // its wall-clock time
    double due = 0;        // when it fell due on the monotonic clock
  };

  // Starts the rhythm afresh from `now`: the first second is due in the
  // middle of the next wall-clock second and is number 0.
  void Start(const ClockReading& now);
  bool started() const { return started_; }
  // Takes up the PC clock at `now` again: the next second is due in the
  // middle of the next wall-clock second and carries its time.
  void Realign(const ClockReading& now);

  // The latest second due at `monotonic`, once; the earlier ones that were
  // not taken count as missed. Nothing when no second is due yet.
  std::optional<Due> Take(double monotonic);
  // When the next second is due, on the monotonic clock.
  double NextDue() const { return DueAt(next_); }
  // How far, in seconds, the PC clock at `now` is ahead of the rhythm's
  // times (negative: behind).
  double Drift(const ClockReading& now) const;

 private:
  double DueAt(long long second) const { return base_due_ + static_cast<double>(second - base_); }

  bool started_ = false;
  long long next_ = 0;       // the next second not taken yet
  long long base_ = 0;       // a second whose due time and wall time are known:
  double base_due_ = 0;      //   due then on the monotonic clock,
  long long base_time_ = 0;  //   with this time (civil seconds)
};

}  // namespace slm
