#pragma once

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QToolBar>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/port_names.h"
#include "panel/live_session.h"
#include "ui/app_timers.h"
#include "ui/dialogs.h"
#include "ui/keep_alive.h"
#include "ui/printing.h"
#include "ui/record_table.h"
#include "windows/histogram_window.h"
#include "windows/live_charts.h"
#include "windows/memory_window.h"
#include "windows/meter_face.h"
#include "windows/record_list_window.h"
#include "windows/recording_strip.h"
#include "windows/sampling_choice.h"
#include "windows/setup_window.h"
#include "windows/status_strip.h"
#include "windows/time_plot_window.h"

namespace slm {

// The program's shared pieces the panel works with.
struct PanelContext {
  LiveSession& session;
  AppTimers& timers;
  Dialogs& dialogs;
  Printing& printing;
  // L0 to L99 of the last statistics run; kept from one run to the next.
  LnTable& ln_table;
  // Ends the whole program with an exit code.
  std::function<void(int code)> exit_program;
  // Lets timers and paints run during a long job (the user's input waits),
  // so that sampling goes on and the window shows its progress.
  std::function<void()> keep_alive = KeepAlive;
};

inline constexpr const char* kPanelDesignCaption = "PANEL   V10.05";
inline constexpr const char* kPanelCaption = "Panel   V10.05";
inline constexpr const char* kPanelBuildCaption = "Panel   V10.05   20160323.01";
inline constexpr const char* kRecordingMode = "Recording Mode!\nPlease stop recording!";

// The main window: the meter's face and keys, the toolbar, the running
// values, the live record list and the live charts.
class Panel : public QWidget, public LiveSessionView {
 public:
  Panel(PanelContext context, PortChoice choice, QWidget* parent = nullptr);
  ~Panel() override;

  // The window's start-up: opens the link (online) or leaves only "Open"
  // (offline). On failure it tells the user and ends the program; returns
  // false. Call it before showing the window.
  bool Start();

  // The live tick (Timer1, every 200 ms).
  void Timer1Tick();
  // The PC sampling tick (Timer2, every second).
  void Timer2Tick();
  // A click on one of the meter's keys (code 1..10).
  void KeyClicked(int code);
  void LblCOMClicked();
  // The toolbar, by the button's key.
  void ToolbarClicked(const QString& key);

  FileList* file_list() const { return file_list_.get(); }
  FileListReal* file_list_real() const { return file_list_real_.get(); }
  RealTimeGraph* real_time_graph() const { return real_time_graph_.get(); }
  Plot* plot() const { return plot_.get(); }
  // A click on a strip chart: a fresh "Real Time Graph" of that series.
  // Shows `window` beside the panel, clear of its level display.
  void ShowBeside(QWidget& window);
  void OpenLiveTimePlotWindow(LiveSeries series);
  // A list window's "Plot": its levels in the "Plot" window, reused while open.
  void PlotList(const RecordList& list);
  // A click on a panel histogram: a fresh live "Histogram" at its resolution.
  void OpenLiveHistogramWindow(StatResolution resolution);
  // A list window's "0.1 dB" or "1 dB": the statistics, shown in a fresh
  // "Histogram" with the Ln table.
  void ComputeStatistics(RecordListWindow& window, StatResolution resolution);
  RealHistogram* real_histogram() const { return real_histogram_.get(); }
  Histogram* histogram() const { return histogram_.get(); }
  QTimer& timer1() { return context_.timers.Timer1; }
  QTimer& timer2() { return context_.timers.Timer2; }
  QAction* ToolbarButton(int index_from_1) const;

  // The meter's data logger (panel_logger.cpp).
  MemoryWindow* memory_window() const { return memory_.get(); }
  bool MemoryWindowOpen() const { return memory_ && memory_->isVisible(); }
  DataList* data_list() const { return data_list_.get(); }
  SamplingChoice* sampling_choice() const { return sampling_choice_.get(); }
  SetupWindow* setup_window() const { return setup_.get(); }
  // A click on a set of the Memory window: downloads it into a fresh DataList.
  void DownloadMemorySet(int row);
  // The erase picker's entry `index` (0 "Exit", 1 "All", then the sets).
  void EraseChosen(int index);
  // What "OK" of the sampling choice does with the chosen option.
  void SamplingChosen(SamplingOption option);
  // The step between downloaded records, in the meter's records (1..255).
  int LoggerInterval() const { return logger_interval_; }
  // The PC clock the Setup window shows and sets the meter to.
  SetupWindow::ClockFn pc_clock = SystemDateTime;

