// The Assessment window's chart of a week at one second (604,800 records,
// 38,000 events at 70 dB) at 1000x600 offscreen: filled anew after a change
// of setting, and the levels drawn again for a new view (a wheel notch).
// Budget: figures, tables and chart together under 100 ms, a view 16 ms.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "assessment/assessment_document.h"
#include "graph/assessment_chart.h"
#include "graph/graph_probe.h"
#include "week_levels.h"

namespace slm {
namespace {

struct Week {
  MeasuredLevels levels = MergeLevels(bench::Named());
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
    ShowTimeHistory(*graph, w.levels, w.settings, w.a, 1000);
    GraphProbe(*graph).ReplotNow();
  }
}
BENCHMARK(BM_ShowTimeHistoryWeek)->Unit(benchmark::kMillisecond);

// A view of a day: the levels in it cut down to the columns, and a repaint.
void BM_DrawViewedDay(benchmark::State& state) {
  const Week& w = TheWeek();
  auto graph = ShownGraph();
  ShowTimeHistory(*graph, w.levels, w.settings, w.a, 1000);
  const double from = static_cast<double>(w.levels.samples.front().time);
  graph->SetXRange(from + 86400, from + 2 * 86400);
  for (auto _ : state) {
    DrawViewedLevels(*graph, w.levels, 1000);
    GraphProbe(*graph).ReplotNow();
  }
}
BENCHMARK(BM_DrawViewedDay)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace slm
