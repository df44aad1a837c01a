// The chosen file of a recording, and what the panel says of recordings.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "live/notices.h"
#include "live/pc_recorder.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"

namespace slm {
namespace {

class RecorderStart : public ::testing::Test {
 protected:
  test::TempDir dir_;
  test::VirtualClock clock_;
  PcRecorder recorder_{clock_.Source(), dir_.path()};
  PanelCaptions captions_{"A", "FAST", "30-90"};
};

// A relative path is taken from the working folder at the start: an
// unwritable one is refused by its absolute path, a writable one kept absolute
// and an existing file left untouched until the end.
TEST_F(RecorderStart, ChosenPathIsCheckedAndKeptAbsoluteAtTheStart) {
  test::WriteBytes(dir_.File("old.dlgr"), "older content\r\n");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  std::string refusal;
  try {
    recorder_.StartRecording("no-such-folder/rec.dlgr", Separator::kTab);
  } catch (const DataFileError& e) {
    refusal = e.what();
  }
  EXPECT_FALSE(recorder_.recording());
  EXPECT_FALSE(std::filesystem::exists(recorder_.fake_path()));
  recorder_.StartRecording("./old.dlgr", Separator::kTab);
  std::filesystem::current_path(before);
  EXPECT_EQ(refusal.rfind(dir_.File("no-such-folder/rec.dlgr") + " cannot be written: ", 0), 0u)
      << refusal;
  ASSERT_TRUE(recorder_.recording());
  EXPECT_EQ(test::ReadBytes(dir_.File("old.dlgr")), "older content\r\n");
  EXPECT_EQ(recorder_.EndRecording(captions_), "");
  ASSERT_TRUE(recorder_.last_finished().has_value());
  EXPECT_EQ(recorder_.last_finished()->file, dir_.File("old.dlgr"));
  EXPECT_TRUE(recorder_.last_finished()->written);
}

TEST(PanelFeedbackTexts, StatusNamesPortStateAndRecording) {
  test::TempDir dir;
  test::VirtualClock clock;
  PcRecorder recorder(clock.Source(), dir.path());
  PanelState state;
  state.port_label = "COM3";
  state.last_message = "hello";
  PanelStatus status = DescribePanelStatus(state, recorder);
  EXPECT_EQ(status.port, "COM3");
  EXPECT_EQ(status.recording, "Not recording");
  EXPECT_EQ(status.message, "hello");
  state.meter_lost = true;
  EXPECT_EQ(DescribePanelStatus(state, recorder).port, "No COM");
  state.offline = true;
  EXPECT_EQ(DescribePanelStatus(state, recorder).port, "Offline");

  recorder.StartRecording(dir.File("day.dlgr"), Separator::kTab);
  const PanelCaptions captions;
  for (int i : {0, 1, 2, 5}) recorder.Tick(clock.Second(i), 60.0, "60.0", captions);
  // The elapsed time counts the gap.
  EXPECT_EQ(DescribePanelStatus(state, recorder).recording, "Rec day.dlgr  3 samples  00:00:06");
}

TEST(PanelFeedbackTexts, LossAndReturnNameFileSamplesAndTimes) {
  LinkLossReport report;
  report.time = "2024/05/01 10:20:30";
  EXPECT_EQ(LinkLostNotice(report), "The meter was lost at 2024/05/01 10:20:30.");
  EXPECT_EQ(LinkRestoredNotice("COM2", report), "The meter is back on COM2.");
  report.recording = true;
  report.samples = 1;
  report.file = "/data/a.dlgr";
  report.back_time = "2024/05/01 10:25:00";
  EXPECT_EQ(LinkLostNotice(report),
            "The meter was lost at 2024/05/01 10:20:30. The recording into \"/data/a.dlgr\" (1 "
            "sample so far) goes on when the meter is back; until then it has a gap.");
  EXPECT_EQ(LinkRestoredNotice("COM2", report),
            "The meter is back on COM2; the recording goes on, with no samples from "
            "2024/05/01 10:20:30 to 2024/05/01 10:25:00.");
  FinishedRecording finished{"/data/b-2.dlgr",
                             12,
                             "2024/05/01 11:00:00",
                             true,
                             {{"/data/b.dlgr", 10}, {"/data/b-2.dlgr", 2}}};
  EXPECT_EQ(RecordingFinishedNotice(finished),
            "The recording was saved in 2 files, 12 samples in all:\n\"/data/b.dlgr\": 10 "
            "samples\n\"/data/b-2.dlgr\": 2 samples");
  finished.written = false;
  EXPECT_EQ(RecordingFinishedNotice(finished),
            "The recording ended at 2024/05/01 11:00:00 could not be saved to \"/data/b-2.dlgr\".");
}

}  // namespace
}  // namespace slm
