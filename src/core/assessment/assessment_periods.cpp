// The stretch levels, the intervals and the parts of the day.
#include <algorithm>
#include <cmath>

#include "analysis/level_statistics.h"
#include "assessment/assessment_parts.h"
#include "base/calendar.h"

namespace slm {

namespace {

// Floor division: intervals before 1970 count down as those after count up.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a >= 0 ? a / b : -((-a - 1) / b) - 1;
}

double Percent(std::int64_t count, std::int64_t period, std::int64_t length) {
  return 100.0 * static_cast<double>(count * period) / static_cast<double>(length);
}

}  // namespace

StretchLevels::StretchLevels() : classes_(kStatFineClasses, 0), low_(kStatFineClasses), high_(-1) {}

void StretchLevels::Add(const LevelSample& sample) {
  LevelSummary& s = summary_;
  if (s.count == 0 || sample.level > s.lmax) {
    s.lmax = sample.level;
    s.lmax_time = sample.time;
  }
  if (s.count == 0 || sample.level < s.lmin) s.lmin = sample.level;
  ++s.count;
  s.under_range += sample.kind == SampleKind::kUnderRange;
  s.over_range += sample.kind == SampleKind::kOverRange;
  s.energy += sample.energy;
  ++classes_[static_cast<std::size_t>(sample.fine)];
  low_ = std::min<int>(low_, sample.fine);
  high_ = std::max<int>(high_, sample.fine);
}

LevelSummary StretchLevels::Take(std::span<const int> percents) {
  LevelSummary taken = std::move(summary_);
  summary_ = LevelSummary{};
  if (taken.count > 0) {
    // Below low_ the table is empty, so the walk from there finds the same classes.
    const std::span<const std::int64_t> used(classes_.data() + low_,
                                             static_cast<std::size_t>(high_ - low_ + 1));
    std::array<int, 100> found;
    PercentileClasses(used, static_cast<std::size_t>(taken.count), percents, found);
    taken.percentiles.reserve(percents.size());
    for (std::size_t i = 0; i < percents.size(); ++i) {
      taken.percentiles.push_back((found[i] + low_) / 10.0);
    }
    std::fill(classes_.begin() + low_, classes_.begin() + high_ + 1, 0);
  }
  low_ = kStatFineClasses;
  high_ = -1;
  return taken;
}

IntervalLevelsBuilder::IntervalLevelsBuilder(const AssessmentSettings& settings,
                                             std::int64_t period, std::vector<IntervalLevels>& out)
    : settings_(settings), period_(period), out_(out) {}

void IntervalLevelsBuilder::Add(const LevelSample& sample) {
  const std::int64_t index = FloorDiv(sample.time, settings_.interval);
  if (index != index_) Finish();
  index_ = index;
  levels_.Add(sample);
}

void IntervalLevelsBuilder::Finish() {
  if (levels_.empty()) return;
  IntervalLevels interval;
  interval.start = index_ * settings_.interval;
  interval.levels = levels_.Take(settings_.percentiles);
  interval.coverage = Percent(interval.levels.count, period_, settings_.interval);
  out_.push_back(std::move(interval));
}

DayLevelsBuilder::DayLevelsBuilder(const AssessmentSettings& settings, std::int64_t period,
                                   std::vector<DayLevels>& out)
    : period_(period), day_start_(settings.part_starts[kDayPart] * 3600LL), out_(out) {
  const std::array<int, 3> hours = PartHours(settings.part_starts);
  for (std::size_t k = 0; k < 3; ++k) lengths_[k] = hours[k] * 3600LL;
}

void DayLevelsBuilder::Add(const LevelSample& sample) {
  // The assessment day starts at the day's start hour: earlier hours belong
  // to the night of the day before.
  std::int64_t date = MidnightOf(sample.time);
  if (sample.time - date < day_start_) date -= kSecondsPerDay;
  if (day_ && day_->date != date) Finish();
  if (!day_) {
    day_.emplace();
    day_->date = date;
  }
  const std::int64_t offset = sample.time - date - day_start_;
  const std::size_t part = offset < lengths_[kDayPart]                            ? kDayPart
                           : offset < lengths_[kDayPart] + lengths_[kEveningPart] ? kEveningPart
                                                                                  : kNightPart;
  ++day_->parts[part].count;
  day_->parts[part].energy += sample.energy;
}

void DayLevelsBuilder::Finish() {
  if (!day_) return;
  DayLevels& day = *day_;
  double weighted = 0;
  bool whole = true;
  static constexpr std::array<double, 3> kPenalty = {0.0, 5.0, 10.0};
  for (std::size_t k = 0; k < 3; ++k) {
    PartLevels& part = day.parts[k];
    part.coverage = Percent(part.count, period_, lengths_[k]);
    const std::optional<double> leq = part.Leq();
    if (!leq) {
      whole = false;
      continue;
    }
    weighted +=
        static_cast<double>(lengths_[k]) / 3600.0 * std::pow(10.0, (*leq + kPenalty[k]) / 10.0);
  }
  if (whole) day.lden = 10.0 * std::log10(weighted / 24.0);
  out_.push_back(day);
  day_.reset();
}

}  // namespace slm
