#pragma once

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "analysis/live_chart_data.h"
#include "windows/record_list_window.h"
#include "link/meter_link.h"
#include "link/port_names.h"
#include "panel/live_acquisition.h"
#include "panel/panel_display.h"
#include "panel/pc_recorder.h"
#include "panel/reading.h"
#include "ui/clickable_label.h"
#include "ui/dialogs.h"
#include "ui/record_table.h"

namespace slm {

// The program's shared pieces the panel works with.
struct PanelContext {
  MeterLink& link;
  Reading& reading;
  Dialogs& dialogs;
  PcRecorder& recorder;
  LiveChartData& charts;
  // Ends the whole program with an exit code.
  std::function<void(int code)> exit_program;
};

inline constexpr const char* kNoDeviceFound = "No device found, try again!";
inline constexpr const char* kPanelDesignCaption = "PANEL   V10.05";
inline constexpr const char* kPanelCaption = "Panel   V10.05";
inline constexpr const char* kPanelBuildCaption = "Panel   V10.05   20160323.01";
inline constexpr const char* kRecordingMode = "Recording Mode!\nPlease stop recording!";

// The main window: the meter's front panel, its keys, the toolbar, the live
// record list and the live charts.
class Panel : public QWidget, public LinkObserver {
 public:
  Panel(PanelContext context, PortChoice choice, QWidget* parent = nullptr);
  ~Panel() override;

  // The window's start-up: opens the link (online) or leaves only "Open"
  // (offline). On failure it tells the user and ends the program; returns false.
  bool Start();

  // The live tick (every 200 ms).
  void Timer1Tick();
  // A click on one of the meter's keys (code 1..10).
  void KeyClicked(int code);
  void LblCOMClicked();
  void SSOptClicked(int index);

  // The PC sampling tick (every second).
  void Timer2Tick();
  // The toolbar, by the button's key.
  void ToolbarClicked(const QString& key);
  void CmdSaveOKClicked();
  void CmdLClicked();
  void OptSamplingClicked();
  void OptSaveListClicked();

  FileList* file_list() const { return file_list_.get(); }
  FileListReal* file_list_real() const { return file_list_real_.get(); }

  const PanelDisplay& display() const { return display_; }
  QTimer& timer1() { return Timer1; }
  QTimer& timer2() { return Timer2; }
  QAction* ToolbarButton(int index_from_1) const;

  // LinkObserver
  void LinkLost() override;
  void LinkRestored() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildFace(QWidget* face);
  void BuildDisplayParts(QWidget* lcd, QHBoxLayout* row);
  QWidget* BuildSide();
  void BuildToolbar();
  QPushButton* MakeKey(const char* name, const char* caption, int code);
  void ShowDisplay();
  void BuildRecording(QWidget* face, QVBoxLayout* layout);
  PanelCaptions Captions() const;
  void ShowRunningValues();
  void ShowRecordingState();
  void SetSaveButtonRecording(bool recording);
  void SaveCommand();
  void OpenCommand();
  void RefreshCommand();
  void SendToolbarCommand(const char* letter);
  void ShowPanelList(bool afresh);
  void Tell(const std::string& message);

  // Stops both timers for a multi-step job and puts them back as they were.
  class TimerPause {
   public:
    explicit TimerPause(Panel& panel);
    ~TimerPause();
    TimerPause(const TimerPause&) = delete;
    TimerPause& operator=(const TimerPause&) = delete;

   private:
    Panel& panel_;
    bool timer1_;
    bool timer2_;
  };
  QWidget* Board(const char* frame_name, const char* caption, QLabel*& value, const char* name);

  PanelContext context_;
  PortChoice choice_;
  LiveAcquisition live_;
  PanelDisplay display_;
  bool timer2_running_ = false;
  bool command_running_ = false;
  std::unique_ptr<FileList> file_list_;
  std::unique_ptr<FileListReal> file_list_real_;

 public:
  // Controls, named as the program names them (also their objectName).
  QTimer Timer1;
  QTimer Timer2;
  QToolBar* Toolbar1 = nullptr;
  ClickableLabel* LblCOM = nullptr;
  QLabel* OfflineSSPL = nullptr;
  QLabel* LblValue = nullptr;
  QLabel* ShownLCD = nullptr;
  QLabel* LbldB = nullptr;
  QProgressBar* SoundBar = nullptr;
  QLabel* LblBarMax = nullptr;
  QLabel* LblBarMin = nullptr;
  QLabel* LblFast = nullptr;
  QLabel* LblSlow = nullptr;
  QLabel* LblIMP = nullptr;
  QLabel* LblOver = nullptr;
  QLabel* LblUnder = nullptr;
  QLabel* LblCA = nullptr;
  QLabel* LblRun = nullptr;
  QLabel* LblPause = nullptr;
  QLabel* LblStop = nullptr;
  QLabel* BoardSFI = nullptr;
  QLabel* BoardCA = nullptr;
  QLabel* BoardLevel = nullptr;
  QLabel* BoardMaxdB = nullptr;
  QLabel* BoardMaxTime = nullptr;
  QLabel* BoardLeq = nullptr;
  QLabel* BoardSEL = nullptr;
  QPushButton* BtnCA = nullptr;
  QPushButton* BtnFastSlow = nullptr;
  QPushButton* BtnLeq = nullptr;
  QPushButton* BtnMax = nullptr;
  QPushButton* BtnPlayPause = nullptr;
  QPushButton* BtnRecord = nullptr;
  QPushButton* BtnDate = nullptr;
  QPushButton* BtnInteg = nullptr;
  QPushButton* BtnUp = nullptr;
  QPushButton* BtnDown = nullptr;
  RecordTable* GridN = nullptr;
  RecordTableModel* GridModel = nullptr;
  std::array<QRadioButton*, 3> SSOpt{};
  QWidget* CWG = nullptr;
  QWidget* CWLeq = nullptr;
  QWidget* CWSEL = nullptr;
  QWidget* CWInt = nullptr;
  QWidget* CWDec = nullptr;
  QWidget* PicErase = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* LeqLabel = nullptr;
  QLabel* SELLabel = nullptr;
  QLabel* LblFull = nullptr;
  QLabel* LblMax = nullptr;
  QLabel* LblM = nullptr;
  QLabel* LblR = nullptr;
  QLabel* LblL = nullptr;
  QLabel* LblA = nullptr;
  QLabel* LblC = nullptr;
  QLabel* LblL99 = nullptr;
  QLabel* LblL00 = nullptr;
  QFrame* Shape1 = nullptr;
  QFrame* ShBtn = nullptr;
  QGroupBox* PicSave = nullptr;
  QRadioButton* OptSampling = nullptr;
  QRadioButton* OptSaveList = nullptr;
  QPushButton* CmdSaveOK = nullptr;
  QPushButton* CmdL = nullptr;
  QLabel* LblRec = nullptr;
  QLabel* LblNo = nullptr;
  QLabel* LblCount = nullptr;
  QLabel* LblFileName = nullptr;
  QLabel* LblTimer = nullptr;
  QLabel* LblSecond = nullptr;
  QLabel* LblLeq = nullptr;
  QLabel* LblSEL = nullptr;
};

}  // namespace slm
