// One sample on the panel's live charts, as the panel shows them (the level
// strip chart and the histogram that suits the spread; the others hidden),
// with the repaints done inside the timing. Budget: 2 ms a sample at the
// panel's designed size. Grown on a large screen, the histogram's bars are
// tall enough for Qt to fill them across its thread pool, which this
// benchmark shows costing more on two cores.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "analysis/live_chart_data.h"
#include "base/number_text.h"
#include "graph/graph_probe.h"
#include "windows/histogram_window.h"
#include "windows/live_charts.h"

namespace slm::test_free {

// The histogram window needs dialogs and a printer it never uses here.
class NoDialogs : public Dialogs {
 public:
  void Message(const std::string&, MessageIcon, const std::string&) override {}
  void Notice(const std::string&, MessageIcon, const std::string&) override {}
  bool Ask(const std::string&, const std::string&) override { return false; }
  FileChoice SaveFile(const std::string&) override { return {}; }
  FileChoice OpenFile(const std::string&) override { return {}; }
  std::string Input(const std::string&, const std::string&, const std::string&) override {
    return {};
  }
};
class NoPrinting : public Printing {
 public:
  QPrinter* Ask(QWidget*) override { return nullptr; }
  QPrinter* Current() override { return nullptr; }
};

}  // namespace slm::test_free

namespace {

void BM_PanelSample(benchmark::State& state) {
  slm::LiveChartData data;
  slm::LiveCharts charts;
  // The charts' share of a panel: 310 x 470 of one at its designed 1240 x 740,
  // 420 x 640 of one grown on a 1920 x 1080 screen.
  charts.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
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
BENCHMARK(BM_PanelSample)->Args({310, 470})->Args({420, 640})->Unit(benchmark::kMicrosecond);

// A list window's "0.1 dB" on a full list: the statistics, then the
// histogram window filled with the counts and the Ln grid, first frame
// included. Budget: 300 ms.
void BM_StatisticsToHistogram(benchmark::State& state) {
  slm::RecordList list;
  for (int i = 1; i <= 348000; ++i) {
    list.Append(std::to_string(i), "2024/05/01 10:00:00",
                slm::OneDecimalText(40 + (i * 7919LL % 600) * 0.1));
  }
  slm::test_free::NoDialogs dialogs;
  slm::test_free::NoPrinting printing;
  slm::LnTable ln;
  for (auto _ : state) {
    const slm::LevelStatistics stats =
        slm::ComputeLevelStatistics(list, slm::StatResolution::kTenth, slm::LnSource::kFine, ln);
    slm::Histogram histogram(dialogs, printing);
    histogram.Show(stats, slm::StatResolution::kTenth, ln);
    histogram.show();
    slm::GraphProbe(*histogram.CWG).ReplotNow();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_StatisticsToHistogram)->Unit(benchmark::kMillisecond);

}  // namespace
