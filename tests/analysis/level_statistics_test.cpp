#include "analysis/level_statistics.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "base/number_text.h"
#include "support/sample_lists.h"

namespace slm {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;

using test::ListOf;

RecordList Repeated(const std::string& level, std::size_t count) {
  return ListOf(std::vector<std::string>(count, level));
}

std::int64_t Total(const std::vector<std::int64_t>& counts) {
  return std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
}

LevelStatistics Compute(const RecordList& list, LnTable& ln,
                        StatResolution resolution = StatResolution::kTenth,
                        LnSource source = LnSource::kFine) {
  return ComputeLevelStatistics(list, resolution, source, ln);
}

struct ClassCase {
  const char* level;
  int fine;  // -1: not counted
  int coarse;
};

TEST(LevelStatistics, EachLevelFallsIntoTheClassOfTheFirstRuleThatApplies) {
  const ClassCase cases[] = {
      {"85.3", 853, 85},     {"85.3*", -1, -1},    {"--", 250, 25},      {"150.2", 1450, 145},
      {"145", 1450, 145},    {"145.0", 1450, 145}, {"144.9", 1449, 144}, {"144.96", 1450, 144},
      {"144.95", 1450, 144}, {"99.96", 1000, 99},  {"85.25", 852, 85},   {"85.35", 854, 85},
      {"0.05", 0, 0},        {"0.15", 2, 0},       {"0.4", 4, 0},        {"L", 1450, 145},
      {"OL", 1450, 145},     {"-5", 250, 25},      {"abc", 0, 0},        {"", 0, 0},
      {"85.3-*", -1, -1},    {"L*", -1, -1},       {"*", -1, -1},        {"L-", 250, 25},
      {" 91.0", 910, 91},    {"80.0*", -1, -1},    {"1e3", 1450, 145},   {"65.3x", 653, 65},
  };
  for (const ClassCase& c : cases) {
    LnTable ln;
    const LevelStatistics stats = Compute(ListOf({c.level}), ln);
    ASSERT_EQ(stats.fine.size(), static_cast<std::size_t>(kStatFineClasses));
    ASSERT_EQ(stats.coarse.size(), static_cast<std::size_t>(kStatCoarseClasses));
    EXPECT_EQ(stats.record_count, 1u) << c.level;
    EXPECT_EQ(Total(stats.fine) + Total(stats.coarse), c.fine < 0 ? 0 : 2) << c.level;
    if (c.fine >= 0) {
      EXPECT_EQ(stats.fine[c.fine] + stats.coarse[c.coarse], 2) << c.level;
    }
  }
}

TEST(LevelStatistics, FineClassesRoundTheDecimalValueHalvesToEven) {
  const struct {
    const char* text;
    int fine;
  } cases[] = {
      {"0.25", 2},    {"0.35", 4},     {"100.45", 1004}, {"100.55", 1006}, {"12.34", 123},
      {"12.36", 124}, {"72.449", 724}, {"72.451", 725},  {"0", 0},         {"144.94", 1449},
      {"64.85", 648}, {"64.95", 650},  {"1.005", 10},    {"33.3", 333},    {"144.99", 1450},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FineClassOf(LeadingNumber(c.text)), c.fine) << c.text;
  }
}

TEST(LevelStatistics, ClassRangeIsTakenFromTheTableOfTheButtonAboveClassZero) {
  const struct {
    std::vector<std::string> levels;
    StatResolution resolution;
    bool counted;
    int low;
    int high;
  } cases[] = {
      {{"0.0", "40.1", "90.7"}, StatResolution::kTenth, true, 401, 907},
      {{"0.0", "40.1", "90.7"}, StatResolution::kWhole, true, 40, 90},
      {{"90.7", "L", "40.1"}, StatResolution::kTenth, true, 401, 1450},
      {{"90.7", "L", "40.1"}, StatResolution::kWhole, true, 40, 145},
      {{"0.1"}, StatResolution::kTenth, true, 1, 1},
      {{"1"}, StatResolution::kWhole, true, 1, 1},
      // Class 0 is not looked at for the low end: a list of nothing else has no range.
      {{"0.0", "abc"}, StatResolution::kTenth, false, 0, 0},
      {{"0.4"}, StatResolution::kTenth, true, 4, 4},
      {{"0.4"}, StatResolution::kWhole, false, 0, 0},
      {{"--", "*"}, StatResolution::kWhole, true, 25, 25},
  };
  for (const auto& c : cases) {
    LnTable ln;
    const LevelStatistics stats = Compute(ListOf(c.levels), ln, c.resolution);
    const std::string what = c.levels.front() + " (" + std::to_string(c.levels.size()) + ")";
    EXPECT_EQ(stats.counted, c.counted) << what;
    EXPECT_EQ(stats.class_low, c.low) << what;
    EXPECT_EQ(stats.class_high, c.high) << what;
    EXPECT_EQ(&stats.Counts(c.resolution),
              c.resolution == StatResolution::kTenth ? &stats.fine : &stats.coarse);
  }
}

