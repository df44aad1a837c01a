// A week of unattended recording in virtual time: the live and sampling
// timers fire late and early at random, the PC clock is slewed and stepped,
// and every second of the week must be in the files exactly once.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "files/data_file_reader.h"
#include "live/live_session.h"
#include "support/resident_memory.h"
#include "support/simulated_meter.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"

namespace slm {
namespace {

using test::ResidentKilobytes;

std::int64_t SecondsOf(std::string_view t) { return ParseClockText(t).value_or(-1); }

class WeekSoak : public ::testing::Test, protected test::MeterStack {};

TEST_F(WeekSoak, EverySecondOfAWeekIsRecordedOnceAcrossItsFiles) {
  constexpr std::size_t kWeek = 7 * 86400;
  test::SimulatedMeter& meter = meter_;
  meter.model().SetLevels({62.0, 63.4, 71.2, 58.9});
  test::TempDir dir;
  test::VirtualClock clock({2024, 3, 25, 0, 0, 0}, [&meter] { return meter.elapsed(); });
  clock.SetWallRate(1.0005);  // time synchronisation slewing the PC clock
  Reading reading;
  PcRecorder recorder(clock.Source(), dir.path());
  LiveChartData charts;
  LiveSession session(link_, reading, recorder, charts);
  while (session.Tick() != TickResult::kFrame) {
  }
  const std::string path = dir.File("week.dlgr");
  session.StartRecording(path, Separator::kTab);

  std::mt19937 random(20241207);
  std::uniform_real_distribution<double> live_jitter(-0.05, 0.05);
  std::uniform_real_distribution<double> sample_jitter(-0.02, 0.3);  // early and late
  double next_live = meter.elapsed() + 0.5;
  double next_sample = meter.elapsed() + session.MillisecondsToNextSecond() / 1000.0;
  std::vector<std::string> auto_saved;
  std::vector<RecordingPart> parts;
  long resident_after_first_list = 0;
  bool stepped = false;
  while (recorder.total_samples() < kWeek) {
    const double next = std::min(next_live, next_sample);
    meter.ProcessEvents(std::max(0.0, next - meter.elapsed()));
    if (next == next_live) {
      session.Tick();
      next_live = meter.elapsed() + 0.5 + live_jitter(random);
      continue;
    }
    const SampleResult result = session.Sample();
    next_sample =
        meter.elapsed() + session.MillisecondsToNextSecond() / 1000.0 + sample_jitter(random);
    ASSERT_TRUE(result.recorder.message.empty()) << result.recorder.message;
    if (!result.recorder.auto_saved.empty()) auto_saved.push_back(result.recorder.auto_saved);
    if (recorder.total_samples() == kMaxRecords + 1)
      resident_after_first_list = ResidentKilobytes();
    if (result.recorder.part_written) parts.push_back(*result.recorder.part_written);
    if (!stepped && recorder.total_samples() == 400000) {
      clock.StepWall(-2.0);  // and once stepped back two seconds
      stepped = true;
    }
  }
  ASSERT_EQ(session.EndRecording(), "");
  parts.push_back(recorder.last_finished()->parts.back());
  EXPECT_LT(ResidentKilobytes() - resident_after_first_list, 16 * 1024);

  // The files: the first full, the rest in the second, each a list of its own.
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].file, path);
  EXPECT_EQ(parts[1].file, dir.File("week-2.dlgr"));
  std::vector<long long> seconds;
  for (const RecordingPart& part : parts) {
    const DataFile file = OpenDataFile(part.file);
    ASSERT_EQ(file.list.size(), part.samples);
    EXPECT_EQ(file.list.number(0), "1");
    for (std::size_t i = 0; i < file.list.size(); ++i) {
      seconds.push_back(SecondsOf(file.list.date_time(i)));
    }
  }
  ASSERT_EQ(seconds.size(), kWeek);
  for (std::size_t i = 1; i < seconds.size(); ++i) {
    ASSERT_EQ(seconds[i] - seconds[i - 1], 1) << "at sample " << i + 1;
  }

  // The full panel list started again without a second copy of the samples.
  EXPECT_TRUE(auto_saved.empty());
  EXPECT_EQ(recorder.list().size(), kWeek - kMaxRecords);
}

}  // namespace
}  // namespace slm
