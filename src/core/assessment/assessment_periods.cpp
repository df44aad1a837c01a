// The stretch levels, the intervals, the parts of the day, the months and
// the years.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "analysis/level_statistics.h"
#include "assessment/assessment_parts.h"
#include "base/calendar.h"

namespace slm {

namespace {

// Floor division: intervals before 1970 count down as those after count up.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a >= 0 ? a / b : -((-a - 1) / b) - 1;
}

double Percent(std::int64_t seconds, std::int64_t length) {
  return 100.0 * static_cast<double>(seconds) / static_cast<double>(length);
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
  s.seconds += sample.period;
  s.under_range += sample.kind == SampleKind::kUnderRange;
  s.over_range += sample.kind == SampleKind::kOverRange;
  s.energy += sample.energy * sample.period;
  classes_[static_cast<std::size_t>(sample.fine)] += sample.period;
  low_ = std::min<int>(low_, sample.fine);
  high_ = std::max<int>(high_, sample.fine);
}

LevelSummary StretchLevels::Take(std::span<const int> percents) {
  LevelSummary taken = std::move(summary_);
  summary_ = LevelSummary{};
  if (taken.count > 0) {
    const std::span<const std::int64_t> used(classes_.data() + low_,
                                             static_cast<std::size_t>(high_ - low_ + 1));
    taken.percentiles = ExceedanceLevels(used, low_, percents);
    std::fill(classes_.begin() + low_, classes_.begin() + high_ + 1, 0);
  }
  low_ = kStatFineClasses;
  high_ = -1;
  return taken;
}

std::vector<double> ExceedanceLevels(std::span<const std::int64_t> classes, int first_tenths,
                                     std::span<const int> percents) {
  std::vector<double> levels(percents.size(), 0.0);
  const std::int64_t total = std::accumulate(classes.begin(), classes.end(), std::int64_t{0});
  if (total == 0) return levels;
  // The smallest N first: its level is the highest. Walking down the
  // classes, the seconds above only grow, so one walk finds every N's class.
  std::vector<std::size_t> order(percents.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(),
            [&](std::size_t x, std::size_t y) { return percents[x] < percents[y]; });
  std::size_t next = 0;
  std::int64_t above = 0;
  std::ptrdiff_t lowest_fit = -1;  // the lowest class so far with few enough seconds above
  for (std::ptrdiff_t k = static_cast<std::ptrdiff_t>(classes.size()) - 1; k >= 0; --k) {
    if (classes[static_cast<std::size_t>(k)] == 0) continue;
    while (next < order.size() && above * 100 > percents[order[next]] * total) {
      levels[order[next++]] = static_cast<double>(first_tenths + lowest_fit) / 10.0;
    }
    if (next == order.size()) break;
    lowest_fit = k;
    above += classes[static_cast<std::size_t>(k)];
  }
  while (next < order.size()) {
    levels[order[next++]] = static_cast<double>(first_tenths + lowest_fit) / 10.0;
  }
  return levels;
}

IntervalLevelsBuilder::IntervalLevelsBuilder(const AssessmentSettings& settings,
                                             std::vector<IntervalLevels>& out)
    : settings_(settings), out_(out) {}

void IntervalLevelsBuilder::Add(const LevelSample& sample, Taken taken) {
  const std::int64_t index = FloorDiv(sample.time, settings_.interval);
  if (index_ && index != *index_) {
    Close();
    // The intervals between stay as rows without data.
    for (std::int64_t i = *index_ + 1; i < index; ++i) {
      IntervalLevels empty;
      empty.start = i * settings_.interval;
      out_.push_back(std::move(empty));
    }
  }
  if (!index_ || index != *index_) {
    index_ = index;
    row_ = IntervalLevels{};
    row_.start = index * settings_.interval;
  }
  switch (taken) {
    case Taken::kCounted:
      levels_.Add(sample);
      break;
    case Taken::kPaused:
      ++row_.paused;
      break;
    case Taken::kExcluded:
      ++row_.excluded;
      break;
  }
}

void IntervalLevelsBuilder::Close() {
  row_.levels = levels_.Take(settings_.percentiles);
  row_.coverage = Percent(row_.levels.seconds, settings_.interval);
  out_.push_back(std::move(row_));
  row_ = IntervalLevels{};
}

void IntervalLevelsBuilder::Finish() {
  if (index_) Close();
  index_.reset();
}

DayLevelsBuilder::DayLevelsBuilder(const AssessmentSettings& settings, std::vector<DayLevels>& out)
    : min_coverage_(settings.min_coverage),
      day_start_(settings.part_starts[kDayPart] * 3600LL),
      out_(out) {
  const std::array<int, 3> hours = PartHours(settings.part_starts);
  for (std::size_t k = 0; k < 3; ++k) lengths_[k] = hours[k] * 3600LL;
}

void DayLevelsBuilder::Add(const LevelSample& sample, Taken taken) {
  // The assessment day starts at the day's start hour: earlier hours belong
  // to the night of the day before.
  std::int64_t date = MidnightOf(sample.time);
  if (sample.time - date < day_start_) date -= kSecondsPerDay;
  if (day_ && day_->date != date) {
    const std::int64_t last = day_->date;
    Close();
    for (std::int64_t d = last + kSecondsPerDay; d < date; d += kSecondsPerDay) {
      day_.emplace();
      day_->date = d;
      Close();
    }
  }
  if (!day_) {
    day_.emplace();
    day_->date = date;
  }
  if (taken != Taken::kCounted) return;
  const std::int64_t offset = sample.time - date - day_start_;
  const std::size_t k = offset < lengths_[kDayPart]                            ? kDayPart
                        : offset < lengths_[kDayPart] + lengths_[kEveningPart] ? kEveningPart
                                                                               : kNightPart;
  PartLevels& part = day_->parts[k];
  ++part.count;
  part.seconds += sample.period;
  part.energy += sample.energy * sample.period;
  part.under_range += sample.kind == SampleKind::kUnderRange;
  part.over_range += sample.kind == SampleKind::kOverRange;
}

namespace {

constexpr std::array<double, 3> kPenalty = {0.0, 5.0, 10.0};

// Lden of three part levels, each weighing its hours.
double LdenOf(const std::array<double, 3>& levels, const std::array<std::int64_t, 3>& lengths) {
  double weighted = 0;
  for (std::size_t k = 0; k < 3; ++k) {
    weighted +=
        static_cast<double>(lengths[k]) / 3600.0 * std::pow(10.0, (levels[k] + kPenalty[k]) / 10.0);
  }
  return 10.0 * std::log10(weighted / 24.0);
}

}  // namespace

void DayLevelsBuilder::Close() {
  if (!day_) return;
  DayLevels& day = *day_;
  std::array<double, 3> levels{};
  bool whole = true;
  for (std::size_t k = 0; k < 3; ++k) {
    PartLevels& part = day.parts[k];
    part.coverage = Percent(part.seconds, lengths_[k]);
    part.enough = part.count > 0 && part.coverage >= min_coverage_;
    const std::optional<double> level = part.Level();
    if (level) {
      levels[k] = *level;
    } else {
      whole = false;
    }
  }
  if (whole) day.lden = LdenOf(levels, lengths_);
  out_.push_back(day);
  day_.reset();
}

void DayLevelsBuilder::Finish() { Close(); }

namespace {

// The periods of `days` that `start_of` puts them in, each the energetic
// mean of its days' part levels.
template <typename StartOf>
std::vector<PeriodLevels> Periods(const std::vector<DayLevels>& days,
                                  const AssessmentSettings& settings, StartOf start_of) {
  std::vector<PeriodLevels> out;
  std::array<double, 3> sums{};
  const std::array<int, 3> hours = PartHours(settings.part_starts);
  const std::array<std::int64_t, 3> lengths = {hours[0] * 3600LL, hours[1] * 3600LL,
                                               hours[2] * 3600LL};
  auto close = [&] {
    if (out.empty()) return;
    PeriodLevels& p = out.back();
    std::array<double, 3> levels{};
    bool whole = true;
    for (std::size_t k = 0; k < 3; ++k) {
      if (p.days[k] == 0) {
        whole = false;
        continue;
      }
      levels[k] = 10.0 * std::log10(sums[k] / static_cast<double>(p.days[k]));
      p.levels[k] = levels[k];
    }
    if (whole) p.lden = LdenOf(levels, lengths);
    sums = {};
  };
  for (const DayLevels& day : days) {
    const std::int64_t start = start_of(day.date);
    if (out.empty() || out.back().start != start) {
      close();
      out.emplace_back();
      out.back().start = start;
    }
    PeriodLevels& p = out.back();
    for (std::size_t k = 0; k < 3; ++k) {
      const PartLevels& part = day.parts[k];
      const std::optional<double> level = part.Level();
      if (!level) continue;
      sums[k] += std::pow(10.0, *level / 10.0);
      ++p.days[k];
      p.under_range = p.under_range || part.under_range > 0;
      p.over_range = p.over_range || part.over_range > 0;
    }
  }
  close();
  return out;
}

}  // namespace

std::vector<PeriodLevels> MonthLevels(const std::vector<DayLevels>& days,
                                      const AssessmentSettings& settings) {
  return Periods(days, settings, [](std::int64_t date) {
    DateTime t = DateTimeOfSeconds(date);
    t.day = 1;
    t.hour = t.minute = t.second = 0;
    return LinearSeconds(t);
  });
}

std::vector<PeriodLevels> YearLevels(const std::vector<DayLevels>& days,
                                     const AssessmentSettings& settings) {
  return Periods(days, settings, [](std::int64_t date) {
    DateTime t = DateTimeOfSeconds(date);
    t.month = t.day = 1;
    t.hour = t.minute = t.second = 0;
    return LinearSeconds(t);
  });
}

}  // namespace slm
