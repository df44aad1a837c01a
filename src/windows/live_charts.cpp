#include "windows/live_charts.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "qt/widget_text.h"

namespace slm {

namespace {

// How many samples a strip chart keeps in sight.
constexpr int kStripSpan = 120;

Graph* Chart(QWidget* parent, const char* name, const QString& y_caption, Graph::Style style) {
  auto* graph = new Graph(parent, style);
  graph->setObjectName(name);
  graph->setAccessibleName(y_caption);
  graph->SetYCaption(y_caption);
  graph->setMinimumHeight(110);
  return graph;
}

// Counts drawn from 0 to a little above the highest.
template <typename Counts>
void PlotCounts(Graph& graph, const Counts& counts, std::vector<double>& buffer) {
  double highest = 0;
  for (size_t k = 0; k < counts.size(); ++k) {
    buffer[k] = static_cast<double>(counts[k]);
    highest = std::max(highest, buffer[k]);
  }
  graph.SetYRange(0, std::max(1.0, highest * 1.1));
  graph.Plot(buffer, 0, 1);
}

}  // namespace

LiveCharts::LiveCharts(QWidget* parent)
    : QWidget(parent), coarse_(kCoarseClassCount), fine_(kFineClassCount) {
  setObjectName("LiveCharts");
  auto* charts = new QVBoxLayout(this);
  charts->setContentsMargins(0, 0, 0, 0);
  auto* choice = new QHBoxLayout;
  const char* const captions[3] = {"SPL", "Leq", "SEL"};
  for (int i = 0; i < 3; ++i) {
    auto* option = new QRadioButton(captions[i], this);
    option->setObjectName(QString("SSOpt(%1)").arg(i));
    QObject::connect(option, &QRadioButton::clicked, this, [this, i] { Choose(i); });
    SSOpt[static_cast<size_t>(i)] = option;
    choice->addWidget(option);
  }
  SSOpt[0]->setChecked(true);
  choice->addStretch();
  charts->addLayout(choice);
  CWG = Chart(this, "CWG", "SPL (dB)", Graph::Style::kLine);
  CWLeq = Chart(this, "CWLeq", "Leq (dB)", Graph::Style::kLine);
  CWSEL = Chart(this, "CWSEL", "SEL (dB)", Graph::Style::kLine);
  const std::pair<Graph*, LiveSeries> strips[] = {
      {CWG, LiveSeries::kLevel}, {CWLeq, LiveSeries::kLeq}, {CWSEL, LiveSeries::kSel}};
  for (const auto& [graph, series] : strips) {
    graph->SetStripSpan(kStripSpan);
    graph->on_clicked = [this, series = series] {
      if (on_open_series) on_open_series(series);
    };
    // Two thirds of the height for the strip chart, one for the histogram:
    // Qt fills a shape taller than about 96 rows across its thread pool,
    // which costs several times more than it saves on a small machine, so
    // the histogram's bars stay below that at the panel's usual size.
    charts->addWidget(graph, 2);
  }
  CWLeq->hide();
  CWSEL->hide();
  auto* histograms = new QHBoxLayout;
  CWInt = Chart(this, "CWInt", "Frequency (Times)", Graph::Style::kBars);
  CWDec = Chart(this, "CWDec", "Frequency (Times)", Graph::Style::kBars);
  CWDec->SetXLabelFormat(LabelFormat::kTenths);
  const std::pair<Graph*, StatResolution> bars[] = {{CWInt, StatResolution::kWhole},
                                                    {CWDec, StatResolution::kTenth}};
  for (const auto& [graph, resolution] : bars) {
    graph->SetXCaption("dB");
    graph->SetYScale(AxisScale::kWhole);  // counts: no tick at 0.25
    graph->on_clicked = [this, resolution = resolution] {
      if (on_open_histogram) on_open_histogram(resolution);
    };
    histograms->addWidget(graph);
  }
  charts->addLayout(histograms, 1);
}

void LiveCharts::Choose(int index) {
  SSOpt[static_cast<size_t>(index)]->setChecked(true);
  CWG->setVisible(index == 0);
  CWLeq->setVisible(index == 1);
  CWSEL->setVisible(index == 2);
}

void LiveCharts::Show(const LiveChartUpdate& update, const LiveChartData& data) {
  CWG->Append(update.level);
  CWG->SetYRange(update.level_y.min, update.level_y.max);
  CWLeq->Append(update.leq);
  CWLeq->SetYRange(update.leq_y.min, update.leq_y.max);
  CWSEL->Append(update.sel);
  CWSEL->SetYRange(update.sel_y.min, update.sel_y.max);
  CWInt->SetXRange(update.coarse_range.min, update.coarse_range.max);
  PlotCounts(*CWInt, data.coarse_counts(), coarse_);
  CWDec->SetXRange(update.fine_range.min, update.fine_range.max);
  PlotCounts(*CWDec, data.fine_counts(), fine_);
  CWDec->setVisible(update.fine_visible);
  CWInt->setVisible(!update.fine_visible);
}

void LiveCharts::ClearAfterLinkLoss() {
  for (Graph* g : {CWG, CWInt, CWDec}) g->Clear();
}

void LiveCharts::ClearAll() {
  for (Graph* g : {CWG, CWLeq, CWSEL, CWInt, CWDec}) g->Clear();
}

}  // namespace slm
