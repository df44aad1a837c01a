// Opening the time plots as the windows do, data work included, at 1000x600
// offscreen. Budget: 300 ms to open.
//  - a 348000-record list: every level classified with its pause marks, the
//    trace and marks drawn, the first frame;
//  - the same list against its clock;
//  - the live history of 864001 samples: the snapshot copied once, drawn,
//    the first frame.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>

#include "analysis/live_chart_data.h"
#include "analysis/time_plot.h"
#include "base/calendar.h"
#include "base/number_text.h"
#include "graph/graph.h"
#include "graph/graph_probe.h"
#include "graph/level_plot.h"

namespace {

slm::RecordList PausedList(int count) {
  slm::RecordList list;
  const std::int64_t start = *slm::ParseClockText("2024/05/01 10:00:00");
  for (int i = 1; i <= count; ++i) {
    std::string level = slm::OneDecimalText(60 + (i % 200) * 0.1);
    if (i % 1000 >= 900) level += '*';  // a paused stretch every 1000 rows
    list.Append(std::to_string(i), slm::ClockText(start + i), level);
  }
  return list;
}

void BM_OpenListPlot(benchmark::State& state) {
  const slm::RecordList list = PausedList(348000);
  slm::Graph graph;
  graph.resize(1000, 600);
  graph.show();
  QApplication::processEvents();
  for (auto _ : state) {
    const slm::LevelColumnPlot plot = slm::PlotLevelColumn(list);
    slm::ShowLevelColumn(graph, plot);
    slm::GraphProbe(graph).ReplotNow();
  }
}
BENCHMARK(BM_OpenListPlot)->Unit(benchmark::kMillisecond);

// The same list against its Date Time column: every time read, the gaps
// found, the trace and marks drawn, the first frame.
void BM_OpenListPlotAgainstClock(benchmark::State& state) {
  const slm::RecordList list = PausedList(348000);
  const slm::LevelColumnPlot plot = slm::PlotLevelColumn(list);
  slm::Graph graph;
  graph.resize(1000, 600);
  graph.show();
  QApplication::processEvents();
  for (auto _ : state) {
    const slm::ClockPlot clock = slm::PlotAgainstClock(plot);
    slm::ShowClockPlot(graph, plot, clock);
    slm::GraphProbe(graph).ReplotNow();
  }
}
BENCHMARK(BM_OpenListPlotAgainstClock)->Unit(benchmark::kMillisecond);

void BM_OpenLiveSnapshot(benchmark::State& state) {
  slm::LiveChartData charts;
  // One short of the size: the next sample would start the history again.
  for (int i = 0; i < slm::kSampleHistorySize - 1; ++i) {
    charts.UpdateLiveCharts(60 + (i % 300) * 0.1, "65.0", "90.0");
  }
  slm::Graph graph;
  graph.resize(1000, 600);
  graph.show();
  QApplication::processEvents();
  for (auto _ : state) {
    const slm::LiveTimePlot plot = slm::OpenLiveTimePlot(charts, slm::LiveSeries::kLevel);
    graph.SetYRange(plot.y_low, plot.y_high);
    graph.SetXRange(1, plot.x_high);
    graph.Plot(plot.values, 1, 1);
    slm::GraphProbe(graph).ReplotNow();
  }
}
BENCHMARK(BM_OpenLiveSnapshot)->Unit(benchmark::kMillisecond);

}  // namespace
