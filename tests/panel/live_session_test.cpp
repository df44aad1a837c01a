#include "panel/live_session.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "files/data_file_reader.h"
#include "support/simulated_meter.h"
#include "support/temp_dir.h"

namespace slm {
namespace {

using test::SimulatedMeter;

class SessionView : public LiveSessionView {
 public:
  void ShowLinkLost(const LinkLossReport& report) override { losses.push_back(report); }
  void ShowLinkRestored() override { ++restored; }
  std::vector<LinkLossReport> losses;
  int restored = 0;
};

class LiveSessionTest : public ::testing::Test {
 protected:
  LiveSessionTest() {
    link_.Open(1);
    session_.SetView(&view_);
    meter_.model().SetLevel(70.0);
  }
  // One second: five live ticks and one sampling tick.
  SampleResult Second() {
    for (int i = 0; i < 5; ++i) session_.Tick();
    return session_.Sample();
  }
  DateTime Clock() {
    const int t = seconds_++;
    return {2024, 5, 1, 10, t / 60 % 60, t % 60};
  }

  SimulatedMeter meter_;
  Rs232 rs232_{meter_, meter_};
  MeterLink link_{meter_, rs232_};
  Reading reading_;
  test::TempDir dir_;
  int seconds_ = 0;
  PcRecorder recorder_{[this] { return Clock(); }, dir_.path()};
  LiveChartData charts_;
  LiveSession session_{link_, reading_, recorder_, charts_};
  SessionView view_;
};

TEST_F(LiveSessionTest, NothingIsSampledWithoutAFreshFrame) {
  // Before the first frame, and again when no frame came since the last sample.
  EXPECT_TRUE(session_.Sample().no_fresh_frame);
  EXPECT_FALSE(Second().no_fresh_frame);
  EXPECT_TRUE(Second().charts.has_value());
  EXPECT_TRUE(session_.Sample().no_fresh_frame);
  EXPECT_EQ(recorder_.list().size(), 1u);
  EXPECT_EQ(charts_.sample_count(), 1);
  EXPECT_EQ(recorder_.panel().count, 2);
}

TEST_F(LiveSessionTest, CaptionsComeFromTheMeterNotFromTheWindow) {
  meter_.model().SetRangeCode(0);
  meter_.model().SetTimeCode(1);
  meter_.model().SetFrequencyCode(1);
  session_.Tick();
  const PanelCaptions captions = session_.Captions();
  EXPECT_EQ(captions.range, "80-140");
  EXPECT_EQ(captions.time_weighting, "SLOW");
  EXPECT_EQ(captions.frequency_weighting, "C");
}

TEST_F(LiveSessionTest, VanishedPortEndsTheRecordingAndTakesNoFurtherSample) {
  const std::string path = dir_.File("rec.dlgr");
  session_.StartRecording(path, Separator::kTab);
  for (int i = 0; i < 4; ++i) Second();
  EXPECT_EQ(recorder_.record_count(), 3u);  // the first tick only starts the period

  meter_.SetBroken(true);  // the adapter is pulled out
  session_.Tick();
  ASSERT_EQ(view_.losses.size(), 1u);
  EXPECT_TRUE(view_.losses[0].recording_ended);
  EXPECT_EQ(view_.losses[0].samples, 3u);
  EXPECT_EQ(view_.losses[0].file, path);
  EXPECT_TRUE(view_.losses[0].message.empty());
  EXPECT_FALSE(recorder_.recording());
  EXPECT_FALSE(session_.sampling());
  EXPECT_TRUE(session_.display().level_text.empty());
  EXPECT_EQ(charts_.sample_count(), 0);

  // However long the port stays away, no level is made up.
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(Second().charts.has_value());
  EXPECT_TRUE(recorder_.list().empty());
  EXPECT_EQ(OpenDataFile(path).list.size(), 3u);
  EXPECT_EQ(view_.losses.size(), 1u);  // told once per loss

  meter_.SetBroken(false);
  Second();
  EXPECT_EQ(view_.restored, 1);
  EXPECT_TRUE(session_.sampling());
  EXPECT_TRUE(Second().charts.has_value());
}

TEST_F(LiveSessionTest, SilentMeterEndsTheRecordingToo) {
  session_.StartRecording(dir_.File("quiet.csv"), Separator::kComma);
  for (int i = 0; i < 3; ++i) Second();
  meter_.model().faults().silent = true;
  Second();
  ASSERT_EQ(view_.losses.size(), 1u);
  EXPECT_EQ(view_.losses[0].samples, 2u);
  EXPECT_EQ(OpenDataFile(dir_.File("quiet.csv")).list.size(), 2u);
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
