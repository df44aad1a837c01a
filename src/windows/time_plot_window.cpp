#include "windows/time_plot_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "analysis/plot_series.h"
#include "base/number_text.h"
#include "graph/level_plot.h"
#include "qt/widget_text.h"
#include "ui/keyboard.h"

namespace slm {

namespace {

// X boxes take whole record numbers, Y boxes levels to a tenth of a dB.
QDoubleSpinBox* AxisBox(const QString& name, int decimals, QWidget* parent) {
  auto* box = new QDoubleSpinBox(parent);
  box->setObjectName(name);
  box->setRange(-1e9, 1e9);
  box->setDecimals(decimals);
  box->setLocale(QLocale::c());
  box->setKeyboardTracking(false);
  return box;
}

}  // namespace

TimePlotWindow::TimePlotWindow(GraphWindow which, Dialogs& dialogs, Printing& printing,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), printing_(printing) {
  auto* root = new QHBoxLayout(this);
  CWGraph1 = Named<Graph>("CWGraph1", this);
  CWGraph1->setMinimumSize(240, 240);
  root->addWidget(CWGraph1, 1);

  FrmGraphic = Named<QGroupBox>("FrmGraphic", "Graphic Plot", this);
  // The graph takes the room the controls do not need.
  FrmGraphic->setMaximumWidth(290);
  auto* side = new QVBoxLayout(FrmGraphic);
  SSFrame4 = Named<QGroupBox>("SSFrame4", "Graph Range", FrmGraphic);
  auto* range = new QGridLayout(SSFrame4);
  range->addWidget(new QLabel("Min", SSFrame4), 0, 1);
  range->addWidget(new QLabel("Max", SSFrame4), 0, 2);
  range->addWidget(new QLabel("No.s", SSFrame4), 1, 0);
  range->addWidget(new QLabel("dB", SSFrame4), 2, 0);
  for (int axis = 1; axis <= 2; ++axis) {
    const int decimals = axis == 1 ? 0 : 1;
    AxisMin[axis] = AxisBox(QString("AxisMin(%1)").arg(axis), decimals, SSFrame4);
    AxisMax[axis] = AxisBox(QString("AxisMax(%1)").arg(axis), decimals, SSFrame4);
    range->addWidget(AxisMin[axis], axis, 1);
    range->addWidget(AxisMax[axis], axis, 2);
    for (QDoubleSpinBox* box : {AxisMin[axis], AxisMax[axis]}) {
      QObject::connect(box, &QDoubleSpinBox::valueChanged, this, [this] {
        if (!boxes_locked_) ApplyBoxes();
      });
    }
  }
  side->addWidget(SSFrame4);

  track = new TrackModeBox(which, *CWGraph1, dialogs_, FrmGraphic);
  side->addWidget(track);

  SSFrame2 = Named<QGroupBox>("SSFrame2", "Cursor Information", FrmGraphic);
  auto* readout = new QGridLayout(SSFrame2);
  x_caption_ = Named<QLabel>("LblXCaption", SSFrame2);
  y_caption_ = Named<QLabel>("LblYCaption", SSFrame2);
  XPosition = Named<QLabel>("XPosition", SSFrame2);
  YPosition = Named<QLabel>("YPosition", SSFrame2);
  TimePosition = Named<QLabel>("TimePosition", SSFrame2);
  readout->addWidget(x_caption_, 0, 0);
  readout->addWidget(XPosition, 0, 1);
  readout->addWidget(y_caption_, 1, 0);
  readout->addWidget(YPosition, 1, 1);
  readout->addWidget(TimePosition, 2, 0, 1, 2);
  side->addWidget(SSFrame2);

  CmdReset = Named<QPushButton>("CmdReset", "Reset Scale", FrmGraphic);
  CmdFitY = Named<QPushButton>("CmdFitY", "Fit Y", FrmGraphic);
  CmdFitY->setToolTip("The Y range that fits the levels in view (a double-click or Home resets)");
  CmdPrint = Named<QPushButton>("CmdPrint", "Print Graph", FrmGraphic);
  CmdPrint->setShortcut(PrintShortcut());
  CmdPrint->setToolTip("Print Graph (" + PrintShortcut().toString(QKeySequence::NativeText) + ")");
  side->addWidget(CmdReset);
  side->addWidget(CmdFitY);
  side->addWidget(CmdPrint);
  side->addStretch();
  root->addWidget(FrmGraphic);
  QObject::connect(CmdReset, &QPushButton::clicked, this, [this] { ResetScale(); });
  QObject::connect(CmdFitY, &QPushButton::clicked, this, [this] { FitY(); });
  CWGraph1->SetViewControls(true);
  CWGraph1->on_reset = [this] { ResetScale(); };
  CWGraph1->on_view_changed = [this] { BoxesFollowView(); };
  QObject::connect(CmdPrint, &QPushButton::clicked, this, [this] { PrintGraph(); });
  CWGraph1->on_cursor_moved = [this](int number, double x, double y) { CursorMoved(number, x, y); };
}

void TimePlotWindow::SetReadoutCaptions(const char* x, const char* y) {
  x_caption_->setText(x);
  y_caption_->setText(y);
}

void TimePlotWindow::ApplyBoxes() {
  const AxisRange x = XViewOfBoxes(AxisMin[1]->value(), AxisMax[1]->value());
  CWGraph1->SetXRange(x.min, x.max);
  CWGraph1->SetYRange(AxisMin[2]->value(), AxisMax[2]->value());
}

void TimePlotWindow::BoxesFollowView() {
  // Shown, not applied: a whole-number box must not round the view.
  const bool locked = boxes_locked_;
  boxes_locked_ = true;
  const AxisRange x = XBoxesOfView(CWGraph1->XRange());
  const AxisRange y = CWGraph1->YRange();
  SetBoxes(x.min, x.max, y.min, y.max);
  boxes_locked_ = locked;
}

void TimePlotWindow::SetBoxes(double x_min, double x_max, double y_min, double y_max) {
  AxisMax[1]->setValue(x_max);
  AxisMin[1]->setValue(x_min);
  AxisMax[2]->setValue(y_max);
  AxisMin[2]->setValue(y_min);
}

void TimePlotWindow::CursorMoved(int number, double x, double) {
  if (number != 1) return;
  // The cursor goes to the nearest point of the trace, and the read-out
  // says what that point holds.
  const std::optional<PlotReadout> snap = SnapCursor(x);
  if (!snap) return;
  CWGraph1->SetCursorPosition(1, snap->x, snap->y);
  XPosition->setText(Latin1(snap->number));
  YPosition->setText(Latin1(snap->level));
  TimePosition->setText(Latin1(snap->date_time));
}

void TimePlotWindow::PrintGraph() {
  track->SetNormal();
  if (CWGraph1->CursorCount() > 0) CWGraph1->RemoveAllCursors();
  PrintGraphWindow(*this, *CWGraph1, Paper(), dialogs_, printing_);
}

RealTimeGraph::RealTimeGraph(Dialogs& dialogs, Printing& printing, QWidget* parent)
    : TimePlotWindow(GraphWindow::kRealTimeGraph, dialogs, printing, parent) {
  setObjectName("RealTimeGraph");
  setWindowTitle("Real Time Graph");
  SetReadoutCaptions("No.s ( X ) :", "Value ( Y ) :");
  LblUnit = Named<QLabel>("LblUnit", FrmGraphic);
  static_cast<QVBoxLayout*>(FrmGraphic->layout())->insertWidget(0, LblUnit);
  CWGraph1->SetXCaption("No.s");
  CWGraph1->SetXScale(AxisScale::kWhole);
  // The two cursors of the window's design, placed on samples when it opens.
  for (int n = 1; n <= 2; ++n) CWGraph1->AddCursor(Qt::red);
  resize(Pixels(10650), Pixels(8865));
  move(0, 0);
  track->Choose(0);
}

void RealTimeGraph::Open(const LiveTimePlot& plot) {
  plot_ = plot;
  // Filling the boxes must not apply ranges one box at a time.
  boxes_locked_ = true;
  const QString caption = Latin1(plot.caption);
  CWGraph1->SetYCaption(caption);
  SetBoxes(1, plot.x_high, plot.y_low, plot.y_high);
  boxes_locked_ = false;
  LblUnit->setText(caption);
  CWGraph1->SetYRange(plot.y_low, plot.y_high);
  CWGraph1->SetXRange(1, plot.x_high);
  CWGraph1->Plot(plot.values, 1, 1);
  CWGraph1->SetTitle(Latin1(plot.caption) + " - Real Time Graph - " +
                     Latin1(WholeNumberText(static_cast<std::int64_t>(plot.values.size()))) +
                     " samples");
  const std::array<std::size_t, 2> at =
      DesignCursorSteps(CWGraph1->XRange(), 1, plot.values.size());
  for (int n = 1; n <= std::min(2, CWGraph1->CursorCount()); ++n) {
    const std::size_t k = at[static_cast<std::size_t>(n - 1)];
    if (k < plot.values.size()) {
      CWGraph1->SetCursorPosition(n, static_cast<double>(k + 1), plot.values[k]);
    }
  }
}

void RealTimeGraph::ResetScale() {
  SetBoxes(1, plot_.x_high, plot_.y_low, plot_.y_high);
  CWGraph1->SetYRange(plot_.y_low, plot_.y_high);
  CWGraph1->SetXRange(1, plot_.x_high);
}

void RealTimeGraph::FitY() {
  const std::optional<AxisRange> fit =
      FitRange(plot_.values, StepsInView(CWGraph1->XRange(), 1, plot_.values.size()));
  if (fit) CWGraph1->SetYRange(fit->min, fit->max);
}

std::optional<PlotReadout> RealTimeGraph::SnapCursor(double x) const { return ReadoutAt(plot_, x); }

PaperLayout RealTimeGraph::Paper() const { return {true}; }

Plot::Plot(Dialogs& dialogs, Printing& printing, QWidget* parent)
    : TimePlotWindow(GraphWindow::kPlot, dialogs, printing, parent) {
  setObjectName("Plot");
  setWindowTitle("Plot");
  SetReadoutCaptions("No.s ( X ) :", "dB ( Y ) :");
  auto* labels = new QVBoxLayout;
  LblCompany = Named<QLabel>("LblCompany", "Company:", FrmGraphic);
  LblSector = Named<QLabel>("LblSector", "Sector:", FrmGraphic);
  LblName = Named<QLabel>("LblName", "Name:", FrmGraphic);
  for (QLabel* l : {LblCompany, LblSector, LblName}) labels->addWidget(l);
  static_cast<QVBoxLayout*>(FrmGraphic->layout())->addLayout(labels);
  ChkClock = Named<QCheckBox>("ChkClock", "Date Time axis", FrmGraphic);
  ChkClock->setToolTip("Plot the levels against their Date Time column");
  static_cast<QVBoxLayout*>(FrmGraphic->layout())->insertWidget(1, ChkClock);
  QObject::connect(ChkClock, &QCheckBox::toggled, this, [this](bool on) { SetClockAxis(on); });
  resize(Pixels(10650), Pixels(8865));
  track->Choose(0);
}

void Plot::Show(const LevelColumnPlot& plot, const std::string& source) {
  plot_ = plot;
  source_ = source;
  clock_ = {};
  clock_ready_ = false;
  Draw();
  show();
}

void Plot::SetClockAxis(bool on) {
  if (ChkClock->isChecked() != on) {
    ChkClock->setChecked(on);  // draws through its signal
    return;
  }
  Draw();
}

void Plot::Draw() {
  const bool clock = ChkClock->isChecked();
  // The times are read when first asked for.
  if (clock && !clock_ready_) {
    clock_ = PlotAgainstClock(plot_);
    clock_ready_ = true;
  }
  // A new list starts from a graph without the earlier list's marks.
  if (clock) {
    ShowClockPlot(*CWGraph1, plot_, clock_);
  } else {
    ShowLevelColumn(*CWGraph1, plot_);
  }
  CWGraph1->SetTitle(Latin1(PlotTitleLine(source_, plot_.records)));
  if (clock && clock_.unplaced > 0) {
    CWGraph1->SetTitle(CWGraph1->Title() + " - " +
                       Latin1(WholeNumberText(static_cast<std::int64_t>(clock_.unplaced))) +
                       " records without a readable time left out");
  }
  BoxesFollowView();
  // Drawing anew removes the cursors; a window in "Cursor Coordinates" keeps its one.
  if (CWGraph1->trackMode() == TrackMode::kDragCursor) track->Choose(1);
}

void Plot::ResetScale() {
  if (ChkClock->isChecked()) {
    if (!clock_.empty()) CWGraph1->SetXRange(clock_.times.front(), clock_.times.back());
  } else {
    CWGraph1->SetXRange(1, static_cast<double>(plot_.rows()));
  }
  CWGraph1->SetYRange(kPlotYLow, kPlotYHigh);
}

void Plot::FitY() {
  const AxisRange view = CWGraph1->XRange();
  const std::optional<AxisRange> fit =
      ChkClock->isChecked() ? FitLevels(clock_, view) : FitLevels(plot_, view);
  if (fit) CWGraph1->SetYRange(fit->min, fit->max);
}

AxisRange Plot::XViewOfBoxes(double min, double max) const {
  if (!ChkClock->isChecked()) return {min, max};
  return ViewOfRecords(clock_, min, max).value_or(CWGraph1->XRange());
}

AxisRange Plot::XBoxesOfView(AxisRange view) const {
  if (!ChkClock->isChecked()) return view;
  return RecordsInView(clock_, view).value_or(AxisRange{AxisMin[1]->value(), AxisMax[1]->value()});
}

std::optional<PlotReadout> Plot::SnapCursor(double x) const {
  return ChkClock->isChecked() ? ReadoutAt(plot_, clock_, x) : ReadoutAt(plot_, x);
}

PaperLayout Plot::Paper() const { return {}; }

}  // namespace slm
