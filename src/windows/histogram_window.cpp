#include "windows/histogram_window.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/histogram_view.h"
#include "analysis/plot_series.h"
#include "qt/widget_text.h"
#include "ui/keyboard.h"

namespace slm {

namespace {

Graph* HistogramGraph(QWidget* parent, const char* name) {
  auto* graph = Named<Graph>(name, parent, Graph::Style::kBars);
  graph->SetXCaption("dB");
  graph->SetYCaption("Frequency (Times)");
  graph->SetYScale(AxisScale::kWhole);  // counts: no tick at 2.5
  graph->SetViewControls(true);
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

// The two cursors every histogram graph starts with.
void AddDesignCursors(Graph& graph) {
  for (int n = 1; n <= 2; ++n) graph.AddCursor(Qt::red);
}

// The design cursors on the tops of the classes a third and two thirds of
// the way across the view, where they read as marks on the data rather than
// as a threshold.
void PlaceDesignCursors(Graph& graph, const std::vector<double>& counts, double first_x) {
  const std::array<std::size_t, 2> at = DesignCursorSteps(graph.XRange(), first_x, counts.size());
  for (int n = 1; n <= std::min(2, graph.CursorCount()); ++n) {
    const std::size_t k = at[static_cast<std::size_t>(n - 1)];
    if (k < counts.size()) graph.SetCursorPosition(n, first_x + static_cast<double>(k), counts[k]);
  }
}

// What both histogram windows are made of: a toolbar of `buttons` (key and
// caption) that calls `clicked` with the key, the graph with its two design
// cursors, and the track-mode panel between them, hidden until asked for.
struct HistogramFrame {
  QToolBar* toolbar = nullptr;
  Graph* graph = nullptr;
  QWidget* picture = nullptr;
  TrackModeBox* track = nullptr;
};

HistogramFrame BuildFrame(QWidget& window, QVBoxLayout& root,
                          std::initializer_list<std::pair<const char*, const char*>> buttons,
                          const std::function<void(const QString&)>& clicked, GraphWindow kind,
                          const char* graph_name, Dialogs& dialogs,
                          const std::function<void()>& reset) {
  HistogramFrame f;
  f.toolbar = Named<QToolBar>("Toolbar1", &window);
  for (const auto& [key, text] : buttons) {
    const QString k = key;
    QObject::connect(AddButton(f.toolbar, key, text), &QAction::triggered, &window,
                     [clicked, k] { clicked(k); });
  }
  TabReachesToolButtons(*f.toolbar);
  root.addWidget(f.toolbar);
  f.graph = HistogramGraph(&window, graph_name);
  AddDesignCursors(*f.graph);
  f.picture = Named<QWidget>("Picture1", &window);
  auto* panel = new QVBoxLayout(f.picture);
  f.track = new TrackModeBox(kind, *f.graph, dialogs, f.picture);
  f.track->on_reset_axes = reset;
  QWidget* picture = f.picture;
  f.track->on_hide_list = [picture] { picture->hide(); };
  f.graph->on_reset = reset;
  panel->addWidget(f.track);
  root.addWidget(f.picture);
  return f;
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
  const HistogramFrame frame = BuildFrame(
      *this, *root, {{"Track", "Track Mode"}, {"Reset", "Reset Scale"}, {"Print", "Print"}},
      [this](const QString& key) { ToolbarClicked(key); }, GraphWindow::kRealHistogram, "CWGraph1",
      dialogs_, [this] { ResetScale(); });
  Toolbar1 = frame.toolbar;
  CWGraph1 = frame.graph;
  Picture1 = frame.picture;
  track = frame.track;
  root->addWidget(CWGraph1, 1);
  resize(Pixels(10410), Pixels(6210));
  move(0, 0);
  track->Choose(0);
}

void RealHistogram::Open(const LiveChartData& data, StatResolution resolution) {
  const LiveRanges& r = data.ranges();
  const bool tenths = resolution == StatResolution::kTenth;
  const std::vector<double> counts =
      tenths ? AsValues(data.fine_counts()) : AsValues(data.coarse_counts());
  CWGraph1->SetXLabelFormat(tenths ? LabelFormat::kTenths : LabelFormat::kPlain);
  if (tenths) {
    CWGraph1->SetXRange(r.fine_low - 1, r.fine_high + 1);
  } else {
    CWGraph1->SetXRange(r.coarse_low - 1, r.coarse_high + 1);
  }
  CWGraph1->Plot(counts, 0, 1);
  CWGraph1->SetTitle(QString("Live levels - Histogram, %1 classes")
                         .arg(tenths ? QStringLiteral("0.1 dB") : QStringLiteral("1 dB")));
  CWGraph1->RescaleY();
  PlaceDesignCursors(*CWGraph1, counts, 0);
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
    PrintGraphWindow(*this, *CWGraph1, {true}, dialogs_, printing_);
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
  const HistogramFrame frame = BuildFrame(
      *this, *root, {{"Limit", "Limit"}, {"Print", "Print"}},
      [this](const QString& key) { ToolbarClicked(key); }, GraphWindow::kHistogram, "CWG", dialogs_,
      [this] { ResetScale(); });
  Toolbar1 = frame.toolbar;
  CWG = frame.graph;
  Picture1 = frame.picture;
  track = frame.track;
  // The list shows "Normal" without running its action.
  track->Combo1->setCurrentIndex(0);
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
  // The whole table shows, ten Ln rows under its header, in compact rows;
  // the graph takes the height that is left.
  GridLn->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
  GridLn->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  GridLn->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  GridLn->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  GridLn->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  GridLn->setFixedHeight(11 * (metrics.height() + 6) + 2 * GridLn->frameWidth());
  GridLn->setMinimumWidth(metrics.horizontalAdvance("L(00)  ") +
                          10 * metrics.horizontalAdvance("888.8") + 2 * GridLn->frameWidth());
  CWG->setMinimumHeight(160);
  root->addWidget(GridLn);
  move(0, 0);
}

void Histogram::Show(const LevelStatistics& stats, StatResolution resolution, const LnTable& ln,
                     const std::string& source) {
  GridLn->setRowCount(1);
  CWG->SetTitle(Latin1(HistogramTitleLine(source, stats, resolution)));
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
  const std::vector<double> counts = AsValues(stats.Counts(resolution));
  CWG->Plot(counts, 1, 1);
  CWG->RescaleY();
  y_limit_ = CWG->YRange().max;
  PlaceDesignCursors(*CWG, counts, 1);
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
    // The printer dialog, which offers a PDF file where there is no printer.
    PrintGraphWindow(*this, *CWG, {}, dialogs_, printing_);
  }
}

void Histogram::ResetScale() {
  CWG->SetXRange(class_low_, class_high_ + 1);
  CWG->SetYRange(0, y_limit_);
}

}  // namespace slm