TEST(LevelStatistics, OneClassForEveryRecordGivesItForEveryEntry) {
  using Case = std::tuple<const char*, StatResolution, LnSource, const char*>;
  for (const auto& [level, resolution, source, entry] :
       {Case{"72.4", StatResolution::kTenth, LnSource::kFine, "72.4"},
        Case{"72.4", StatResolution::kWhole, LnSource::kCoarse, "72"},
        Case{"72.4", StatResolution::kWhole, LnSource::kFine, "72.4"},  // a memory set's
        Case{"0.5", StatResolution::kTenth, LnSource::kFine, "0.5"},
        Case{"L", StatResolution::kTenth, LnSource::kFine, "145.0"}}) {
    LnTable ln;
    EXPECT_TRUE(Compute(Repeated(level, 100), ln, resolution, source).counted) << level;
    EXPECT_THAT(ln, Each(std::string(entry))) << level;
  }
}

TEST(LevelStatistics, EntryHundredLessPIsWhereTheRunningCountFirstPassesItsShare) {
  // Ten levels 1.0 .. 10.0: entry 100 - p is the level of about p percent.
  std::vector<std::string> levels;
  for (int i = 1; i <= 10; ++i) levels.push_back(std::to_string(i) + ".0");
  LnTable ln;
  Compute(ListOf(levels), ln);
  EXPECT_EQ(ln[99], "1.0");
  EXPECT_EQ(ln[90], "1.0");  // p = 10: 0.05 + 0.9 = 0.95 < 1
  EXPECT_EQ(ln[89], "2.0");
  EXPECT_EQ(ln[50], "5.0");
  EXPECT_EQ(ln[49], "6.0");
  EXPECT_EQ(ln[0], "10.0");
  // N = 200: the share of p = 1 is exactly 1, which the one record at 10.0
  // reaches but does not pass.
  levels.assign(199, "20.0");
  levels.insert(levels.begin(), "10.0");
  Compute(ListOf(levels), ln);
  EXPECT_EQ(ln[99], "20.0");
  EXPECT_EQ(ln[0], "20.0");
}

TEST(LevelStatistics, TheWindowOfTheListDecidesWhichTableThePercentilesComeFrom) {
  EXPECT_EQ(LnSourceFor(true, StatResolution::kTenth), LnSource::kFine);
  EXPECT_EQ(LnSourceFor(true, StatResolution::kWhole), LnSource::kFine);
  EXPECT_EQ(LnSourceFor(false, StatResolution::kTenth), LnSource::kFine);
  EXPECT_EQ(LnSourceFor(false, StatResolution::kWhole), LnSource::kCoarse);
}

// Entries a run cannot reach, and every entry when a list holds nothing to
// count, keep their earlier values.
TEST(LevelStatistics, EntriesARunCannotReachKeepTheirEarlierValues) {
  // One counted record of ten rows: only p = 1..10 have shares below 1.
  std::vector<std::string> levels(9, "60.0*");
  levels.push_back("50.0");
  LnTable ln;
  ln.fill("old");
  EXPECT_EQ(Compute(ListOf(levels), ln).record_count, 10u);
  for (std::size_t i = 0; i < 100; ++i) {
    EXPECT_EQ(ln[i], i >= 90 ? "50.0" : "old") << "entry " << i;
  }
  for (const auto& none : {std::vector<std::string>{}, {"85.3*", "*", "70.0*"}}) {
    for (const StatResolution resolution : {StatResolution::kTenth, StatResolution::kWhole}) {
      ln.fill("old");
      const LevelStatistics stats = Compute(ListOf(none), ln, resolution);
      EXPECT_FALSE(stats.counted) << none.size();
      EXPECT_EQ(stats.record_count, none.size());
      EXPECT_THAT(ln, Each(std::string("old")));
    }
  }
}

TEST(LevelStatistics, ProgressComesAtMostAsOftenAsTheThrottleAllowsAndAlwaysAtTheEnd) {
  // The clock moves 100 ms at each look; a caption is due every 250 ms.
  auto now = std::chrono::steady_clock::time_point{};
  ProgressThrottle throttle(std::chrono::milliseconds(250), [&now] {
    const auto was = now;
    now += std::chrono::milliseconds(100);
    return was;
  });
  std::vector<std::string> captions;
  LnTable ln;
  ComputeLevelStatistics(
      Repeated("70.0", 10 * kStatsProgressRows + 2048), StatResolution::kTenth, LnSource::kFine, ln,
      [&](const std::string& caption) { captions.push_back(caption); }, throttle);
  EXPECT_THAT(captions, ElementsAre("9.5% Completed", "38.1% Completed", "66.7% Completed",
                                    "95.2% Completed", "100.0% Completed"));
}

TEST(LevelStatistics, TheLnGridShowsTenEntriesARowUnderItsLabel) {
  EXPECT_THAT(LnGridHeader(),
              ElementsAre("Ln", " 0", " 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9"));
  LnTable ln;
  for (std::size_t i = 0; i < ln.size(); ++i) ln[i] = "v" + std::to_string(i);
  const std::vector<std::string> rows = LnGridRows(ln);
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[0], "L(00)\tv0\tv1\tv2\tv3\tv4\tv5\tv6\tv7\tv8\tv9");
  EXPECT_EQ(rows[4], "L(40)\tv40\tv41\tv42\tv43\tv44\tv45\tv46\tv47\tv48\tv49");
  EXPECT_EQ(rows[9], "L(90)\tv90\tv91\tv92\tv93\tv94\tv95\tv96\tv97\tv98\tv99");
  EXPECT_EQ(LnGridRows(LnTable{})[3], "L(30)\t\t\t\t\t\t\t\t\t\t");
}

}  // namespace
}  // namespace slm
