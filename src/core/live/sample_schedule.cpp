#include "live/sample_schedule.h"

#include <cmath>

#include "base/calendar.h"

namespace slm {

namespace {

double WallSeconds(const ClockReading& now) {
  return static_cast<double>(LinearSeconds(now.wall)) + now.millisecond / 1000.0;
}

}  // namespace

void SampleSchedule::Start(const ClockReading& now) {
  started_ = true;
  next_ = 0;
  Realign(now);
}

void SampleSchedule::Realign(const ClockReading& now) {
  const double wall = WallSeconds(now);
  const double second = std::floor(wall);
  base_ = next_;
  base_time_ = static_cast<long long>(second) + 1;
  base_due_ = now.monotonic + (second + 1.5 - wall);
}

std::optional<SampleSchedule::Due> SampleSchedule::Take(double monotonic) {
  if (!started_ || monotonic < NextDue()) return std::nullopt;
  const long long latest = base_ + static_cast<long long>(std::floor(monotonic - base_due_));
  Due due;
  due.second = latest < next_ ? next_ : latest;
  due.missed = due.second - next_;
  due.time = DateTimeOfSeconds(base_time_ + (due.second - base_));
  due.due = DueAt(due.second);
  next_ = due.second + 1;
  return due;
}

double SampleSchedule::Drift(const ClockReading& now) const {
  // The rhythm's time at `now`: a second's time is the start of the
  // wall-clock second whose middle it is due at.
  const double rhythm = static_cast<double>(base_time_) + 0.5 + (now.monotonic - base_due_);
  return WallSeconds(now) - rhythm;
}

}  // namespace slm
