#pragma once

#include <QRadioButton>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "analysis/level_statistics.h"
#include "analysis/live_chart_data.h"
#include "analysis/time_plot.h"
#include "graph/graph.h"

namespace slm {

// The panel's live charts: the level, Leq and SEL strip charts (one shown at
// a time, chosen with SSOpt) and the 1 dB and 0.1 dB histograms.
class LiveCharts : public QWidget {
 public:
  explicit LiveCharts(QWidget* parent = nullptr);

  // SSOpt(index): 0 the level, 1 the Leq, 2 the SEL.
  void Choose(int index);
  // One sample: the strip charts move on, both histograms are drawn afresh
  // and the one that suits the spread of the levels is shown.
  void Show(const LiveChartUpdate& update, const LiveChartData& data);
  // The meter was lost: the level chart and both histograms start empty.
  void ClearAfterLinkLoss();
  // "Refresh": every chart starts empty.
  void ClearAll();

  // A click on a strip chart opens the time plot of its series.
  std::function<void(LiveSeries series)> on_open_series;
  // A click on a histogram opens the live histogram at its resolution.
  std::function<void(StatResolution resolution)> on_open_histogram;

  std::array<QRadioButton*, 3> SSOpt{};
  Graph* CWG = nullptr;
  Graph* CWLeq = nullptr;
  Graph* CWSEL = nullptr;
  Graph* CWInt = nullptr;
  Graph* CWDec = nullptr;

 private:
  std::vector<double> coarse_;  // the class counts as the histograms draw them
  std::vector<double> fine_;
};

}  // namespace slm
