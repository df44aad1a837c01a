#pragma once

#include <QComboBox>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "live/live_session.h"
#include "logger/meter_logger.h"
#include "ui/app_timers.h"
#include "ui/dialogs.h"
#include "windows/memory_window.h"
#include "windows/record_list_window.h"
#include "windows/sampling_choice.h"
#include "windows/setup_window.h"

namespace slm {

// The panel's commands for the meter's data logger: the memory directory
// and the download of a set, erasing, the sampling times and the meter's
// clock. They keep their own state (the directory the erase picker offers,
// the step between downloaded records, the windows they open) and run one
// exchange with the meter at a time.
class LoggerCommands {
 public:
  // How the commands reach the user through the panel.
  struct Panel {
    std::function<void(const std::string&)> tell;    // a message box, kept as the last message
    std::function<void(const std::string&)> note;    // a notice that does not wait
    std::function<void(const std::string&)> remark;  // the last message only, no box
    std::function<void(QWidget&)> show_beside;       // places a window beside the panel
  };

  LoggerCommands(LiveSession& session, AppTimers& timers, Dialogs& dialogs, Panel panel);
  ~LoggerCommands();
  LoggerCommands(const LoggerCommands&) = delete;
  LoggerCommands& operator=(const LoggerCommands&) = delete;

  // The erase picker shown under the toolbar ("Exit", "All", then the sets).
  QWidget* BuildErasePicker(QWidget* parent);

  // The toolbar's "Memory", "Erase", "Sampling" and "RTC".
  void Memory();
  void Erase();
  void Sampling();
  void Rtc();
  // A click on a set of the Memory window: downloads it into a fresh DataList.
  void DownloadMemorySet(int row);
  // The erase picker's entry `index` (0 "Exit", 1 "All", then the sets).
  void EraseChosen(int index);
  // What "OK" of the sampling choice does with the chosen option.
  void SamplingChosen(SamplingOption option);

  // A stop signal: a running download ends at once and keeps what arrived.
  void Stop() { stop_requested_ = true; }
  // An exchange with the meter is under way.
  bool busy() const { return running_; }
  void HidePicker() { picker_->hide(); }
  void CloseWindows();

  // The step between downloaded records, in the meter's records (1..255).
  int interval() const { return interval_; }
  MemoryWindow* memory_window() const { return memory_.get(); }
  bool MemoryWindowOpen() const { return memory_ && memory_->isVisible(); }
  DataList* data_list() const { return data_list_.get(); }
  SamplingChoice* sampling_choice() const { return sampling_choice_.get(); }
  SetupWindow* setup_window() const { return setup_.get(); }
  QComboBox* combo() const { return combo_; }
  // The PC clock the Setup window shows and sets the meter to.
  SetupWindow::ClockFn pc_clock = SystemDateTime;

 private:
  // The meter's memory directory, or nothing when the meter did not answer
  // (which the user is told).
  std::optional<MemoryDirectory> ReadDirectory();
  // True when no recording runs, or the user agrees that `job`, which needs
  // the meter, leaves a gap in it.
  bool MayPauseRecording(const char* job);
  // A download a stop signal ended: what arrived whole goes to a file of its
  // own in the working folder, and stderr says where.
  void KeepStoppedDownload(const DownloadedSet& set, int position, const std::string& ended);

  LiveSession& session_;
  AppTimers& timers_;
  Dialogs& dialogs_;
  Panel panel_;
  bool running_ = false;
  bool stop_requested_ = false;
  int interval_ = 1;
  MemoryDirectory erase_directory_;
  QWidget* picker_ = nullptr;
  QComboBox* combo_ = nullptr;
  std::unique_ptr<MemoryWindow> memory_;
  std::unique_ptr<DataList> data_list_;
  std::unique_ptr<SamplingChoice> sampling_choice_;
  std::unique_ptr<SetupWindow> setup_;
};

}  // namespace slm