  // Reads the data file at `path` into its list window, as "Open" does with
  // the file the user picks (also a file dropped on the panel).
  void OpenPath(const std::string& path);
  // Help > About (F1): the program's version.
  void ShowAbout();
  // Closes the panel without asking anything (a stop signal): a running
  // recording is ended into its file.
  void CloseForSignal();

  // LiveSessionView
  void ShowLinkLost(const LinkLossReport& report) override;
  void ShowLinkRestored() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildToolbar();
  // The menu bar, the shortcuts and dropped files (panel_menu.cpp).
  void BuildMenuAndKeys();
  // File > Open Recent, kept in the user's settings (panel_menu.cpp).
  void BuildRecentMenu(QMenu* file);
  void ShowRecentFiles();
  void OpenRecentFile(const std::string& path);
  void AddRecentFile(const std::string& path);
  QMenu* recent_menu_ = nullptr;
  // View: the live chart shown and full screen (panel_menu.cpp).
  void BuildViewMenu();
  QWidget* BuildSide();
  QWidget* Board(const char* frame_name, const char* caption, QLabel*& value, const char* name);
  void ShowDisplay();
  void ShowRunningValues();
  void ShowRecordingState();
  void ShowPanelList(bool afresh);
  void SetSaveButtonRecording(bool recording);
  void SaveCommand();
  void CmdSaveOKClicked();
  void OpenCommand();
  void RefreshCommand();
  void ConnectListWindow(RecordListWindow& window);
  void SendToolbarCommand(std::string_view letter);
  void CmdLClicked();
  QWidget* BuildErasePicker(QWidget* parent);
  // The meter's memory directory, or nothing when the meter did not answer
  // (which the user is told).
  std::optional<MemoryDirectory> ReadDirectory();
  // True when no recording runs, or the user agrees that `job`, which needs
  // the meter, leaves a gap in it.
  bool MayPauseRecording(const char* job);
  void MemoryCommand();
  void EraseCommand();
  void SamplingCommand();
  void RtcCommand();
  void CloseLoggerWindows();
  // A download a stop signal ended: what arrived whole goes to a file of its
  // own in the working folder, and stderr says where.
  void KeepStoppedDownload(const DownloadedSet& set, int position, const std::string& ended);
  void Tell(const std::string& message);
  // The status strip and the notices (panel_feedback.cpp).
  void AddStatusStrip(QBoxLayout* root);
  PanelState State() const;
  void ShowStatus();
  void Note(const std::string& message);
  void NoteFinishedRecording();
  void DisableMeterControls();

  PanelContext context_;
  LiveSession& session_;
  PortChoice choice_;
  bool command_running_ = false;
  QString saved_caption_;
  bool keys_running_ = false;
  std::deque<int> pending_keys_;
  std::unique_ptr<FileList> file_list_;
  std::unique_ptr<FileListReal> file_list_real_;
  std::unique_ptr<RealTimeGraph> real_time_graph_;
  std::unique_ptr<Plot> plot_;
  std::unique_ptr<RealHistogram> real_histogram_;
  std::unique_ptr<Histogram> histogram_;
  std::unique_ptr<MemoryWindow> memory_;
  std::unique_ptr<DataList> data_list_;
  std::unique_ptr<SamplingChoice> sampling_choice_;
  std::unique_ptr<SetupWindow> setup_;
  // The directory the erase picker offers.
  MemoryDirectory erase_directory_;
  // A stop signal came: a running download ends at once.
  bool stop_requested_ = false;
  int logger_interval_ = 1;
  std::string last_message_;
  bool closing_for_signal_ = false;

 public:
  // The panel's parts and controls, named as the program names them (also
  // their objectName).
  MeterFace* face = nullptr;
  RecordingStrip* strip = nullptr;
  StatusStrip* status_strip = nullptr;
  LiveCharts* charts = nullptr;
  QToolBar* Toolbar1 = nullptr;
  QMenuBar* MenuBar = nullptr;
  QLabel* BoardSFI = nullptr;
  QLabel* BoardCA = nullptr;
  QLabel* BoardLevel = nullptr;
  QLabel* BoardMaxdB = nullptr;
  QLabel* BoardMaxTime = nullptr;
  QLabel* BoardLeq = nullptr;
  QLabel* BoardSEL = nullptr;
  RecordTable* GridN = nullptr;
  RecordTableModel* GridModel = nullptr;
  QWidget* PicErase = nullptr;
  QComboBox* ComboErase = nullptr;
};

// Makes the panel for the user's choice and starts it. The window shows only
// when the start-up succeeded, so that a port that cannot be opened is said
// before any panel appears; then nothing is returned.
std::unique_ptr<Panel> OpenPanel(PanelContext context, PortChoice choice);

}  // namespace slm
