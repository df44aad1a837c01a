#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "analysis/level_statistics.h"
#include "analysis/live_chart_data.h"
#include "analysis/time_plot.h"
#include "files/data_file_reader.h"
#include "ui/dialogs.h"
#include "ui/printing.h"
#include "windows/assessment_window.h"
#include "windows/histogram_window.h"
#include "windows/manual_window.h"
#include "windows/record_list_window.h"
#include "windows/time_plot_window.h"

namespace slm {

// The windows the panel opens for lists, plots and histograms, each placed
// beside the panel: a list read from a file, its plot, its statistics and
// report, and snapshots of the panel's live charts. Each is opened afresh,
// but for the "Plot", which is reused while it is open; Assessment windows
// stay open side by side, each until it is closed.
class PanelWindows {
 public:
  PanelWindows(QWidget& panel, Dialogs& dialogs, Printing& printing, LnTable& ln_table,
               const LiveChartData& charts, std::function<void()> keep_alive);
  ~PanelWindows();
  PanelWindows(const PanelWindows&) = delete;
  PanelWindows& operator=(const PanelWindows&) = delete;

  // "Open": the file's list, read from `path`, in the window of its kind.
  void ShowFile(DataFile file, const std::string& path = {});
  // A click on a strip chart: a "Real Time Graph" of that series so far.
  void OpenLiveTimePlot(LiveSeries series);
  // A click on a live histogram: a "Histogram" of the counts so far.
  void OpenLiveHistogram(StatResolution resolution);
  // A list window's "Plot": its levels in the "Plot" window.
  // The plot of a list, titled after the list's window and placed beside it.
  void PlotList(const RecordList& list, const QWidget* from = nullptr);
  // A list window's "0.1 dB" or "1 dB": the statistics in a "Histogram".
  void ComputeStatistics(RecordListWindow& window, StatResolution resolution);
  // A list window's "Assess" (Ctrl+E): its list in an Assessment window
  // placed beside it.
  void AssessList(RecordListWindow& window);
  // File > "Assess Files...": several data files as one measurement.
  void AssessFiles();
  // Lets `window`'s "Assess" open its list here.
  void ConnectAssess(RecordListWindow& window);
  // Shows `window` beside the panel, clear of its level display.
  void ShowBeside(QWidget& window);
  // Help > Manual (F1 in any window).
  void ShowManual();
  void CloseAll();

  FileList* file_list() const { return file_list_.get(); }
  FileListReal* file_list_real() const { return file_list_real_.get(); }
  RealTimeGraph* real_time_graph() const { return real_time_graph_.get(); }
  Plot* plot() const { return plot_.get(); }
  RealHistogram* real_histogram() const { return real_histogram_.get(); }
  Histogram* histogram() const { return histogram_.get(); }
  ManualWindow* manual() const { return manual_.get(); }
  // The Assessment windows open, the newest last, and the newest of them.
  std::vector<AssessmentWindow*> assessments() const;
  AssessmentWindow* assessment() const;

 private:
  void Connect(RecordListWindow& window);
  // Shows `document` in the Assessment window, placed by `place`, and tells
  // what of its files could not be read (`notes`).
  void ShowAssessment(std::unique_ptr<AssessmentDocument> document,
                      const std::vector<std::string>& notes,
                      const std::function<void(QWidget&)>& place);

  QWidget& panel_;
  Dialogs& dialogs_;
  Printing& printing_;
  LnTable& ln_table_;
  const LiveChartData& charts_;
  std::function<void()> keep_alive_;
  std::unique_ptr<FileList> file_list_;
  std::unique_ptr<FileListReal> file_list_real_;
  std::unique_ptr<RealTimeGraph> real_time_graph_;
  std::unique_ptr<Plot> plot_;
  std::unique_ptr<RealHistogram> real_histogram_;
  std::unique_ptr<Histogram> histogram_;
  std::unique_ptr<ManualWindow> manual_;
  // Each goes when it is closed.
  std::vector<QPointer<AssessmentWindow>> assessments_;
  ManualKey manual_key_{[this](const QWidget& window) { slm::ShowManual(manual_, window); }};
};

}  // namespace slm
