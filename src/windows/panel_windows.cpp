// The windows the panel opens from its charts and its list windows: the
// time plots, the histograms and the level statistics.
#include "platform/widget_text.h"
#include "windows/list_report_printer.h"
#include "windows/panel_window.h"
#include "windows/placement.h"

namespace slm {

inline constexpr const char* kNothingToCount =
    "The list holds no level to count: every record is marked \"*\" or there is none.";

void Panel::ConnectListWindow(RecordListWindow& window) {
  window.on_plot = [this](const RecordList& list) { PlotList(list); };
  window.on_statistics = [this, &window](StatResolution resolution) {
    ComputeStatistics(window, resolution);
  };
  window.on_print = [this, &window] {
    PrintListReport(window, context_.dialogs, context_.printing, context_.keep_alive);
  };
}

void Panel::ShowBeside(QWidget& window) {
  window.show();
  PlaceBesidePanel(window, *this);
}

void Panel::OpenLiveTimePlotWindow(LiveSeries series) {
  // Opened afresh each time: a snapshot of the samples so far.
  real_time_graph_.reset();
  real_time_graph_ = std::make_unique<RealTimeGraph>(context_.dialogs, context_.printing);
  real_time_graph_->Open(OpenLiveTimePlot(session_.charts(), series));
  ShowBeside(*real_time_graph_);
}

void Panel::PlotList(const RecordList& list) {
  // Sampling goes on while the levels are classified.
  const QString caption = windowTitle();
  const LevelColumnPlot plot = PlotLevelColumn(list, [this](std::size_t row) {
    setWindowTitle(Latin1(PlotProgressCaption(row)));
    context_.keep_alive();
  });
  if (!plot_ || !plot_->isVisible()) {
    plot_ = std::make_unique<Plot>(context_.dialogs, context_.printing);
    PlaceBesidePanel(*plot_, *this);
  }
  plot_->Show(plot);
  setWindowTitle(caption);
}

void Panel::OpenLiveHistogramWindow(StatResolution resolution) {
  // Opened afresh each time: a snapshot of the counts so far.
  real_histogram_.reset();
  real_histogram_ = std::make_unique<RealHistogram>(context_.dialogs, context_.printing);
  real_histogram_->Open(session_.charts(), resolution);
  ShowBeside(*real_histogram_);
}

void Panel::ComputeStatistics(RecordListWindow& window, StatResolution resolution) {
  // Sampling goes on while the levels are counted.
  const QString caption = window.windowTitle();
  const bool memory_set = window.kind() == RecordListWindow::Kind::kFileList;
  const LevelStatistics stats =
      ComputeLevelStatistics(window.list(), resolution, LnSourceFor(memory_set, resolution),
                             context_.ln_table, [this, &window](const std::string& progress) {
                               window.setWindowTitle(Latin1(progress));
                               context_.keep_alive();
                             });
  histogram_.reset();
  histogram_ = std::make_unique<Histogram>(context_.dialogs, context_.printing);
  histogram_->Show(stats, resolution, context_.ln_table);
  ShowBeside(*histogram_);
  window.PicResolution->hide();
  window.setWindowTitle(caption);
  if (!stats.counted) context_.dialogs.Message(kNothingToCount, MessageIcon::kInformation);
}

}  // namespace slm
