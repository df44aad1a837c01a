// What the user reads where a wrong text went unnoticed: the panel's Max
// Time board and its keys' captions, the end of a recording the disk could
// not hold, the Memory window's sizes and a finished download's captions.
#include <gtest/gtest.h>

#include <QPushButton>
#include <string>

#include "support/file_size_limit.h"
#include "windows/panel_fixture.h"

namespace slm {
namespace {

using UserTexts = test::RunningPanelTest;

TEST_F(UserTexts, TheMaxBoardsSayTheLoudestSampleAndWhenItCame) {
  Seconds(2);
  meter_.model().SetLevel(71.2);
  Seconds(1);
  meter_.model().SetLevel(68.0);
  Seconds(1);
  EXPECT_EQ(Text(*panel_, "BoardMaxdB"), "71.2");
  const RecordList& list = recorder_.list();
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list.level(i) != "71.2") continue;
    EXPECT_EQ(Text(*panel_, "BoardMaxTime").toStdString(), list.date_time(i));
    return;
  }
  ADD_FAILURE() << "no sample of 71.2 dB";
}

TEST_F(UserTexts, EachMeterKeyIsCaptionedAsTheMetersOwnKey) {
  const char* const captions[] = {
      "A / C",        "Fast/Slow/Imp", "Leq SEL SPL", "Max Min Inst", "Run Pause Stop",
      "Record Erase", "Date Time",     "Integ Time",  "Up",           "Down"};
  for (int code = 1; code <= 10; ++code) {
    EXPECT_EQ(panel_->face->keys[static_cast<std::size_t>(code - 1)]->text(), captions[code - 1]);
  }
}

// The disk fills up under a panel recording: the recording ends and the
// panel says why, with the file that holds the samples.
TEST_F(UserTexts, ARecordingTheDiskCannotHoldIsSaidToHaveEnded) {
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

// The sizes of a 2.0 MB memory that a set of 1400 records (0.054 MB) takes
// from; the list of the set at position 2 (the meter's set 300) after its
// download, which the Memory window says is done.
TEST_F(UserTexts, TheMemoryWindowsSizesAndADownloadsCaptions) {
  std::string levels;
  for (int i = 0; i < 1400; ++i) levels += " 70.1";
  meter_.model().SetMemorySize(2000);
  meter_.model().SetSets(sim::MeterModel::ParseSets(
      "7;2024/05/01 10:00:00;1;C;SLOW;40-100;61.0\n300;2024/06/02 11:30:00;1;A;FAST;30-90;" +
      levels + "\n"));
  meter_.model().SetRun(false);
  panel_->Timer1Tick();
  panel_->ToolbarClicked("Memory");
  MemoryWindow* memory = panel_->logger().memory_window();
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(memory->LblSize->text(), "2.0");
  EXPECT_EQ(memory->LblRemain->text(), "1.9");
  memory->RowClicked(1);
  ASSERT_NE(panel_->logger().data_list(), nullptr);
  EXPECT_EQ(panel_->logger().data_list()->windowTitle(), "Data List - Set 2");
  EXPECT_EQ(panel_->logger().data_list()->list().size(), 1400u);
  EXPECT_EQ(memory->Process_lbl->text(), "100.0% Completed");
}

}  // namespace
}  // namespace slm
