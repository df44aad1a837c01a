#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>
#include <memory>
#include <string>
#include <vector>

#include "analysis/live_chart_data.h"
#include "panel/live_session.h"
#include "panel/pc_recorder.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_printing.h"
#include "support/simulated_meter.h"
#include "support/temp_dir.h"
#include "ui/app_timers.h"
#include "windows/panel_window.h"

namespace slm::test {

// The panel on the simulated meter, with scripted dialogs and a clock that
// moves one second at every reading.
class PanelTest : public ::testing::Test {
 protected:
  std::unique_ptr<Panel> MakePanel(PortChoice choice) {
    return std::make_unique<Panel>(PanelContext{session_, timers_, dialogs_, printing_, ln_table_,
                                                [this](int code) { exit_codes_.push_back(code); }},
                                   choice);
  }
  std::unique_ptr<Panel> OnlinePanel() {
    auto panel = MakePanel({1, false});
    EXPECT_TRUE(panel->Start());
    return panel;
  }
  DateTime Clock() {
    const long t = seconds_++;
    return {2024,
            5,
            1,
            static_cast<int>(10 + t / 3600),
            static_cast<int>(t / 60 % 60),
            static_cast<int>(t % 60)};
  }
  template <typename T>
  T* Find(Panel& panel, const char* name) {
    T* child = panel.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QString Text(Panel& panel, const char* name) { return Find<QLabel>(panel, name)->text(); }
  bool Shown(Panel& panel, const char* name) { return !Find<QWidget>(panel, name)->isHidden(); }
  QAction* Action(Panel& panel, const char* key) { return Find<QAction>(panel, key); }

  SimulatedMeter meter_;
  Rs232 rs232_{meter_, meter_};
  MeterLink link_{meter_, rs232_};
  Reading reading_;
  ScriptedDialogs dialogs_;
  ScriptedPrinting printing_;
  LnTable ln_table_;
  // The recorder's files ("Fake", automatic saves) go to a folder of the test's own.
  TempDir dir_;
  long seconds_ = 0;
  PcRecorder recorder_{[this] { return Clock(); }, dir_.path()};
  LiveChartData charts_;
  LiveSession session_{link_, reading_, recorder_, charts_};
  AppTimers timers_;
  std::vector<int> exit_codes_;
};

// An online panel reading a steady 66.6 dB, with its ticks driven by hand.
class RunningPanelTest : public PanelTest {
 protected:
  void SetUp() override {
    panel_ = OnlinePanel();
    meter_.model().SetLevel(66.6);
    panel_->Timer1Tick();
  }
  // One second of the panel: a live tick and a sampling tick.
  void Seconds(int n) {
    for (int i = 0; i < n; ++i) {
      panel_->Timer1Tick();
      panel_->Timer2Tick();
    }
  }
  // "Save", then a recording into `path` with the filter of that index.
  void StartRecording(const std::string& path, int filter = 1) {
    panel_->ToolbarClicked("Save");
    dialogs_.files.push_back({path, filter});
    Find<QPushButton>(*panel_, "CmdSaveOK")->click();
  }
  std::unique_ptr<Panel> panel_;
};

}  // namespace slm::test
