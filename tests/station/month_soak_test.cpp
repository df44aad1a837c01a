// A month of a station in virtual time: thirty daily files cut at midnight,
// every second in them once, the events the assessment of the files gives,
// and memory that stays flat.
#include <gtest/gtest.h>

#include <fstream>

#include "support/resident_memory.h"
#include "support/station_fixture.h"

namespace slm {
namespace {

using test::ResidentKilobytes;

class MonthSoak : public ::testing::Test, protected test::StationRun {
 protected:
  MonthSoak() : StationRun({2024, 3, 1, 0, 0, 0}) {}
};

TEST_F(MonthSoak, ThirtyDailyFilesHoldEverySecondOnceAndTheEventsOfTheirAssessment) {
  // Mostly quiet with loud moments; the cycle does not divide a minute.
  std::vector<double> levels;
  for (int i = 0; i < 97; ++i) levels.push_back(i % 13 == 5 ? 74.0 + i % 7 : 55.0 + i % 9);
  meter_.model().SetLevels(levels);
  StationSettings settings;
  settings.assessment.threshold = 72.0;
  settings.assessment.hold = 3;
  settings.assessment.min_duration = 2;
  // The disk's own syncs cost real time; a killed process loses nothing either way.
  settings.flush = 6 * 3600;
  Open(settings);
  const std::int64_t start = *ParseClockText("2024/03/01 00:00:00");
  RunUntil(start + 2 * 86400);
  const long resident = ResidentKilobytes();
  RunUntil(start + 30 * 86400 - 1);
#ifndef __SANITIZE_ADDRESS__  // which keeps freed memory aside for a while
  EXPECT_LT(ResidentKilobytes() - resident, 8 * 1024);
#endif
  const StationStatus status = station_->Status(glue_->Now());
  Stop();

  const std::vector<std::string> files = DailyFiles();
  ASSERT_EQ(files.size(), 30u);
  std::int64_t records = 0;
  for (std::size_t d = 0; d < files.size(); ++d) {
    const DataFile file = OpenDataFile(files[d]);
    const std::int64_t midnight = start + static_cast<std::int64_t>(d) * 86400;
    EXPECT_TRUE(files[d].ends_with(DailyFileName(midnight))) << files[d];
    ASSERT_GT(file.list.size(), 0u);
    // Each second of the day once, in order; the first day from the first
    // reading, the last to the stop.
    const std::int64_t first = *ParseClockText(file.list.date_time(0));
    const std::int64_t last = *ParseClockText(file.list.date_time(file.list.size() - 1));
    if (d > 0) EXPECT_EQ(first, midnight) << files[d];
    if (d + 1 < files.size()) EXPECT_EQ(last, midnight + 86399) << files[d];
    EXPECT_EQ(last - first + 1, static_cast<std::int64_t>(file.list.size())) << files[d];
    records += static_cast<std::int64_t>(file.list.size());
  }
  EXPECT_EQ(records, status.samples_written);
  EXPECT_EQ(status.gaps, 0);

  const Assessment whole = AssessFiles(settings.assessment);
  EXPECT_GT(whole.events.size(), 1000u);
  EXPECT_EQ(ReadWholeFile(dir_.File("events.csv")), EventLines(whole.events));
}

}  // namespace
}  // namespace slm
