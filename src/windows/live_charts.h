#pragma once

#include <QRadioButton>
#include <QWidget>
#include <array>

#include "analysis/live_chart_data.h"

namespace slm {

// The panel's live charts: the level, Leq and SEL strip charts (one shown at
// a time, chosen with SSOpt) and the 1 dB and 0.1 dB histograms.
class LiveCharts : public QWidget {
 public:
  explicit LiveCharts(QWidget* parent = nullptr);

  // SSOpt(index): 0 the level, 1 the Leq, 2 the SEL.
  void Choose(int index);
  // One sample: shows the histogram that suits the spread of the levels.
  void Show(const LiveChartUpdate& update);

  std::array<QRadioButton*, 3> SSOpt{};
  QWidget* CWG = nullptr;
  QWidget* CWLeq = nullptr;
  QWidget* CWSEL = nullptr;
  QWidget* CWInt = nullptr;
  QWidget* CWDec = nullptr;
};

}  // namespace slm
