#include "windows/panel_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <algorithm>
#include <tuple>
#include <vector>

#include "link/meter.h"
#include "windows/panel_fixture.h"

namespace slm {
namespace {

using test::PanelTest;

class PanelWindow : public PanelTest {
 protected:
  void SetUp() override { panel_ = OnlinePanel(); }
  std::unique_ptr<Panel> panel_;
};

const std::initializer_list<const char*> kIndicators = {
    "LblFast", "LblSlow", "LblIMP", "LblOver", "LblUnder", "LblRun", "LblPause", "LblStop"};

TEST_F(PanelWindow, FrameReachesEveryIndicator) {
  meter_.model().SetLevel(150.0);
  meter_.model().SetRangeCode(0);
  meter_.model().SetTimeCode(0);
  meter_.model().SetFrequencyCode(1);
  meter_.model().SetRun(true);
  panel_->Timer1Tick();

  EXPECT_EQ(Texts(*panel_, {"LblValue", "ShownLCD", "LblBarMax", "LblBarMin", "BoardLevel",
                            "BoardSFI", "BoardCA", "LblCA"}),
            "150.0|150.0|140|80|80-140|FAST|C|C");
  auto* bar = Find<QProgressBar>(*panel_, "SoundBar");
  EXPECT_EQ(bar->value(), bar->maximum());
  // 150 dB is above the 140 dB range.
  EXPECT_EQ(ShownOf(*panel_, kIndicators), "LblFast LblOver LblRun");

  // A level below the range shows as the bottom of the bar.
  meter_.model().SetLevel(20.0);
  meter_.model().ForceOver(false);
  meter_.model().ForceUnder(true);
  panel_->Timer1Tick();
  EXPECT_EQ(bar->value(), bar->minimum());
  EXPECT_EQ(ShownOf(*panel_, kIndicators), "LblFast LblUnder LblRun");
}

TEST_F(PanelWindow, UpAndDownAtTheRangeEnds) {
  using Case = std::tuple<int, const char*, bool, bool>;  // code, range, Up, Down
  for (const auto& [code, range, up, down] :
       {Case{0, "80-140", false, true}, Case{5, "30-90", true, false},
        Case{2, "60-120", true, true}}) {
    meter_.model().SetRangeCode(code);
    panel_->Timer1Tick();
    EXPECT_EQ(Text(*panel_, "BoardLevel"), range);
    EXPECT_EQ(Action(*panel_, "Up")->isEnabled(), up) << range;
    EXPECT_EQ(Action(*panel_, "Down")->isEnabled(), down) << range;
  }
}

TEST_F(PanelWindow, NoTimeWeightingKeepsTheIndicators) {
  meter_.model().SetTimeCode(1);
  panel_->Timer1Tick();
  EXPECT_TRUE(Shown(*panel_, "LblSlow"));
  meter_.model().SetTimeCode(3);
  panel_->Timer1Tick();
  EXPECT_EQ(ShownOf(*panel_, {"LblFast", "LblSlow", "LblIMP"}), "LblSlow");
  EXPECT_EQ(Text(*panel_, "BoardSFI"), "");
}

TEST_F(PanelWindow, FilterBlinksTheWeightingLetter) {
  meter_.model().SetFrequencyCode(3);
  std::vector<bool> seen;
  for (int i = 0; i < 3; ++i) {
    panel_->Timer1Tick();
    seen.push_back(Shown(*panel_, "LblCA"));
    EXPECT_EQ(Text(*panel_, "LblCA"), "A");
    EXPECT_EQ(Text(*panel_, "BoardCA"), "20-200Hz Filter");
  }
  EXPECT_NE(seen[0], seen[1]);
  EXPECT_EQ(seen[0], seen[2]);
  meter_.model().SetFrequencyCode(0);
  panel_->Timer1Tick();
  EXPECT_TRUE(Shown(*panel_, "LblCA"));
  EXPECT_EQ(Text(*panel_, "BoardCA"), "A");
}

// Offline only "Open" works; every meter control is disabled and says why.
TEST_F(PanelTest, OfflineLeavesOnlyOpenAndWritesNothing) {
  auto panel = MakePanel({0, true});
  EXPECT_TRUE(panel->Start());
  for (QAction* action : Find<QToolBar>(*panel, "Toolbar1")->actions()) {
    EXPECT_EQ(action->isEnabled(), action->objectName() == "Open")
        << action->objectName().toStdString();
  }
  for (QAction* action : Find<QMenu>(*panel, "MenuMeter")->actions()) {
    EXPECT_TRUE(action->isVisible()) << action->text().toStdString();
    EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    EXPECT_TRUE(action->toolTip().startsWith("Offline Mode")) << action->text().toStdString();
  }
  ASSERT_EQ(panel->face->keys.size(), 10u);
  for (QPushButton* key : panel->face->keys) {
    EXPECT_FALSE(key->isEnabled()) << key->objectName().toStdString();
    EXPECT_TRUE(key->toolTip().startsWith("Offline Mode: no meter is connected"));
  }
  for (const char* name : {"CmdL", "PicSave"}) {
    EXPECT_FALSE(Find<QWidget>(*panel, name)->isEnabled()) << name;
    EXPECT_EQ(Find<QWidget>(*panel, name)->toolTip(), "Offline Mode: no meter is connected.");
  }
  EXPECT_TRUE(Shown(*panel, "OfflineSSPL"));
  EXPECT_EQ(Texts(*panel, {"LblCOM", "LblPortState", "LblRecordingState"}),
            "No COM|Offline|Not recording");
  EXPECT_FALSE(panel->timer1().isActive());
  EXPECT_FALSE(panel->timer2().isActive());
  Find<QPushButton>(*panel, "BtnUp")->click();
  EXPECT_TRUE(meter_.writes().empty());
  EXPECT_EQ(meter_.open_count(), 0);
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(exit_codes_.empty());
}

// The program's own words first, then why; said before any panel shows.
TEST_F(PanelTest, PortThatCannotBeOpenedEndsTheProgram) {
  meter_.SetOpenFails(true);
  bool panel_visible = false;
  dialogs_.on_message = [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == "Panel" && w->isVisible()) panel_visible = true;
    }
  };
  auto panel = OpenPanel(PanelContext{session_, timers_, dialogs_, printing_, ln_table_,
                                      [this](int code) { exit_codes_.push_back(code); }},
                         {16, false});
  EXPECT_EQ(panel, nullptr);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text.rfind(std::string(kNoDeviceFound) + "\n", 0), 0u);
  EXPECT_NE(dialogs_.messages[0].text.find("COM16"), std::string::npos);
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kCritical);
  EXPECT_FALSE(panel_visible);
  EXPECT_EQ(exit_codes_, std::vector<int>{1});
  EXPECT_FALSE(timers_.Timer1.isActive());
}

