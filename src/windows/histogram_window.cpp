#include "windows/histogram_window.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QVBoxLayout>
#include <string_view>
#include <vector>

#include "platform/widget_text.h"
#include "ui/keyboard.h"

namespace slm {

namespace {

Graph* HistogramGraph(QWidget* parent, const char* name) {
  auto* graph = Named<Graph>(name, parent, Graph::Style::kBars);
  graph->SetXCaption("dB");
  graph->SetYCaption("Frequency (Times)");
  graph->setAccessibleName("Frequency (Times)");
  graph->setMinimumSize(360, 240);
  return graph;
}

QAction* AddButton(QToolBar* toolbar, const char* key, const char* text) {
  QAction* action = toolbar->addAction(text);
  action->setObjectName(key);
  action->setToolTip(text);
  if (std::string_view(key) == "Print") action->setShortcut(PrintShortcut());
  return action;
}

// The two cursors every histogram graph starts with, in the middle of its view.
void AddDesignCursors(Graph& graph) {
  for (int n = 1; n <= 2; ++n) graph.AddCursor(Qt::red);
}

template <typename Counts>
std::vector<double> AsValues(const Counts& counts) {
  return std::vector<double>(counts.begin(), counts.end());
}

}  // namespace

RealHistogram::RealHistogram(Dialogs& dialogs, Printing& printing, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), printing_(printing) {
  setObjectName("RealHistogram");
  setWindowTitle("Histogram");
  auto* root = new QVBoxLayout(this);
  Toolbar1 = Named<QToolBar>("Toolbar1", this);
  for (const auto& [key, text] : {std::pair{"Track", "Track Mode"},
                                  std::pair{"Reset", "Reset Scale"}, std::pair{"Print", "Print"}}) {
    const QString k = key;
    QObject::connect(AddButton(Toolbar1, key, text), &QAction::triggered, this,
                     [this, k] { ToolbarClicked(k); });
  }
  TabReachesToolButtons(*Toolbar1);
  root->addWidget(Toolbar1);
  CWGraph1 = HistogramGraph(this, "CWGraph1");
  AddDesignCursors(*CWGraph1);
  Picture1 = Named<QWidget>("Picture1", this);
  auto* panel = new QVBoxLayout(Picture1);
  track = new TrackModeBox(GraphWindow::kRealHistogram, *CWGraph1, dialogs_, Picture1);
  track->on_reset_axes = [this] { ResetScale(); };
  track->on_hide_list = [this] { Picture1->hide(); };
  panel->addWidget(track);
  root->addWidget(Picture1);
  root->addWidget(CWGraph1, 1);
  resize(Pixels(10410), Pixels(6210));
  move(0, 0);
  track->Choose(0);
}

void RealHistogram::Open(const LiveChartData& data, StatResolution resolution) {
  const LiveRanges& r = data.ranges();
  if (resolution == StatResolution::kTenth) {
    CWGraph1->SetXLabelFormat(LabelFormat::kTenths);
    CWGraph1->SetXRange(r.fine_low - 1, r.fine_high + 1);
    CWGraph1->Plot(AsValues(data.fine_counts()), 0, 1);
  } else {
    CWGraph1->SetXLabelFormat(LabelFormat::kPlain);
    CWGraph1->SetXRange(r.coarse_low - 1, r.coarse_high + 1);
    CWGraph1->Plot(AsValues(data.coarse_counts()), 0, 1);
  }
  CWGraph1->RescaleY();
  x_limits_ = CWGraph1->XRange();
  y_max_ = CWGraph1->YRange().max;
}

void RealHistogram::ToolbarClicked(const QString& key) {
  Picture1->hide();
  if (key == "Track") {
    Picture1->show();
  } else if (key == "Reset") {
    ResetScale();
  } else if (key == "Print") {
    PrintGraphWindow(
        *this, *CWGraph1, *Toolbar1,
        {true, true, Pixels(11115), Pixels(6465), Pixels(720), Pixels(10410), Pixels(6210)},
        dialogs_, printing_);
  }
}

void RealHistogram::ResetScale() {
  CWGraph1->SetYRange(0, y_max_);
  CWGraph1->SetXRange(x_limits_.min, x_limits_.max);
}

Histogram::Histogram(Dialogs& dialogs, Printing& printing, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), printing_(printing) {
  setObjectName("Histogram");
  setWindowTitle("Histogram");
  auto* root = new QVBoxLayout(this);
  Toolbar1 = Named<QToolBar>("Toolbar1", this);
  for (const auto& [key, text] : {std::pair{"Limit", "Limit"}, std::pair{"Print", "Print"}}) {
    const QString k = key;
    QObject::connect(AddButton(Toolbar1, key, text), &QAction::triggered, this,
                     [this, k] { ToolbarClicked(k); });
  }
  TabReachesToolButtons(*Toolbar1);
  root->addWidget(Toolbar1);
  CWG = HistogramGraph(this, "CWG");
  AddDesignCursors(*CWG);
  Picture1 = Named<QWidget>("Picture1", this);
  auto* panel = new QVBoxLayout(Picture1);
  track = new TrackModeBox(GraphWindow::kHistogram, *CWG, dialogs_, Picture1);
  track->on_reset_axes = [this] { ResetScale(); };
  track->on_hide_list = [this] { Picture1->hide(); };
  // The list shows "Normal" without running its action.
  track->Combo1->setCurrentIndex(0);
  panel->addWidget(track);
  root->addWidget(Picture1);
  root->addWidget(CWG, 1);

  GridLn = Named<QTableWidget>("GridLn", 1, 11, this);
  GridLn->horizontalHeader()->hide();
  GridLn->verticalHeader()->hide();
  GridLn->setEditTriggers(QAbstractItemView::NoEditTriggers);
  GridLn->setTabKeyNavigation(false);
  GridLn->setAccessibleName("Ln");
  const QFontMetrics metrics(font());
  const auto& header = LnGridHeader();
  for (int c = 0; c < 11; ++c) {
    GridLn->setItem(0, c, new QTableWidgetItem(Latin1(header[static_cast<size_t>(c)])));
    GridLn->setColumnWidth(c, metrics.horizontalAdvance(c == 0 ? "ABCDEFAA1" : "ABCDEFAA"));
  }
  root->addWidget(GridLn);
  move(0, 0);
}

void Histogram::Show(const LevelStatistics& stats, StatResolution resolution, const LnTable& ln) {
  GridLn->setRowCount(1);
  if (!stats.counted) {
    CWG->Clear();
    return;
  }
  class_low_ = stats.class_low;
  class_high_ = stats.class_high;
  CWG->SetXLabelFormat(resolution == StatResolution::kTenth ? LabelFormat::kTenths
                                                            : LabelFormat::kPlain);
  CWG->SetXRange(class_low_, class_high_ + 1);
  // Class k is drawn at x = k + 1.
  CWG->Plot(AsValues(stats.Counts(resolution)), 1, 1);
  CWG->RescaleY();
  y_limit_ = CWG->YRange().max;
  for (const std::string& row : LnGridRows(ln)) {
    const int r = GridLn->rowCount();
    GridLn->insertRow(r);
    const QStringList cells = Latin1(row).split('\t');
    for (int c = 0; c < cells.size() && c < 11; ++c) {
      GridLn->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
  }
}

void Histogram::ToolbarClicked(const QString& key) {
  if (key == "Limit") {
    Picture1->setVisible(Picture1->isHidden());
  } else if (key == "Print") {
    Picture1->hide();
    QPrinter* printer = printing_.Current();
    if (printer == nullptr) {
      dialogs_.Message("No printer is set up, so the histogram cannot be printed.",
                       MessageIcon::kExclamation);
      return;
    }
    const std::string failure = PrintOn(*printer, [&](QPagedPaintDevice& device) {
      return PrintGraphImage(*this, *CWG, *Toolbar1, device, {}, 1);
    });
    if (!failure.empty()) dialogs_.Message(failure, MessageIcon::kCritical);
  }
}

void Histogram::ResetScale() {
  CWG->SetXRange(class_low_, class_high_ + 1);
  CWG->SetYRange(0, y_limit_);
}

}  // namespace slm
