#pragma once

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <string>

#include "analysis/time_plot.h"
#include "analysis/track_modes.h"
#include "graph/graph.h"
#include "ui/dialogs.h"
#include "ui/printing.h"
#include "windows/graph_print.h"
#include "windows/track_mode_box.h"

namespace slm {

// The face the two time plot windows share: the graph and, in the frame
// "Graphic Plot", the range boxes, the track-mode list, the cursor read-out
// and the "Reset Scale" and "Print Graph" buttons.
class TimePlotWindow : public QWidget {
 public:
  TimePlotWindow(GraphWindow which, Dialogs& dialogs, Printing& printing, QWidget* parent);

  // The axis boxes changed: both axes take their ranges (X, then Y).
  void ApplyBoxes();
  // Sets the four boxes, each change applying the ranges as a typed one does.
  void SetBoxes(double x_min, double x_max, double y_min, double y_max);
  // "Reset Scale" (also a double-click on the graph, or Home).
  virtual void ResetScale() = 0;
  // "Fit Y": the Y range that fits the trace in the X view.
  virtual void FitY() = 0;
  // "Print Graph": back to normal mode, the printer dialog, the window's
  // image on white paper, then the window as it was.
  void PrintGraph();

  Graph* CWGraph1 = nullptr;
  QGroupBox* FrmGraphic = nullptr;
  QGroupBox* SSFrame4 = nullptr;
  // Element 1 is the X axis, element 2 the Y axis (element 0 is unused).
  std::array<QDoubleSpinBox*, 3> AxisMin{};
  std::array<QDoubleSpinBox*, 3> AxisMax{};
  TrackModeBox* track = nullptr;
  QGroupBox* SSFrame2 = nullptr;
  QLabel* XPosition = nullptr;
  QLabel* YPosition = nullptr;
  QLabel* TimePosition = nullptr;  // the snapped record's time, where it has one
  QPushButton* CmdReset = nullptr;
  QPushButton* CmdFitY = nullptr;
  QPushButton* CmdPrint = nullptr;

 protected:
  virtual PaperLayout Paper() const = 0;
  void SetReadoutCaptions(const char* x, const char* y);
  // Where the cursor read-out snaps to for a cursor at `x`, and what it says;
  // nothing leaves the read-out as it is.
  virtual std::optional<PlotReadout> SnapCursor(double x) const = 0;
  // The boxes show the view after every zoom, pan and reset.
  void BoxesFollowView();
  // The X view the X boxes stand for, and the X boxes of a view: the same
  // numbers unless the window's X axis counts otherwise.
  virtual AxisRange XViewOfBoxes(double min, double max) const { return {min, max}; }
  virtual AxisRange XBoxesOfView(AxisRange view) const { return view; }

  bool boxes_locked_ = false;
  Dialogs& dialogs_;
  Printing& printing_;

 private:
  void CursorMoved(int number, double x, double y);
  QLabel* x_caption_ = nullptr;
  QLabel* y_caption_ = nullptr;
};

// "Real Time Graph": a snapshot of one series of the live sample history.
class RealTimeGraph : public TimePlotWindow {
 public:
  RealTimeGraph(Dialogs& dialogs, Printing& printing, QWidget* parent = nullptr);

  // Shows `plot`: sample i at x = i + 1, X from 1 to x_high, Y from its bounds.
  void Open(const LiveTimePlot& plot);
  void ResetScale() override;
  void FitY() override;

  QLabel* LblUnit = nullptr;

 protected:
  PaperLayout Paper() const override;
  std::optional<PlotReadout> SnapCursor(double x) const override;

 private:
  LiveTimePlot plot_;  // kept for "Reset Scale", "Fit Y" and the read-out
};

// "Plot": the dB column of a record list with its "Pause" and "Start" marks.
class Plot : public TimePlotWindow {
 public:
  Plot(Dialogs& dialogs, Printing& printing, QWidget* parent = nullptr);

  // Shows `plot` (row i at x = i, or against its Date Time column when that
  // is chosen), replacing what the window showed; `source` names the file in
  // the title line.
  void Show(const LevelColumnPlot& plot, const std::string& source = {});
  // Record numbers or clock times on the X axis.
  void SetClockAxis(bool on);
  void ResetScale() override;
  void FitY() override;

  QCheckBox* ChkClock = nullptr;  // "Date Time axis"
  QLabel* LblCompany = nullptr;
  QLabel* LblSector = nullptr;
  QLabel* LblName = nullptr;

 protected:
  PaperLayout Paper() const override;
  std::optional<PlotReadout> SnapCursor(double x) const override;
  // Against the clock the X boxes still count records.
  AxisRange XViewOfBoxes(double min, double max) const override;
  AxisRange XBoxesOfView(AxisRange view) const override;

 private:
  void Draw();

  LevelColumnPlot plot_;
  ClockPlot clock_;
  bool clock_ready_ = false;
  std::string source_;
};

}  // namespace slm
