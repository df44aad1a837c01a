// The assessment of a week at one second in seven daily lists (604,800
// records): hourly intervals, days, events at 70 dB and the worst hour must
// take at most 150 ms of core time; read from its daily files one at a
// time, a year of them (52 weeks) at most 15 s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/assessment_document.h"
#include "assessment/assessment_output.h"
#include "assessment/assessment_stream.h"
#include "base/calendar.h"
#include "files/data_file_writer.h"
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

// A week of daily files read and assessed one at a time, as slmtool assess
// streams a year: the cost of one day's file times 365 is the year's.
void BM_StreamWeekFiles(benchmark::State& state) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("assess_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::vector<std::string> paths;
  for (const RecordList& day : bench::Week()) {
    RecordList list = day;
    list.header().kind = ListKind::kRealTime;
    list.header().frequency_weighting = "A";
    list.header().time_weighting = "FAST";
    paths.push_back((dir / ("day" + std::to_string(paths.size()) + ".dlgr")).string());
    std::ofstream(paths.back(), std::ios::binary) << FormatListFile(list, Separator::kTab);
  }
  const AssessmentSettings settings = HourlyAt70();
  for (auto _ : state) {
    Assessor assessor(settings);
    StreamLists(paths, [&](StreamedList& list) {
      for (const LevelSample& sample : list.samples) assessor.Add(sample);
    });
    const Assessment a = assessor.Finish();
    benchmark::DoNotOptimize(a.total.energy);
  }
  state.counters["days"] = static_cast<double>(paths.size());
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StreamWeekFiles)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace slm
