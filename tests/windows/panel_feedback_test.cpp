// What the panel tells the user about recordings (one the disk cannot hold
// among them), a lost meter and its own state, and what closing it does to a
// recording.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRadioButton>
#include <filesystem>

#include "files/data_file_reader.h"
#include "support/file_size_limit.h"
#include "windows/panel_fixture.h"

namespace slm {
namespace {

using test::PanelTest;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class PanelFeedback : public test::RunningPanelTest {
 protected:
  std::string Status(const char* label) { return Text(*panel_, label).toStdString(); }
};

TEST_F(PanelFeedback, UnwritableChosenFileIsRefusedAtOnce) {
  StartRecording(dir_.File("no-such-folder/rec.dlgr"));
  EXPECT_FALSE(recorder_.recording());
  EXPECT_EQ(Action(*panel_, "Save")->toolTip(), "Save As");
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  const std::string& text = dialogs_.messages[0].text;
  EXPECT_TRUE(Contains(text, dir_.File("no-such-folder/rec.dlgr"))) << text;
  EXPECT_TRUE(Contains(text, "The recording did not start.")) << text;
  EXPECT_EQ(Status("LblRecordingState"), "Not recording");
}

TEST_F(PanelFeedback, ClosingWhileRecordingAsksAndNoKeepsEverythingRunning) {
  const std::string path = dir_.File("asked.dlgr");
  StartRecording(path);
  Seconds(3);
  dialogs_.yes_no = {false};
  EXPECT_FALSE(panel_->close());
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_TRUE(Contains(dialogs_.questions[0], path)) << dialogs_.questions[0];
  EXPECT_TRUE(recorder_.recording());
  EXPECT_TRUE(exit_codes_.empty());
  EXPECT_TRUE(panel_->timer2().isActive());
  Seconds(2);
  EXPECT_EQ(recorder_.record_count(), 4u);

  dialogs_.yes_no = {true};
  EXPECT_TRUE(panel_->close());
  EXPECT_EQ(dialogs_.questions.size(), 2u);
  EXPECT_EQ(exit_codes_, std::vector<int>{0});
  EXPECT_EQ(OpenDataFile(path).list.size(), 4u);
}

// The strip shows the port, the recording and the last message without
// moving; a lost meter is a notice that names the file (its words are the
// core's), and so is its return.
TEST_F(PanelFeedback, StatusStripAndNoticesFollowARecordingThroughALostMeter) {
  panel_->show();
  QCoreApplication::processEvents();
  auto* strip = Find<QWidget>(*panel_, "StatusStrip");
  EXPECT_EQ(Texts(*panel_, {"LblPortState", "LblRecordingState", "LblLastMessage"}),
            "COM1|Not recording|");
  const QRect port = Find<QLabel>(*panel_, "LblPortState")->geometry();
  const QRect rec = Find<QLabel>(*panel_, "LblRecordingState")->geometry();
  const QRect strip_at = strip->geometry();

  const std::string path = dir_.File("a-rather-long-name-for-a-recording.dlgr");
  StartRecording(path);
  Seconds(3);
  EXPECT_EQ(Status("LblRecordingState"),
            "Rec a-rather-long-name-for-a-recording.dlgr  2 samples  00:00:03");
  meter_.model().faults().silent = true;
  panel_->Timer1Tick();
  QCoreApplication::processEvents();
  EXPECT_EQ(Find<QLabel>(*panel_, "LblPortState")->geometry(), port);
  EXPECT_EQ(Find<QLabel>(*panel_, "LblRecordingState")->geometry(), rec);
  EXPECT_EQ(strip->geometry(), strip_at);
  EXPECT_TRUE(dialogs_.messages.empty());
  ASSERT_EQ(dialogs_.notices.size(), 1u);
  const std::string lost = dialogs_.notices[0].text;
  EXPECT_TRUE(Contains(lost, "\"" + path + "\"")) << lost;
  EXPECT_EQ(Status("LblPortState"), "No COM");
  EXPECT_EQ(Status("LblLastMessage"), lost);
  EXPECT_EQ(Action(*panel_, "Save")->toolTip(), "Stop Recording");

  meter_.model().faults().silent = false;
  Seconds(3);
  ASSERT_EQ(dialogs_.notices.size(), 2u);
  EXPECT_TRUE(Contains(dialogs_.notices[1].text, "The meter is back on COM1"));
  EXPECT_EQ(Status("LblPortState"), "COM1");
  EXPECT_GT(recorder_.total_samples(), 2u);
  EXPECT_TRUE(dialogs_.messages.empty());
}

// The disk fills up under a panel recording: the recording ends and the
// panel says why, with the file that holds the samples.
TEST_F(PanelFeedback, ARecordingTheDiskCannotHoldIsSaidToHaveEnded) {
  StartRecording(dir_.File("full.dlgr"));
  Seconds(2);
  {
    test::FileSizeLimit full_disk(test::ReadBytes(recorder_.fake_path()).size() + 10);
    Seconds(1);
  }
  EXPECT_FALSE(recorder_.recording());
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::kCritical);
  const std::string& said = dialogs_.messages[0].text;
  EXPECT_NE(said.find("\"" + recorder_.fake_path() + "\""), std::string::npos) << said;
  EXPECT_NE(said.find("The recording was ended."), std::string::npos) << said;
  // The status strip shows its first line.
  const std::string shown = Text(*panel_, "LblLastMessage").toStdString();
  EXPECT_FALSE(shown.empty());
  EXPECT_EQ(said.rfind(shown, 0), 0u) << shown;
  EXPECT_EQ(Action(*panel_, "Save")->toolTip(), "Save As");
}

// While no meter answers, what needs it is disabled with the reason, and a
// meter that was never there is said to be not found rather than lost.
TEST_F(PanelTest, WithoutAMeterItsControlsSayWhyAndComeBackWithIt) {
  meter_.model().faults().silent = true;
  auto panel = OnlinePanel();
  panel->Timer1Tick();
  EXPECT_TRUE(Contains(Text(*panel, "LblLastMessage").toStdString(),
                       "No meter answers on COM1: it was not found"));
  for (QPushButton* key : panel->face->keys) {
    EXPECT_FALSE(key->isEnabled());
    EXPECT_TRUE(key->toolTip().startsWith("No meter answers on COM1"))
        << key->toolTip().toStdString();
  }
  EXPECT_FALSE(Action(*panel, "Memory")->isEnabled());
  EXPECT_TRUE(Action(*panel, "Open")->isEnabled());
  meter_.model().faults().silent = false;
  panel->Timer1Tick();
  for (QPushButton* key : panel->face->keys) EXPECT_TRUE(key->isEnabled());
  EXPECT_TRUE(Find<QPushButton>(*panel, "CmdL")->isEnabled());
  EXPECT_TRUE(Action(*panel, "Memory")->isEnabled());
  EXPECT_EQ(Action(*panel, "Memory")->toolTip(), "Data Logger");
}

}  // namespace
}  // namespace slm
