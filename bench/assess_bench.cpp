// The assessment of a week at one second in seven daily lists (604,800
// records): hourly intervals, days, events at 70 dB and the worst hour must
// take at most 150 ms of core time.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/assessment_document.h"
#include "assessment/assessment_output.h"
#include "base/calendar.h"
#include "week_levels.h"

namespace slm {
namespace {

using bench::Named;

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

// What the Assessment window works out for a change of setting: the
// figures and its tables, with intervals of a minute (10,080 rows).
void BM_FiguresWeek(benchmark::State& state) {
  const MeasuredLevels levels = MergeLevels(Named());
  AssessmentSettings settings = HourlyAt70();
  settings.interval = 60;
  for (auto _ : state) {
    const AssessmentFigures f = ComputeFigures(levels, settings);
    benchmark::DoNotOptimize(f.tables.intervals.rows.data());
  }
}
BENCHMARK(BM_FiguresWeek)->Unit(benchmark::kMillisecond);

// From the lists to the JSON text, as slmtool assess --json does after reading.
void BM_MergeAssessJsonWeek(benchmark::State& state) {
  const std::vector<NamedList> named = Named();
  const AssessmentSettings settings = HourlyAt70();
  for (auto _ : state) {
    const std::string json =
        AssessmentJson(BuildTables(Assess(MergeLevels(named), settings), settings));
    benchmark::DoNotOptimize(json.data());
  }
}
BENCHMARK(BM_MergeAssessJsonWeek)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace slm
