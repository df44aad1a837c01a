// The Assessment window's chart of a week at one second (604,800 records,
// 38,000 events at 70 dB) at 1000x600 offscreen: filled anew after a change
// of setting, and the levels drawn again for a new view (a wheel notch).
// Budget: figures, tables and chart together under 100 ms, a view 16 ms.
// And a year at one second (31.5 million records): the levels of a view in
// 1000 columns from its summaries, well under 50 ms whatever the view.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdint>

#include "assessment/assessment_document.h"
#include "assessment/level_summaries.h"
#include "base/calendar.h"
#include "graph/assessment_chart.h"
#include "graph/graph_probe.h"
#include "week_levels.h"

namespace slm {
namespace {

struct Week {
  MeasuredLevels levels = MergeLevels(bench::Named());
  LevelSummaries summaries{levels};
  AssessmentSettings settings = [] {
    AssessmentSettings s;
    s.threshold = 70.0;
    return s;
  }();
  Assessment a = Assess(levels, settings);
};

const Week& TheWeek() {
  static const Week week;
  return week;
}

std::unique_ptr<Graph> ShownGraph() {
  auto graph = std::make_unique<Graph>();
  graph->resize(1000, 600);
  graph->show();
  QApplication::processEvents();
  return graph;
}

// The whole chart filled and painted once.
void BM_ShowTimeHistoryWeek(benchmark::State& state) {
  const Week& w = TheWeek();
  auto graph = ShownGraph();
  for (auto _ : state) {
    ShowTimeHistory(*graph, w.summaries, w.settings, w.a, 1000);
    GraphProbe(*graph).ReplotNow();
  }
}
BENCHMARK(BM_ShowTimeHistoryWeek)->Unit(benchmark::kMillisecond);

// A view of a day: the levels in it cut down to the columns, and a repaint.
void BM_DrawViewedDay(benchmark::State& state) {
  const Week& w = TheWeek();
  auto graph = ShownGraph();
  ShowTimeHistory(*graph, w.summaries, w.settings, w.a, 1000);
  const double from = static_cast<double>(w.levels.samples.front().time);
  graph->SetXRange(from + 86400, from + 2 * 86400);
  for (auto _ : state) {
    DrawViewedLevels(*graph, w.summaries, w.settings, w.a, 1000);
    GraphProbe(*graph).ReplotNow();
  }
}
BENCHMARK(BM_DrawViewedDay)->Unit(benchmark::kMillisecond);

// A year of seconds as the merge gives it, made directly: a day's swing
// with noise, now and then a paused record.
const MeasuredLevels& TheYear() {
  static const MeasuredLevels year = [] {
    MeasuredLevels levels;
    const std::int64_t start = *ParseClockText("2024/01/01 00:00:00");
    const std::int64_t count = 365 * kSecondsPerDay;
    levels.samples.resize(static_cast<std::size_t>(count));
    std::uint32_t noise = 1;
    for (std::int64_t i = 0; i < count; ++i) {
      noise = noise * 1664525u + 1013904223u;
      LevelSample& s = levels.samples[static_cast<std::size_t>(i)];
      s.time = start + i;
      s.level = 45.0 + static_cast<double>(i % kSecondsPerDay) / 4000.0 +
                static_cast<double>(noise >> 26);
      if (i % 1009 == 0) s.kind = SampleKind::kPaused;
    }
    return levels;
  }();
  return year;
}

// The summaries, built once when the window opens.
void BM_SummariesOfAYear(benchmark::State& state) {
  const MeasuredLevels& year = TheYear();
  for (auto _ : state) {
    const LevelSummaries summaries(year);
    benchmark::DoNotOptimize(summaries.Range());
  }
}
BENCHMARK(BM_SummariesOfAYear)->Unit(benchmark::kMillisecond);

// The levels of a view of the year, a month or a day in 1000 columns, as the
// chart takes them for each new view.
void BM_YearColumns(benchmark::State& state) {
  const MeasuredLevels& year = TheYear();
  static const LevelSummaries summaries(year);
  // In the middle of the year.
  const double span = static_cast<double>(state.range(0)) * kSecondsPerDay;
  const double from =
      static_cast<double>(year.samples.front().time) + (365.0 * kSecondsPerDay - span) / 2;
  for (auto _ : state) {
    const ColumnTrace trace = summaries.Trace(from, from + span, 1000);
    benchmark::DoNotOptimize(trace.times.data());
  }
}
BENCHMARK(BM_YearColumns)->Arg(365)->Arg(30)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace slm
