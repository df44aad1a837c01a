// The graph widget at 1000x600 offscreen: a long recording opened, panned
// and zoomed, and the live panel's per-sample update.
// Budgets: opening 300 ms, one pan or zoom frame 16 ms, one sample 2 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <memory>
#include <vector>

#include "graph/graph.h"
#include "graph/graph_probe.h"

namespace {

std::vector<double> Levels(int count) {
  std::vector<double> values(count);
  for (int i = 0; i < count; ++i) {
    values[i] = 60 + 15 * std::sin(i * 0.001) + 5 * std::sin(i * 0.37) + (i % 13) * 0.3;
  }
  return values;
}

std::unique_ptr<slm::Graph> ShownGraph(slm::Graph::Style style = slm::Graph::Style::kLine) {
  auto graph = std::make_unique<slm::Graph>(nullptr, style);
  graph->resize(1000, 600);
  graph->show();
  QApplication::processEvents();
  return graph;
}

// Plot alone: the values copied into the trace.
void BM_Plot(benchmark::State& state) {
  const std::vector<double> values = Levels(static_cast<int>(state.range(0)));
  auto graph = ShownGraph();
  for (auto _ : state) graph->Plot(values, 0, 0.125);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Plot)->Arg(864001)->Arg(348000)->Unit(benchmark::kMillisecond);

// Opening: plot, fit the axes, first full repaint.
void BM_Open(benchmark::State& state) {
  const std::vector<double> values = Levels(static_cast<int>(state.range(0)));
  auto graph = ShownGraph();
  for (auto _ : state) {
    graph->Plot(values, 0, 0.125);
    graph->Rescale();
    slm::GraphProbe(*graph).ReplotNow();
  }
}
BENCHMARK(BM_Open)->Arg(864001)->Arg(348000)->Unit(benchmark::kMillisecond);

void BM_ReplotFullRange(benchmark::State& state) {
  const std::vector<double> values = Levels(static_cast<int>(state.range(0)));
  auto graph = ShownGraph();
  graph->Plot(values, 0, 0.125);
  graph->Rescale();
  for (auto _ : state) slm::GraphProbe(*graph).ReplotNow();
}
BENCHMARK(BM_ReplotFullRange)->Arg(864001)->Arg(348000)->Unit(benchmark::kMillisecond);

// One pan frame: the full view shifted by a fifth, back and forth.
void BM_ReplotPanned(benchmark::State& state) {
  const std::vector<double> values = Levels(static_cast<int>(state.range(0)));
  auto graph = ShownGraph();
  graph->Plot(values, 0, 0.125);
  graph->Rescale();
  const slm::AxisRange full = graph->XRange();
  const double shift = (full.max - full.min) / 5;
  int frame = 0;
  for (auto _ : state) {
    const double offset = (frame++ % 2 == 0) ? shift : -shift;
    graph->SetXRange(full.min + offset, full.max + offset);
    slm::GraphProbe(*graph).ReplotNow();
  }
}
BENCHMARK(BM_ReplotPanned)->Arg(864001)->Arg(348000)->Unit(benchmark::kMillisecond);

// One zoom frame: a tenth of the recording in the middle.
void BM_ReplotZoomed(benchmark::State& state) {
  const std::vector<double> values = Levels(static_cast<int>(state.range(0)));
  auto graph = ShownGraph();
  graph->Plot(values, 0, 0.125);
  graph->Rescale();
  const slm::AxisRange full = graph->XRange();
  const double width = (full.max - full.min) / 10;
  const double centre = (full.min + full.max) / 2;
  int frame = 0;
  for (auto _ : state) {
    const double w = (frame++ % 2 == 0) ? width : width / 2;
    graph->SetXRange(centre - w / 2, centre + w / 2);
    slm::GraphProbe(*graph).ReplotNow();
  }
}
BENCHMARK(BM_ReplotZoomed)->Arg(864001)->Arg(348000)->Unit(benchmark::kMillisecond);

// The panel's per-sample update: one point on the strip chart, the two
// histograms' counts, and the queued repaints. `repaint` = 1 also runs the
// event loop so that the three repaints are done inside the timing.
void BM_PerSample(benchmark::State& state) {
  const bool repaint = state.range(0) != 0;
  auto strip = ShownGraph();
  auto coarse = ShownGraph(slm::Graph::Style::kBars);
  auto fine = ShownGraph(slm::Graph::Style::kBars);
  strip->SetStripSpan(600);
  strip->SetYRange(20, 140);
  coarse->SetYRange(0, 1000);
  fine->SetYRange(0, 1000);
  std::vector<double> counts_141(141);
  std::vector<double> counts_1401(1401);
  for (int i = 0; i < 2000; ++i) strip->Append(60 + (i % 17));
  QApplication::processEvents();
  int sample = 0;
  for (auto _ : state) {
    const double level = 60 + (sample % 17);
    ++counts_141[static_cast<int>(level) % 141];
    ++counts_1401[static_cast<int>(level * 10) % 1401];
    strip->Append(level);
    coarse->Plot(counts_141, 0);
    fine->Plot(counts_1401, 0);
    if (repaint) QApplication::processEvents();
    ++sample;
  }
}
BENCHMARK(BM_PerSample)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
