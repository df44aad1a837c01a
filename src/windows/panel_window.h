#pragma once

#include <QAction>
#include <QBoxLayout>
#include <QToolBar>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "link/port_names.h"
#include "live/live_session.h"
#include "live/notices.h"
#include "station/panel_figures.h"
#include "ui/app_timers.h"
#include "ui/dialogs.h"
#include "ui/keep_alive.h"
#include "ui/printing.h"
#include "windows/logger_commands.h"
#include "windows/meter_face.h"
#include "windows/panel_menu.h"
#include "windows/panel_windows.h"
#include "windows/recording_strip.h"
#include "windows/side_column.h"
#include "windows/status_strip.h"

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

inline constexpr const char* kRecordingMode = "Recording Mode!\nPlease stop recording!";
inline constexpr const char* kStopRecordingQuestion =
    "Stop the recording and save it?\nNo keeps it running.";

// The main window: the meter's face and keys, the toolbar, the running
// values, the live list and charts, and the two timers' ticks. The windows it
// opens belong to PanelWindows, the data logger's commands to LoggerCommands.
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
  // The sampling tick (Timer2, as each second of the sampling falls due).
  void Timer2Tick();
  // A click on one of the meter's keys (code 1..10).
  void KeyClicked(int code);
  void LblCOMClicked();
  // The toolbar, by the button's key.
  void ToolbarClicked(const QString& key);
  QAction* ToolbarButton(int index_from_1) const;
  // Reads the data file at `path` into its list window, as "Open" does with
  // the file the user picks (also a file dropped on the panel).
  void OpenPath(const std::string& path);
  // Help > About: the program's version and the panel's build.
  void ShowAbout();
  // Closes the panel without asking anything (a stop signal): a running
  // recording is ended into its file, a running download stops.
  void CloseForSignal();

  PanelWindows& windows() { return windows_; }
  LoggerCommands& logger() { return logger_; }
  QTimer& timer1() { return context_.timers.Timer1; }
  QTimer& timer2() { return context_.timers.Timer2; }

  // LiveSessionView
  void ShowLinkLost(const LinkLossReport& report) override;
  void ShowLinkRestored() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildToolbar();
  void BuildMenu();
  void ShowRecordingState();
  void SetSaveButtonRecording(bool recording);
  void SaveCommand();
  void CmdSaveOKClicked();
  void OpenCommand();
  void RefreshCommand();
  void SendToolbarCommand(std::string_view letter);
  void CmdLClicked();
  // The status strip and the notices (panel_feedback.cpp).
  PanelState State() const;
  void ShowStatus();
  // A message box, kept as the last message.
  void Tell(const std::string& message);
  // A notice that does not wait for the user, kept as the last message.
  void Note(const std::string& message);
  void Remark(const std::string& message);
  void NoteFinishedRecording();
  // Enables what needs the meter while it answers, else says why not.
  void ShowMeterReach();
  // The live assessment of the samples at the PC clock's time now.
  void ShowFigures();

  PanelContext context_;
  LiveSession& session_;
  PortChoice choice_;
  PanelWindows windows_;
  LoggerCommands logger_;
  bool command_running_ = false;
  QString saved_caption_;
  bool keys_running_ = false;
  std::deque<int> pending_keys_;
  // What a station would work out of the panel's samples, with the
  // Assessment window's settings.
  PanelFigures figures_;
  std::string last_message_;
  bool closing_for_signal_ = false;
  // The face and the column: side by side, or one below the other when narrow.
  QBoxLayout* body_ = nullptr;

 public:
  // The panel's parts, named as the program names them (also their objectName).
  MeterFace* face = nullptr;
  RecordingStrip* strip = nullptr;
  SideColumn* side = nullptr;
  StatusStrip* status_strip = nullptr;
  QToolBar* Toolbar1 = nullptr;
  PanelMenu* menu = nullptr;
};

// Makes the panel for the user's choice and starts it. The window shows only
// when the start-up succeeded, so that a port that cannot be opened is said
// before any panel appears; then nothing is returned.
std::unique_ptr<Panel> OpenPanel(PanelContext context, PortChoice choice);

}  // namespace slm
