#include "assessment/assessment.h"

#include <algorithm>
#include <cmath>

#include "assessment/assessment_parts.h"
#include "base/calendar.h"

namespace slm {

std::array<int, 3> PartHours(const std::array<int, 3>& s) {
  return {(s[1] - s[0] + 24) % 24, (s[2] - s[1] + 24) % 24, (s[0] - s[2] + 24) % 24};
}

std::string SettingsProblem(const AssessmentSettings& settings) {
  if (settings.interval <= 0 || kSecondsPerDay % settings.interval != 0) {
    return "the interval must divide a day of 86400 s (60, 300, 900, 3600, 86400 ...), not " +
           std::to_string(settings.interval);
  }
  for (const int hour : settings.part_starts) {
    if (hour < 0 || hour > 23) return "the periods start at whole hours from 0 to 23";
  }
  const std::array<int, 3> hours = PartHours(settings.part_starts);
  if (hours[0] == 0 || hours[1] == 0 || hours[2] == 0 || hours[0] + hours[1] + hours[2] != 24) {
    return "the day, evening and night must start at three different hours in that order";
  }
  const std::vector<int>& n = settings.percentiles;
  if (n.empty() || n.size() > 100) return "give from 1 to 100 percentiles";
  for (std::size_t i = 0; i < n.size(); ++i) {
    if (n[i] < 0 || n[i] > 100) return "percentiles are whole numbers from 0 to 100";
    if (std::find(n.begin(), n.begin() + static_cast<std::ptrdiff_t>(i), n[i]) !=
        n.begin() + static_cast<std::ptrdiff_t>(i)) {
      return "the percentile " + std::to_string(n[i]) + " is given twice";
    }
  }
  if (settings.threshold && !std::isfinite(*settings.threshold)) return "the threshold is no level";
  if (settings.min_duration < 0 || settings.hold < 0) {
    return "the minimum duration and the hold cannot be negative";
  }
  if (settings.rolling <= 0) return "the rolling window must last at least a second";
  for (const double percent : {settings.rolling_coverage, settings.min_coverage}) {
    if (!(percent >= 0 && percent <= 100)) return "a coverage is a percentage from 0 to 100";
  }
  for (const Exclusion& e : settings.exclusions) {
    if (e.to <= e.from) return "an exclusion ends before it starts: " + ExclusionText(e);
  }
  return {};
}

double LevelSummary::Leq() const {
  return 10.0 * std::log10(energy / static_cast<double>(seconds));
}
double LevelSummary::Sel() const { return 10.0 * std::log10(energy); }

EmptyReason IntervalLevels::Empty() const {
  if (levels.count > 0) return EmptyReason::kNone;
  if (excluded > 0) return EmptyReason::kExcluded;
  if (paused > 0) return EmptyReason::kPaused;
  return EmptyReason::kNoData;
}

std::optional<double> PartLevels::Leq() const {
  if (count == 0) return std::nullopt;
  return 10.0 * std::log10(energy / static_cast<double>(seconds));
}

std::optional<double> PartLevels::Level() const {
  if (!enough) return std::nullopt;
  return Leq();
}

double ExceedanceEvent::Leq() const {
  return 10.0 * std::log10(energy / static_cast<double>(seconds));
}
double ExceedanceEvent::Sel() const { return 10.0 * std::log10(energy); }

struct Assessor::Parts {
  explicit Parts(const AssessmentSettings& settings)
      : intervals(settings, a.intervals),
        days(settings, a.days),
        events(settings, a.events),
        rolling(settings.rolling, settings.rolling_coverage) {
    // In the order they start, an exclusion that has ended by a record's
    // time has ended for every later record too: one walk along them serves all.
    excluded = settings.exclusions;
    std::sort(excluded.begin(), excluded.end(),
              [](const Exclusion& x, const Exclusion& y) { return x.from < y.from; });
  }

  Assessment a;
  StretchLevels total;
  IntervalLevelsBuilder intervals;
  DayLevelsBuilder days;
  EventFinder events;
  RollingLeq rolling;
  std::vector<Exclusion> excluded;
  std::size_t next_exclusion = 0;
  bool any = false;
  std::vector<std::pair<std::int64_t, std::int64_t>> periods;  // and the records of each
};

Assessor::Assessor(const AssessmentSettings& settings)
    : settings_(settings), parts_(std::make_unique<Parts>(settings_)) {
  parts_->a.events_assessed = settings_.threshold.has_value();
}

Assessor::~Assessor() = default;

void Assessor::Add(const LevelSample& sample) {
  Parts& p = *parts_;
  Assessment& a = p.a;
  if (p.periods.empty() || p.periods.back().first != sample.period) {
    const auto it = std::find_if(p.periods.begin(), p.periods.end(),
                                 [&](const auto& pc) { return pc.first == sample.period; });
    if (it == p.periods.end()) {
      p.periods.emplace_back(sample.period, 1);
    } else {
      ++it->second;
      std::iter_swap(it, p.periods.end() - 1);  // the period of the next record, most likely
    }
  } else {
    ++p.periods.back().second;
  }
  while (p.next_exclusion < p.excluded.size() && p.excluded[p.next_exclusion].to <= sample.time) {
    ++p.next_exclusion;
  }
  Taken taken = Taken::kCounted;
  if (p.next_exclusion < p.excluded.size() && p.excluded[p.next_exclusion].from <= sample.time) {
    taken = Taken::kExcluded;
    ++a.excluded;
  } else if (sample.kind == SampleKind::kPaused) {
    taken = Taken::kPaused;
    ++a.paused;
  }
  p.intervals.Add(sample, taken);
  p.days.Add(sample, taken);
  if (taken != Taken::kCounted) return;
  if (!p.any) a.start = sample.time;
  p.any = true;
  a.end = sample.time + sample.period;
  p.total.Add(sample);
  if (a.events_assessed) p.events.Add(sample);
  p.rolling.Add(sample);
}

Assessment Assessor::Finish() {
  Parts& p = *parts_;
  Assessment& a = p.a;
  a.classes = p.total.classes();
  a.total = p.total.Take(settings_.percentiles);
  p.intervals.Finish();
  p.days.Finish();
  p.events.Finish();
  a.months = MonthLevels(a.days, settings_);
  a.years = YearLevels(a.days, settings_);
  a.seconds_above = p.events.seconds_above();
  a.rolling_max = p.rolling.max();
  a.rolling_time = p.rolling.max_time();
  a.rolling_period = p.rolling.max_period();
  a.rolling_coverage = p.rolling.max_coverage();
  a.rolling_under_range = p.rolling.max_under_range();
  a.rolling_over_range = p.rolling.max_over_range();
  std::sort(p.periods.begin(), p.periods.end());
  std::int64_t most = 0;
  for (const auto& [period, records] : p.periods) {
    a.periods.push_back(period);
    if (records > most) {
      most = records;
      a.period = period;
    }
  }
  Assessment done = std::move(a);
  parts_ = std::make_unique<Parts>(settings_);
  parts_->a.events_assessed = settings_.threshold.has_value();
  return done;
}

Assessment Assess(const MeasuredLevels& levels, const AssessmentSettings& settings) {
  Assessor assessor(settings);
  for (const LevelSample& sample : levels.samples) assessor.Add(sample);
  return assessor.Finish();
}

}  // namespace slm
