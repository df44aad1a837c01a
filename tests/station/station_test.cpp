// A station on the simulated meter in virtual time: its daily files, its
// log, its events, a restart, a second station, the disk's reserve.
#include "station/station.h"

#include <gtest/gtest.h>

#include "support/station_fixture.h"

namespace slm {
namespace {

std::int64_t At(const std::string& text) { return *ParseClockText(text); }

std::vector<std::string> LogWords(const std::string& dir) {
  std::vector<std::string> words;
  for (const std::string& line : test::Lines(ReadWholeFile(dir + "/monitor.log"))) {
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos)
      words.push_back(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
  }
  return words;
}

class StationTest : public ::testing::Test, protected test::StationRun {
 protected:
  StationTest() : StationRun({2024, 5, 1, 23, 50, 0}) {
    meter_.model().SetLevels({62.0, 75.5, 71.2, 58.9, 80.1, 64.0, 66.6, 59.3, 77.0, 61.0, 63.3});
    settings_.assessment.threshold = 70.0;
    settings_.assessment.hold = 2;
    settings_.assessment.min_duration = 1;
  }
  StationSettings settings_;
};

// Across midnight with the meter pulled for a while: two files cut at
// midnight by the samples' clock, each second at most once and in order, the
// loss as a gap and two lines in the log, the events as the assessment of
// the files gives them; a restart the same day writes a file of its own.
TEST_F(StationTest, DailyFilesCutAtMidnightKeepEverySampleOnceAndARestartNeverWritesOver) {
  Open(settings_);
  RunUntil(At("2024/05/01 23:58:00"));
  meter_.SetBroken(true);
  RunUntil(At("2024/05/01 23:58:40"));
  meter_.SetBroken(false);
  RunUntil(At("2024/05/02 00:05:00"));
  const StationStatus status = station_->Status(glue_->Now());
  // Readable while it is written, with the meter's settings in its header.
  const DataFile live = OpenDataFile(status.file);
  EXPECT_EQ(live.list.header().frequency_weighting, "A");
  EXPECT_GT(live.list.size(), 200u);
  Stop();

  const std::vector<std::string> files = DailyFiles();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_TRUE(files[0].ends_with("2024-05-01.dlgr"));
  EXPECT_TRUE(files[1].ends_with("2024-05-02.dlgr"));
  std::vector<std::int64_t> times;
  for (const std::string& path : files) {
    const DataFile file = OpenDataFile(path);
    EXPECT_FALSE(file.list.header().leq.empty()) << "closed with its values";
    for (std::size_t i = 0; i < file.list.size(); ++i)
      times.push_back(*ParseClockText(file.list.date_time(i)));
  }
  EXPECT_EQ(DateText(times.front()), DateText(At("2024/05/01 23:50:00")));
  EXPECT_EQ(OpenDataFile(files[1]).list.date_time(0), "2024/05/02 00:00:00");
  std::int64_t gaps = 0;
  for (std::size_t i = 1; i < times.size(); ++i) {
    ASSERT_GT(times[i], times[i - 1]);
    gaps += times[i] - times[i - 1] > 1;
  }
  EXPECT_EQ(gaps, 1);
  EXPECT_EQ(static_cast<std::int64_t>(times.size()), status.samples_written);
  const std::vector<std::string> words = LogWords(dir_.path());
  EXPECT_EQ(std::count(words.begin(), words.end(), "meter-lost"), 1);
  EXPECT_EQ(std::count(words.begin(), words.end(), "meter-back"), 1);
  EXPECT_EQ(std::count(words.begin(), words.end(), "gap"), 0);
  EXPECT_EQ(words.front(), "start");
  EXPECT_EQ(words.back(), "stop");

  const Assessment whole = AssessFiles(settings_.assessment);
  ASSERT_FALSE(whole.events.empty());
  EXPECT_EQ(ReadWholeFile(dir_.File("events.csv")), EventLines(whole.events));

  // A restart the same day: a file of its own, the old ones as they were.
  const std::string before = ReadWholeFile(files[1]);
  Open(settings_);
  RunUntil(At("2024/05/02 00:05:30"));
  // The meter set to C: a file holds one setting.
  meter_.model().SetFrequencyCode(1);
  RunUntil(At("2024/05/02 00:06:00"));
  Stop();
  ASSERT_EQ(DailyFiles().size(), 4u);
  EXPECT_TRUE(DailyFiles()[1].ends_with("2024-05-02-2.dlgr"));
  EXPECT_EQ(OpenDataFile(DailyFiles()[1]).list.header().frequency_weighting, "A");
  EXPECT_TRUE(DailyFiles()[2].ends_with("2024-05-02-3.dlgr"));
  EXPECT_EQ(OpenDataFile(DailyFiles()[2]).list.header().frequency_weighting, "C");
  EXPECT_EQ(ReadWholeFile(files[1]), before);
}

// The disk's reserve: below it nothing is written and the log says so
// once; nothing is deleted; above it again the writing goes on.
TEST_F(StationTest, TheDisksReserveStopsTheWritingAndNothingIsDeleted) {
  std::uint64_t free = 500ULL << 20;
  settings_.reserve = 100ULL << 20;
  Open(settings_, [&free](const std::string&) { return std::optional<std::uint64_t>(free); });
  RunUntil(At("2024/05/01 23:51:00"));
  free = 50ULL << 20;
  RunUntil(At("2024/05/01 23:52:00"));
  const StationStatus low = station_->Status(glue_->Now());
  EXPECT_FALSE(low.writing);
  free = 500ULL << 20;
  RunUntil(At("2024/05/01 23:53:00"));
  const StationStatus after = station_->Status(glue_->Now());
  Stop();
  EXPECT_TRUE(after.writing);
  EXPECT_LT(after.samples_written + 40, after.samples);
  const std::vector<std::string> words = LogWords(dir_.path());
  EXPECT_EQ(std::count(words.begin(), words.end(), "disk-low"), 1);
  EXPECT_EQ(std::count(words.begin(), words.end(), "disk-ok"), 1);
  ASSERT_EQ(DailyFiles().size(), 1u);
  EXPECT_EQ(static_cast<std::int64_t>(OpenDataFile(DailyFiles()[0]).list.size()),
            after.samples_written);
}

}  // namespace
}  // namespace slm
