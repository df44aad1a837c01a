// Exceedance events and the rolling Leq.
#include <cmath>

#include "assessment/assessment_parts.h"

namespace slm {

EventFinder::EventFinder(const AssessmentSettings& settings, std::int64_t period,
                         std::vector<ExceedanceEvent>& out)
    : threshold_(settings.threshold.value_or(0.0)),
      reach_(settings.hold + period),
      min_duration_(settings.min_duration),
      period_(period),
      out_(out) {}

void EventFinder::Add(const LevelSample& sample) {
  if (sample.level >= threshold_) {
    ++records_above_;
    if (open_ && sample.time - last_above_ <= reach_) {
      // It joins: the quieter records since the last one above are inside.
      event_.count += pending_count_;
      event_.energy += pending_energy_;
    } else {
      Close();
      open_ = true;
      event_ = ExceedanceEvent{};
      event_.start = sample.time;
      event_.lmax = sample.level;
      event_.lmax_time = sample.time;
    }
    pending_count_ = 0;
    pending_energy_ = 0;
    last_above_ = sample.time;
    if (sample.level > event_.lmax) {
      event_.lmax = sample.level;
      event_.lmax_time = sample.time;
    }
    ++event_.count;
    event_.energy += sample.energy;
    return;
  }
  if (!open_) return;
  if (sample.time < last_above_ + period_) {
    // Within the last record's period, before the event's end.
    ++event_.count;
    event_.energy += sample.energy;
  } else if (sample.time - last_above_ <= reach_) {
    ++pending_count_;
    pending_energy_ += sample.energy;
  } else {
    Close();
  }
}

void EventFinder::Finish() { Close(); }

void EventFinder::Close() {
  if (!open_) return;
  open_ = false;
  event_.end = last_above_ + period_;
  if (event_.end - event_.start >= min_duration_) out_.push_back(event_);
  pending_count_ = 0;
  pending_energy_ = 0;
}

void RollingLeq::Sum::Add(double x) {
  const double t = sum + x;
  carry += std::fabs(sum) >= std::fabs(x) ? (sum - t) + x : (x - t) + sum;
  sum = t;
}

RollingLeq::RollingLeq(std::int64_t window, std::int64_t period, std::int64_t first_time)
    : window_(window), full_from_(first_time + window - period) {}

void RollingLeq::Add(const LevelSample& sample) {
  // The window is (t - W, t].
  while (head_ < queue_.size() && queue_[head_].first <= sample.time - window_) {
    sum_.Add(-queue_[head_].second);
    ++head_;
  }
  if (head_ == queue_.size()) sum_ = Sum{};  // empty: nothing of the old sums stays
  // Drop the records gone by now and then, not one at a time.
  if (head_ > 4096 && head_ * 2 > queue_.size()) {
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
  }
  queue_.emplace_back(sample.time, sample.energy);
  sum_.Add(sample.energy);
  if (sample.time < full_from_) return;
  const double mean = sum_.value() / static_cast<double>(queue_.size() - head_);
  if (mean > max_mean_) {
    max_mean_ = mean;
    max_time_ = sample.time;
  }
}

std::optional<double> RollingLeq::max() const {
  if (max_mean_ < 0) return std::nullopt;
  return 10.0 * std::log10(max_mean_);
}

}  // namespace slm
