#include "link/waiting.h"

#include <algorithm>

namespace slm {

void Rs232::Wait(double seconds) {
  const double start = clock_.SecondsSinceMidnight();
  double target = start + seconds;
  // A wait that would end after midnight ends after one pass instead, because
  // the clock then still reads more than `seconds`.
  if (target >= kSecondsPerDay) target = seconds;
  for (;;) {
    const double before = clock_.SecondsSinceMidnight();
    pump_.ProcessEvents(std::max(0.0, target - before));
    const double now = clock_.SecondsSinceMidnight();
    // Within a microsecond is there: a clock read as a large number of
    // seconds could otherwise never add up the last crumb of a wait.
    if (now >= target - 1e-6) return;
    // The clock passed midnight while events ran (a long handler, a coarse
    // clock): without this the wait would last until the next midnight.
    if (now < start) return;
  }
}

double Stopwatch::Elapsed() {
  const double now = rs232_.Now();
  double step = now - last_;
  if (step < 0) step += kSecondsPerDay;
  elapsed_ += step;
  last_ = now;
  return elapsed_;
}

}  // namespace slm
