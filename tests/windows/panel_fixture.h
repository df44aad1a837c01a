#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "analysis/live_chart_data.h"
#include "analysis/plot_axes.h"
#include "base/number_text.h"
#include "live/live_session.h"
#include "live/pc_recorder.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_printing.h"
#include "support/simulated_meter.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"
#include "ui/app_timers.h"
#include "windows/panel_window.h"

namespace slm::test {

// An axis view as "63..72".
inline std::string Span(const AxisRange& r) {
  return PlainNumberText(r.min) + ".." + PlainNumberText(r.max);
}

// The panel on the simulated meter, with scripted dialogs and the PC's
// clocks in the meter's virtual time.
class PanelTest : public ::testing::Test {
 protected:
  std::unique_ptr<Panel> MakePanel(PortChoice choice) {
    return std::make_unique<Panel>(
        PanelContext{session_, timers_, dialogs_, printing_, ln_table_,
                     [this](int code) { exit_codes_.push_back(code); }, keep_alive_},
        choice);
  }
  std::unique_ptr<Panel> OnlinePanel() {
    auto panel = MakePanel({1, false});
    EXPECT_TRUE(panel->Start());
    return panel;
  }
  // `n` seconds of the panel: each a live tick, the wait for the sampling
  // timer, a live tick and the sampling tick.
  void Seconds(Panel& panel, int n) {
    for (int i = 0; i < n; ++i) {
      panel.Timer1Tick();
      meter_.ProcessEvents(session_.MillisecondsToNextSecond() / 1000.0);
      panel.Timer1Tick();
      panel.Timer2Tick();
    }
  }
  // The program's event loop for `seconds` of virtual time: the live timer
  // every 200 ms and the sampling timer at its interval, each while it is
  // active; a click waiting runs between them, as the user's input does.
  void RunFor(Panel& panel, double seconds) {
    const double end = meter_.elapsed() + seconds;
    while (meter_.elapsed() < end) {
      const double next = std::min({next_timer1_, next_timer2_, end});
      meter_.ProcessEvents(std::max(0.0, next - meter_.elapsed()));
      if (meter_.elapsed() >= next_timer1_) {
        next_timer1_ = meter_.elapsed() + 0.2;
        if (!timers_.Timer1.isActive()) continue;
        if (click_) meter_.ClickWhenFree(std::exchange(click_, nullptr));
        panel.Timer1Tick();
      } else if (meter_.elapsed() >= next_timer2_) {
        next_timer2_ = meter_.elapsed() + timers_.Timer2.interval() / 1000.0;
        if (timers_.Timer2.isActive()) panel.Timer2Tick();
      }
    }
  }
  // A click that comes in while the next live tick waits for the meter.
  void ClickDuringLiveTick(std::function<void()> click) { click_ = std::move(click); }
  template <typename T>
  T* Find(Panel& panel, const char* name) {
    T* child = panel.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QString Text(Panel& panel, const char* name) { return Find<QLabel>(panel, name)->text(); }
  bool Shown(Panel& panel, const char* name) { return !Find<QWidget>(panel, name)->isHidden(); }
  QAction* Action(Panel& panel, const char* key) { return Find<QAction>(panel, key); }
  // The texts of the labels `names`, joined by "|".
  std::string Texts(Panel& panel, std::initializer_list<const char*> names) {
    std::string texts;
    for (const char* name : names)
      texts += (texts.empty() ? "" : "|") + Text(panel, name).toStdString();
    return texts;
  }
  // Which of `names` are shown, as "LblFast LblRun".
  std::string ShownOf(Panel& panel, std::initializer_list<const char*> names) {
    std::string shown;
    for (const char* name : names) {
      if (Shown(panel, name)) shown += (shown.empty() ? "" : " ") + std::string(name);
    }
    return shown;
  }

  SimulatedMeter meter_;
  Rs232 rs232_{meter_, meter_};
  MeterLink link_{meter_, rs232_};
  Reading reading_;
  ScriptedDialogs dialogs_;
  ScriptedPrinting printing_;
  LnTable ln_table_;
  // The recorder's files ("Fake", automatic saves) go to a folder of the test's own.
  TempDir dir_;
  VirtualClock clock_{{2024, 5, 1, 10, 0, 0}, [this] { return meter_.elapsed(); }};
  PcRecorder recorder_{clock_.Source(), dir_.path()};
  LiveChartData charts_;
  LiveSession session_{link_, reading_, recorder_, charts_};
  AppTimers timers_;
  std::vector<int> exit_codes_;
  // What the panel runs in the middle of a long job.
  std::function<void()> keep_alive_ = KeepAlive;
  std::function<void()> click_;
  double next_timer1_ = 0;
  double next_timer2_ = 0;
};

// An online panel reading a steady 66.6 dB, with its ticks driven by hand.
class RunningPanelTest : public PanelTest {
 protected:
  void SetUp() override {
    panel_ = OnlinePanel();
    meter_.model().SetLevel(66.6);
    panel_->Timer1Tick();
  }
  void Seconds(int n) { PanelTest::Seconds(*panel_, n); }
  // "Save", then a recording into `path` with the filter of that index; the
  // save box offers a recording first and goes once it is confirmed.
  void StartRecording(const std::string& path, int filter = 1) {
    panel_->ToolbarClicked("Save");
    EXPECT_TRUE(Shown(*panel_, "PicSave"));
    EXPECT_TRUE(Find<QRadioButton>(*panel_, "OptSampling")->isChecked());
    dialogs_.files.push_back({path, filter});
    Find<QPushButton>(*panel_, "CmdSaveOK")->click();
    EXPECT_FALSE(Shown(*panel_, "PicSave"));
  }
  std::unique_ptr<Panel> panel_;
};

}  // namespace slm::test
