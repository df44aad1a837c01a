#include "assessment/assessment.h"

#include <algorithm>
#include <cmath>

#include "assessment/assessment_parts.h"
#include "base/calendar.h"

namespace slm {

namespace {

double LeqOf(double energy, std::int64_t count) {
  return 10.0 * std::log10(energy / static_cast<double>(count));
}

double SelOf(double leq, std::int64_t count, std::int64_t period) {
  return leq + 10.0 * std::log10(static_cast<double>(count * period));
}

}  // namespace

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
    if (n[i] < 0 || n[i] > 99) return "percentiles are whole numbers from 0 to 99";
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
  for (const Exclusion& e : settings.exclusions) {
    if (e.to <= e.from) return "an exclusion ends before it starts: " + ExclusionText(e);
  }
  return {};
}

double LevelSummary::Leq() const { return LeqOf(energy, count); }
double LevelSummary::Sel(std::int64_t period) const { return SelOf(Leq(), count, period); }

std::optional<double> PartLevels::Leq() const {
  if (count == 0) return std::nullopt;
  return LeqOf(energy, count);
}

double ExceedanceEvent::Leq() const { return LeqOf(energy, count); }
double ExceedanceEvent::Sel(std::int64_t period) const { return SelOf(Leq(), count, period); }

Assessment Assess(const MeasuredLevels& levels, const AssessmentSettings& settings) {
  Assessment a;
  a.period = levels.period;
  a.events_assessed = settings.threshold.has_value();
  const std::vector<LevelSample>& samples = levels.samples;
  if (samples.empty()) return a;

  StretchLevels total;
  IntervalLevelsBuilder intervals(settings, a.period, a.intervals);
  DayLevelsBuilder days(settings, a.period, a.days);
  EventFinder events(settings, a.period, a.events);
  RollingLeq rolling(settings.rolling, a.period, samples.front().time);
  // In the order they start, an exclusion that has ended by a record's time
  // has ended for every later record too: one walk along them serves all.
  std::vector<Exclusion> excluded = settings.exclusions;
  std::sort(excluded.begin(), excluded.end(),
            [](const Exclusion& x, const Exclusion& y) { return x.from < y.from; });
  std::size_t next_exclusion = 0;
  bool any = false;

  for (const LevelSample& sample : samples) {
    while (next_exclusion < excluded.size() && excluded[next_exclusion].to <= sample.time) {
      ++next_exclusion;
    }
    if (next_exclusion < excluded.size() && excluded[next_exclusion].from <= sample.time) {
      ++a.excluded;
      continue;
    }
    if (sample.kind == SampleKind::kPaused) {
      ++a.paused;
      continue;
    }
    if (!any) a.start = sample.time;
    any = true;
    a.end = sample.time + a.period;
    total.Add(sample);
    intervals.Add(sample);
    days.Add(sample);
    if (a.events_assessed) events.Add(sample);
    rolling.Add(sample);
  }

  a.classes = total.classes();
  a.total = total.Take(settings.percentiles);
  intervals.Finish();
  days.Finish();
  events.Finish();
  a.seconds_above = events.records_above() * a.period;
  a.rolling_max = rolling.max();
  a.rolling_time = rolling.max_time();
  return a;
}

}  // namespace slm
