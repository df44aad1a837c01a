#include "live/live_session.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "files/data_file_reader.h"
#include "support/simulated_meter.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"

namespace slm {
namespace {

class SessionView : public LiveSessionView {
 public:
  void ShowLinkLost(const LinkLossReport& report) override { losses.push_back(report); }
  void ShowLinkRestored() override { ++restored; }
  std::vector<LinkLossReport> losses;
  int restored = 0;
};

class LiveSessionTest : public ::testing::Test, protected test::MeterStack {
 protected:
  LiveSessionTest() {
    session_.SetView(&view_);
    meter_.model().SetLevel(70.0);
    // The meter's first reading starts the sampling rhythm.
    while (session_.Tick() != TickResult::kFrame) {
    }
  }
  // One second: a live tick, the wait for the sampling timer, a live tick
  // and the sampling tick.
  SampleResult Second() {
    session_.Tick();
    meter_.ProcessEvents(session_.MillisecondsToNextSecond() / 1000.0);
    session_.Tick();
    return session_.Sample();
  }
  std::vector<std::string> RecordedTimes(const std::string& path) {
    const DataFile file = OpenDataFile(path);
    std::vector<std::string> times;
    for (std::size_t i = 0; i < file.list.size(); ++i) times.emplace_back(file.list.date_time(i));
    return times;
  }

  Reading reading_;
  test::TempDir dir_;
  test::VirtualClock clock_{{2024, 5, 1, 10, 0, 0}, [this] { return meter_.elapsed(); }};
  PcRecorder recorder_{clock_.Source(), dir_.path()};
  LiveChartData charts_;
  LiveSession session_{link_, reading_, recorder_, charts_};
  SessionView view_;
};

TEST_F(LiveSessionTest, NothingIsSampledWithoutAFreshFrameAndCaptionsComeFromTheMeter) {
  EXPECT_TRUE(Second().taken);
  EXPECT_TRUE(Second().charts.has_value());
  // A second falls due with no frame since the last one: it is left out.
  meter_.ProcessEvents(1.0);
  EXPECT_FALSE(session_.Sample().taken);
  EXPECT_EQ(recorder_.list().size(), 1u);
  EXPECT_EQ(charts_.sample_count(), 1);
  EXPECT_EQ(recorder_.panel().count, 2);
  // A hold-up (a suspend, a stopped process) right after a frame: the second
  // due after it is a gap, not the level from before it.
  ASSERT_EQ(session_.Tick(), TickResult::kFrame);
  meter_.ProcessEvents(3.0);
  EXPECT_FALSE(session_.Sample().taken);
  // The captions come from the meter, not from a window.
  meter_.model().SetTimeCode(1);
  meter_.model().SetFrequencyCode(1);
  session_.Tick();
  const PanelCaptions captions = session_.Captions();
  EXPECT_EQ(captions.range + " " + captions.time_weighting + " " + captions.frequency_weighting,
            "80-140 SLOW C");
}

// The adapter is pulled out and put back: the recording waits for the meter
// and goes on; the seconds without it are missing, none is made up or repeated.
TEST_F(LiveSessionTest, ALostMeterLeavesAGapInTheRecordingThatGoesOn) {
  const std::string path = dir_.File("rec.dlgr");
  session_.StartRecording(path, Separator::kTab);
  for (int i = 0; i < 4; ++i) Second();
  EXPECT_EQ(recorder_.record_count(), 3u);  // the first second only starts the period

  meter_.SetBroken(true);
  session_.Tick();
  ASSERT_EQ(view_.losses.size(), 1u);
  EXPECT_TRUE(view_.losses[0].recording);
  EXPECT_EQ(view_.losses[0].samples, 3u);
  EXPECT_EQ(view_.losses[0].file, path);
  EXPECT_TRUE(recorder_.recording());
  EXPECT_FALSE(session_.sampling());
  EXPECT_TRUE(session_.display().level_text.empty());
  EXPECT_EQ(charts_.sample_count(), 0);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(Second().taken);
  EXPECT_TRUE(recorder_.list().empty());
  EXPECT_EQ(view_.losses.size(), 1u);  // told once per loss

  meter_.SetBroken(false);
  while (view_.restored == 0) Second();
  EXPECT_FALSE(session_.last_loss().back_time.empty());
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(Second().taken);
  ASSERT_EQ(session_.EndRecording(), "");
  const std::vector<std::string> times = RecordedTimes(path);
  ASSERT_EQ(times.size(), 5u);
  EXPECT_EQ(times[1], "2024/05/01 10:00:03");
  EXPECT_EQ(times[2], "2024/05/01 10:00:04");
  EXPECT_GT(times[3], "2024/05/01 10:00:09");  // the gap
  EXPECT_EQ(*ParseClockText(times[4]) - *ParseClockText(times[3]), 1);
}

// Outside a recording the times follow the PC clock when it is set; a
// recording keeps counting its own seconds, in order and never twice.
TEST_F(LiveSessionTest, ARecordingKeepsItsSecondsWhenThePcClockIsSet) {
  Second();
  Second();
  EXPECT_EQ(recorder_.list().date_time(0), "2024/05/01 10:00:02");
  clock_.StepWall(3600);
  while (recorder_.list().size() < 2) Second();
  EXPECT_EQ(recorder_.list().date_time(1).substr(11, 5), "11:00");

  const std::string path = dir_.File("kept.dlgr");
  session_.StartRecording(path, Separator::kTab);
  Second();
  clock_.StepWall(-7200);
  Second();
  clock_.SetWallRate(1.01);
  for (int i = 0; i < 150; ++i) Second();
  ASSERT_EQ(session_.EndRecording(), "");
  const std::vector<std::string> times = RecordedTimes(path);
  ASSERT_EQ(times.size(), 152u);
  for (std::size_t i = 1; i < times.size(); ++i) {
    ASSERT_EQ(*ParseClockText(times[i]) - *ParseClockText(times[i - 1]), 1) << times[i];
  }
}

TEST_F(LiveSessionTest, AnEndingSessionDoesNotBlindTheOneAfterIt) {
  // A panel made twice: the first one's end must leave the second one
  // hearing of a lost meter.
  SessionView second_view;
  auto first = std::make_unique<LiveSession>(link_, reading_, recorder_, charts_);
  LiveSession second(link_, reading_, recorder_, charts_);
  second.SetView(&second_view);
  first.reset();
  meter_.model().faults().silent = true;
  second.Tick();
  EXPECT_EQ(second_view.losses.size(), 1u);
}

}  // namespace
}  // namespace slm
