// The assessment of a week at one second in seven daily lists (604,800
// records): hourly intervals, days, events at 70 dB and the worst hour must
// take at most 150 ms of core time.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/assessment.h"
#include "analysis/assessment_output.h"
#include "base/calendar.h"

namespace slm {
namespace {

// Seven daily lists of levels with a decimal each, as a street gives them:
// quieter at night, noisy around a daily swing, now and then over 70 dB; a
// few records marked, under and over range.
const std::vector<RecordList>& Week() {
  static const std::vector<RecordList> week = [] {
    std::vector<RecordList> days(7);
    const std::int64_t start = *ParseClockText("2024/05/01 00:00:00");
    std::uint32_t noise = 1;
    std::string level;
    for (std::int64_t i = 0; i < 7 * kSecondsPerDay; ++i) {
      RecordList& day = days[static_cast<std::size_t>(i / kSecondsPerDay)];
      if (day.empty()) day.Reserve(kSecondsPerDay, kSecondsPerDay * 32);
      noise = noise * 1664525u + 1013904223u;
      const double hour = static_cast<double>(i % kSecondsPerDay) / 3600.0;
      const double swing = 55.0 + 10.0 * std::sin((hour - 10.0) * 3.14159265 / 12.0);
      const int tenths = static_cast<int>(swing * 10.0) + static_cast<int>(noise >> 24) - 128;
      if (i % 997 == 0) {
        level = "--";
      } else if (i % 100003 == 0) {
        level = "L";
      } else {
        level = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
        if (i % 1009 == 0) level += "*";
      }
      day.Append(std::to_string(i % kSecondsPerDay + 1), ClockText(start + i), level);
    }
    return days;
  }();
  return week;
}

std::vector<NamedList> Named() {
  std::vector<NamedList> named;
  for (const RecordList& day : Week()) named.push_back({&day, "day.dlgr"});
  return named;
}

AssessmentSettings HourlyAt70() {
  AssessmentSettings settings;
  settings.threshold = 70.0;
  return settings;
}

// The records' times and levels read and merged.
void BM_MergeWeek(benchmark::State& state) {
  const std::vector<NamedList> named = Named();
  for (auto _ : state) {
    const MeasuredLevels levels = MergeLevels(named);
    benchmark::DoNotOptimize(levels.samples.data());
  }
}
BENCHMARK(BM_MergeWeek)->Unit(benchmark::kMillisecond);

// Everything of the assessment once the records are merged.
void BM_AssessWeek(benchmark::State& state) {
  const MeasuredLevels levels = MergeLevels(Named());
  const AssessmentSettings settings = HourlyAt70();
  std::size_t events = 0;
  for (auto _ : state) {
    const Assessment a = Assess(levels, settings);
    events = a.events.size();
    benchmark::DoNotOptimize(a.rolling_max);
  }
  state.counters["records"] = static_cast<double>(levels.samples.size());
  state.counters["events"] = static_cast<double>(events);
}
BENCHMARK(BM_AssessWeek)->Unit(benchmark::kMillisecond);

// From the lists to the JSON text, as slmtool assess --json does after reading.
void BM_MergeAssessJsonWeek(benchmark::State& state) {
  const std::vector<NamedList> named = Named();
  const AssessmentSettings settings = HourlyAt70();
  for (auto _ : state) {
    const std::string json = AssessmentJson(Assess(MergeLevels(named), settings), settings);
    benchmark::DoNotOptimize(json.data());
  }
}
BENCHMARK(BM_MergeAssessJsonWeek)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace slm
