#include "windows/time_plot_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <limits>

#include "graph/level_plot.h"
#include "platform/widget_text.h"
#include "ui/keyboard.h"

namespace slm {

namespace {

QDoubleSpinBox* AxisBox(const QString& name, QWidget* parent) {
  auto* box = new QDoubleSpinBox(parent);
  box->setObjectName(name);
  box->setRange(-1e9, 1e9);
  box->setDecimals(2);
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
    AxisMin[axis] = AxisBox(QString("AxisMin(%1)").arg(axis), SSFrame4);
    AxisMax[axis] = AxisBox(QString("AxisMax(%1)").arg(axis), SSFrame4);
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
  x_caption_ = new QLabel(SSFrame2);
  y_caption_ = new QLabel(SSFrame2);
  XPosition = Named<QLabel>("XPosition", SSFrame2);
  YPosition = Named<QLabel>("YPosition", SSFrame2);
  readout->addWidget(x_caption_, 0, 0);
  readout->addWidget(XPosition, 0, 1);
  readout->addWidget(y_caption_, 1, 0);
  readout->addWidget(YPosition, 1, 1);
  side->addWidget(SSFrame2);

  CmdReset = Named<QPushButton>("CmdReset", "Reset Scale", FrmGraphic);
  CmdPrint = Named<QPushButton>("CmdPrint", "Print Graph", FrmGraphic);
  CmdPrint->setShortcut(PrintShortcut());
  CmdPrint->setToolTip("Print Graph (" + PrintShortcut().toString(QKeySequence::NativeText) + ")");
  side->addWidget(CmdReset);
  side->addWidget(CmdPrint);
  side->addStretch();
  root->addWidget(FrmGraphic);
  QObject::connect(CmdReset, &QPushButton::clicked, this, [this] { ResetScale(); });
  QObject::connect(CmdPrint, &QPushButton::clicked, this, [this] { PrintGraph(); });
  CWGraph1->on_cursor_moved = [this](int number, double x, double y) { CursorMoved(number, x, y); };
}

void TimePlotWindow::SetReadoutCaptions(const char* x, const char* y) {
  x_caption_->setText(x);
  y_caption_->setText(y);
}

void TimePlotWindow::ApplyBoxes() {
  CWGraph1->SetXRange(AxisMin[1]->value(), AxisMax[1]->value());
  CWGraph1->SetYRange(AxisMin[2]->value(), AxisMax[2]->value());
}

void TimePlotWindow::SetBoxes(double x_min, double x_max, double y_min, double y_max) {
  AxisMax[1]->setValue(x_max);
  AxisMin[1]->setValue(x_min);
  AxisMax[2]->setValue(y_max);
  AxisMin[2]->setValue(y_min);
}

void TimePlotWindow::CursorMoved(int number, double, double y) {
  if (number != 1) return;
  XPosition->setText(Latin1(CursorXText(CWGraph1->CursorX(1))));
  YPosition->setText(Latin1(CursorYText(y)));
}

void TimePlotWindow::PrintGraph() {
  track->SetNormal();
  if (CWGraph1->CursorCount() > 0) CWGraph1->RemoveAllCursors();
  PrintGraphWindow(*this, *CWGraph1, *FrmGraphic, Paper(), dialogs_, printing_);
}

RealTimeGraph::RealTimeGraph(Dialogs& dialogs, Printing& printing, QWidget* parent)
    : TimePlotWindow(GraphWindow::kRealTimeGraph, dialogs, printing, parent) {
  setObjectName("RealTimeGraph");
  setWindowTitle("Real Time Graph");
  SetReadoutCaptions("No.s ( X ) :", "Value ( Y ) :");
  LblUnit = Named<QLabel>("LblUnit", FrmGraphic);
  static_cast<QVBoxLayout*>(FrmGraphic->layout())->insertWidget(0, LblUnit);
  CWGraph1->SetXCaption("No.s");
  resize(Pixels(10650), Pixels(8865));
  move(0, 0);
  track->Choose(0);
}

void RealTimeGraph::Open(const LiveTimePlot& plot) {
  limits_ = plot;
  limits_.values.clear();
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
}

void RealTimeGraph::ResetScale() {
  SetBoxes(1, limits_.x_high, limits_.y_low, limits_.y_high);
  CWGraph1->SetYRange(limits_.y_low, limits_.y_high);
  CWGraph1->SetXRange(1, limits_.x_high);
}

PaperLayout RealTimeGraph::Paper() const {
  return {true, true, Pixels(11550), 0, Pixels(720), Pixels(10650), Pixels(8865)};
}

Plot::Plot(Dialogs& dialogs, Printing& printing, QWidget* parent)
    : TimePlotWindow(GraphWindow::kPlot, dialogs, printing, parent) {
  setObjectName("Plot");
  setWindowTitle("Plot");
  SetReadoutCaptions("No.s ( X ) :", "No.s ( Y ) :");
  auto* labels = new QVBoxLayout;
  LblCompany = Named<QLabel>("LblCompany", "Company:", FrmGraphic);
  LblSector = Named<QLabel>("LblSector", "Sector:", FrmGraphic);
  LblName = Named<QLabel>("LblName", "Name:", FrmGraphic);
  for (QLabel* l : {LblCompany, LblSector, LblName}) labels->addWidget(l);
  static_cast<QVBoxLayout*>(FrmGraphic->layout())->addLayout(labels);
  resize(Pixels(10650), Pixels(8865));
  track->Choose(0);
}

void Plot::Show(const LevelColumnPlot& plot) {
  record_count_ = plot.rows();
  const double n = static_cast<double>(plot.rows());
  SetBoxes(1, n, kPlotYLow, kPlotYHigh);
  // A new list starts from a graph without the earlier list's marks.
  ShowLevelColumn(*CWGraph1, plot);
  show();
}

void Plot::ResetScale() {
  CWGraph1->SetXRange(1, static_cast<double>(record_count_));
  CWGraph1->SetYRange(kPlotYLow, kPlotYHigh);
}

PaperLayout Plot::Paper() const { return {}; }

}  // namespace slm
