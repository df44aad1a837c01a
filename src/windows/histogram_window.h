#pragma once

#include <QAction>
#include <QTableWidget>
#include <QToolBar>
#include <QWidget>

#include "analysis/level_statistics.h"
#include "analysis/live_chart_data.h"
#include "graph/graph.h"
#include "ui/dialogs.h"
#include "ui/printing.h"
#include "windows/graph_print.h"
#include "windows/track_mode_box.h"

namespace slm {

// "Histogram" of the live class counts: a snapshot at 1 dB or 0.1 dB.
class RealHistogram : public QWidget {
 public:
  RealHistogram(Dialogs& dialogs, Printing& printing, QWidget* parent = nullptr);

  // Draws the counts of `resolution` as they are now.
  void Open(const LiveChartData& data, StatResolution resolution);
  void ToolbarClicked(const QString& key);
  // "Reset": the ranges of the moment the window opened.
  void ResetScale();

  QToolBar* Toolbar1 = nullptr;
  QWidget* Picture1 = nullptr;
  TrackModeBox* track = nullptr;
  Graph* CWGraph1 = nullptr;

 private:
  Dialogs& dialogs_;
  Printing& printing_;
  AxisRange x_limits_;  // LiveHistLimits
  double y_max_ = 0;
};

// "Histogram" of a record list: its class counts and its Ln table.
class Histogram : public QWidget {
 public:
  Histogram(Dialogs& dialogs, Printing& printing, QWidget* parent = nullptr);

  // Shows what the statistics computed, `source` naming the file in the
  // title line; a list with nothing counted shows an empty graph and the
  // grid's header.
  void Show(const LevelStatistics& stats, StatResolution resolution, const LnTable& ln,
            const std::string& source = {});
  void ToolbarClicked(const QString& key);
  // "Reset" in the list: X from ClassLow to ClassHigh + 1, Y from 0 to
  // HistYLimit.
  void ResetScale();
  double y_limit() const { return y_limit_; }  // HistYLimit

  QToolBar* Toolbar1 = nullptr;
  QWidget* Picture1 = nullptr;
  TrackModeBox* track = nullptr;
  Graph* CWG = nullptr;
  QTableWidget* GridLn = nullptr;

 private:
  Dialogs& dialogs_;
  Printing& printing_;
  int class_low_ = 0;
  int class_high_ = 0;
  double y_limit_ = 0;
};

}  // namespace slm