TEST_F(PanelWindow, PortLabelClicksSwitchTheCaption) {
  EXPECT_EQ(panel_->windowTitle(), "Panel");
  EXPECT_EQ(Text(*panel_, "LblCOM"), "COM1");
  panel_->LblCOMClicked();
  EXPECT_EQ(panel_->windowTitle(), "Panel V10.05 20160323.01");
  panel_->LblCOMClicked();
  EXPECT_EQ(panel_->windowTitle(), "Panel");
}

TEST_F(PanelWindow, AKeyClickedDuringAnotherHandshakeWaitsItsTurn) {
  // The second click comes while the first key's handshake waits for the meter.
  meter_.At(meter_.elapsed() + 0.1, [&] { Find<QPushButton>(*panel_, "BtnDown")->click(); });
  Find<QPushButton>(*panel_, "BtnUp")->click();
  std::vector<Bytes> keys;
  for (const Bytes& w : meter_.writes()) {
    if (!w.empty() && w[0] == 'K') keys.push_back(w);
  }
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0], MakeBytes({0x4B, 0x00, 0x00, 0x09}));
  EXPECT_EQ(keys[1], MakeBytes({0x4B, 0x00, 0x00, 0x0A}));
  EXPECT_TRUE(dialogs_.messages.empty());
}

// Each key's letter is the menus test's (the menu items are the toolbar's
// actions); the timers wait only while the letter goes.
TEST_F(PanelWindow, AToolbarKeyLeavesTheTimersRunning) {
  panel_->ToolbarClicked("FSI");
  EXPECT_EQ(meter_.writes().back(), "D");
  EXPECT_TRUE(panel_->timer1().isActive() && panel_->timer2().isActive());
}

// The face's keys in order, captioned as the meter's own, press its keys 1 to 10.
TEST_F(PanelWindow, EachMeterKeySendsItsOwnCode) {
  const char* const captions[] = {
      "A / C",        "Fast/Slow/Imp", "Leq SEL SPL", "Max Min Inst", "Run Pause Stop",
      "Record Erase", "Date Time",     "Integ Time",  "Up",           "Down"};
  ASSERT_EQ(panel_->face->keys.size(), 10u);
  for (int code = 1; code <= 10; ++code) {
    QPushButton* key = panel_->face->keys[static_cast<std::size_t>(code - 1)];
    EXPECT_EQ(key->text(), captions[code - 1]);
    key->click();
    EXPECT_EQ(meter_.writes().back(), MakeBytes({0x4B, 0x00, 0x00, code})) << code;
  }
}

TEST_F(PanelWindow, KeyOnASilentMeterSaysSoAndKeepsRunning) {
  meter_.model().faults().silent = true;
  Find<QPushButton>(*panel_, "BtnCA")->click();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, kMeterDoesNotAnswer);
  EXPECT_TRUE(exit_codes_.empty());
}

TEST_F(PanelWindow, SilentMeterShowsNoComAndThePanelComesBack) {
  std::vector<std::string> ticks;
  for (const bool silent : {false, true, true, false, false}) {
    meter_.model().faults().silent = silent;
    meter_.model().SetLevel(ticks.size() < 2 ? 70.1 : 68.4);
    panel_->Timer1Tick();
    ticks.push_back(Texts(*panel_, {"LblCOM", "LblValue"}));
  }
  EXPECT_EQ(ticks,
            (std::vector<std::string>{"COM1|70.1", "No COM|", "No COM|", "COM1|", "COM1|68.4"}));
}

}  // namespace
}  // namespace slm
