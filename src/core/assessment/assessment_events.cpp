// Exceedance events and the rolling Leq.
#include <cmath>

#include "assessment/assessment_parts.h"

namespace slm {

EventFinder::EventFinder(const AssessmentSettings& settings, std::vector<ExceedanceEvent>& out)
    : threshold_(settings.threshold.value_or(0.0)),
      hold_(settings.hold),
      min_duration_(settings.min_duration),
      out_(out) {}

namespace {

void AddTo(ExceedanceEvent& e, const LevelSample& sample) {
  ++e.count;
  e.seconds += sample.period;
  e.energy += sample.energy * sample.period;
  e.over_range += sample.kind == SampleKind::kOverRange;
}

}  // namespace

void EventFinder::Add(const LevelSample& sample) {
  if (sample.level >= threshold_) {
    seconds_above_ += sample.period;
    if (open_ && sample.time <= last_end_ + hold_) {
      // It joins: the quieter records since the last one above are inside.
      event_.count += pending_.count;
      event_.seconds += pending_.seconds;
      event_.energy += pending_.energy;
      event_.over_range += pending_.over_range;
    } else {
      Close();
      open_ = true;
      event_ = ExceedanceEvent{};
      event_.start = sample.time;
      event_.lmax = sample.level;
      event_.lmax_time = sample.time;
    }
    pending_ = ExceedanceEvent{};
    last_above_ = sample.time;
    last_end_ = sample.time + sample.period;
    if (sample.level > event_.lmax) {
      event_.lmax = sample.level;
      event_.lmax_time = sample.time;
    }
    AddTo(event_, sample);
    return;
  }
  if (!open_) return;
  if (sample.time < last_end_) {
    // Within the last record's period, before the event's end.
    AddTo(event_, sample);
  } else if (sample.time <= last_end_ + hold_) {
    AddTo(pending_, sample);
  } else {
    Close();
  }
}

void EventFinder::Finish() { Close(); }

void EventFinder::Close() {
  if (!open_) return;
  open_ = false;
  event_.end = last_end_;
  if (event_.end - event_.start >= min_duration_) out_.push_back(event_);
  pending_ = ExceedanceEvent{};
}

void RollingLeq::Sum::Add(double x) {
  const double t = sum + x;
  carry += std::fabs(sum) >= std::fabs(x) ? (sum - t) + x : (x - t) + sum;
  sum = t;
}

RollingLeq::RollingLeq(std::int64_t window, double coverage)
    : window_(window), coverage_(coverage) {}

void RollingLeq::Add(const LevelSample& sample) {
  // The window is (t - W, t], and counts from the first record given.
  if (!full_from_) full_from_ = sample.time + window_ - sample.period;
  while (head_ < queue_.size() && queue_[head_].time <= sample.time - window_) {
    const Entry& gone = queue_[head_];
    sum_.Add(-gone.energy);
    seconds_ -= gone.seconds;
    under_ -= gone.kind == SampleKind::kUnderRange;
    over_ -= gone.kind == SampleKind::kOverRange;
    ++head_;
  }
  if (head_ == queue_.size()) sum_ = Sum{};  // empty: nothing of the old sums stays
  // Drop the records gone by now and then, not one at a time.
  if (head_ > 4096 && head_ * 2 > queue_.size()) {
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
  }
  const double energy = sample.energy * sample.period;
  queue_.push_back({sample.time, energy, sample.period, sample.kind});
  sum_.Add(energy);
  seconds_ += sample.period;
  under_ += sample.kind == SampleKind::kUnderRange;
  over_ += sample.kind == SampleKind::kOverRange;
  if (sample.time < *full_from_) return;
  const double coverage = 100.0 * static_cast<double>(seconds_) / static_cast<double>(window_);
  if (coverage < coverage_) return;
  const double mean = sum_.value() / static_cast<double>(seconds_);
  // Of equally loud windows the first counts, whatever the rounding of the sums.
  if (mean > max_mean_ * (1 + 1e-12)) {
    max_mean_ = mean;
    max_time_ = sample.time;
    max_period_ = sample.period;
    max_coverage_ = coverage;
    max_under_ = under_ > 0;
    max_over_ = over_ > 0;
  }
}

std::optional<double> RollingLeq::max() const {
  if (max_mean_ < 0) return std::nullopt;
  return 10.0 * std::log10(max_mean_);
}

}  // namespace slm
