// One sample on the panel's live charts, as the panel shows them (the level
// strip chart and the histogram that suits the spread; the others hidden),
// with the repaints done inside the timing. Budget: 2 ms a sample.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "analysis/live_chart_data.h"
#include "windows/live_charts.h"

namespace {

void BM_PanelSample(benchmark::State& state) {
  slm::LiveChartData data;
  slm::LiveCharts charts;
  // The charts' share of a 1240 x 740 panel.
  charts.resize(310, 470);
  charts.show();
  QApplication::processEvents();
  int sample = 0;
  for (auto _ : state) {
    const double level = 60 + (sample++ % 173) * 0.1;
    const slm::LiveChartUpdate update = data.UpdateLiveCharts(level, "65.0", "90.0");
    charts.Show(update, data);
    QApplication::processEvents();
  }
}
BENCHMARK(BM_PanelSample)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
