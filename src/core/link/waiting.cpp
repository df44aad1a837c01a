#include "link/waiting.h"

#include <algorithm>

namespace slm {

void Rs232::Wait(double seconds) {
  // The time waited is added up pass by pass, so that a wait goes on past
  // midnight for as long as it was asked (a clock read as seconds since
  // midnight starts again from 0 there).
  double last = clock_.SecondsSinceMidnight();
  double waited = 0;
  for (;;) {
    pump_.ProcessEvents(std::max(0.0, seconds - waited));
    const double now = clock_.SecondsSinceMidnight();
    double step = now - last;
    if (step < 0) step += kSecondsPerDay;
    waited += step;
    last = now;
    // Within a microsecond is there: a clock read as a large number of
    // seconds could otherwise never add up the last crumb of a wait.
    if (waited >= seconds - 1e-6) return;
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
