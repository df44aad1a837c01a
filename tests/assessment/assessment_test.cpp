// The assessment's definitions on small lists worked out by hand.
#include "assessment/assessment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/level_statistics.h"
#include "assessment/assessment_document.h"
#include "assessment/assessment_tables.h"
#include "assessment/level_columns.h"
#include "base/calendar.h"
#include "support/sample_lists.h"
#include "support/temp_dir.h"

namespace slm {
namespace {

std::int64_t At(const std::string& text) { return *ParseClockText(text); }

// Records one every `step` seconds from `start`, one per level text.
RecordList Levels(const std::string& start, std::int64_t step,
                  const std::vector<std::string>& levels) {
  return test::ListOf(levels, start, step);
}

// The lists as files "a.dlgr", "b.dlgr" ...
MeasuredLevels Merge(const std::vector<const RecordList*>& lists) {
  std::vector<NamedList> named;
  for (const RecordList* list : lists) {
    named.push_back({list, std::string(1, static_cast<char>('a' + named.size())) + ".dlgr"});
  }
  return MergeLevels(named);
}

Assessment AssessList(const RecordList& list, const AssessmentSettings& settings = {}) {
  return Assess(Merge({&list}), settings);
}

double Leq(const std::vector<double>& levels) {
  double energy = 0;
  for (const double l : levels) energy += std::pow(10.0, l / 10.0);
  return 10.0 * std::log10(energy / static_cast<double>(levels.size()));
}

TEST(MergeLevels, TakesFilesInTimeOrderWhateverOrderTheyComeIn) {
  const RecordList later = Levels("2024/05/01 10:00:03", 1, {"61", "62"});
  const RecordList earlier = Levels("2024/05/01 10:00:00", 1, {"58", "59", "60"});
  const MeasuredLevels merged = Merge({&later, &earlier});
  ASSERT_EQ(merged.samples.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(merged.samples[i].time, At("2024/05/01 10:00:00") + static_cast<std::int64_t>(i));
    EXPECT_EQ(merged.samples[i].level, 58.0 + static_cast<double>(i));
  }
  EXPECT_EQ(merged.period, 1);

  // A clock set back: its records are taken in time order, and counted.
  const RecordList back = Levels("2024/05/01 10:00:10", -1, {"60", "61"});
  const MeasuredLevels sorted = Merge({&back});
  EXPECT_EQ(sorted.out_of_order, 1u);
  EXPECT_EQ(sorted.samples[0].level, 61.0);
}

TEST(MergeLevels, ClassesLevelsAsTheListStatisticsDo) {
  const RecordList list = Levels("2024/05/01 10:00:00", 1, {"65.3", "80.0*", "--", "L", "150.2"});
  const std::vector<LevelSample> s = Merge({&list}).samples;
  ASSERT_EQ(s.size(), 5u);
  EXPECT_EQ(s[0].kind, SampleKind::kLevel);
  EXPECT_EQ(s[0].level, 65.3);
  EXPECT_EQ(s[0].energy, std::pow(10.0, 65.3 / 10.0));
  EXPECT_EQ(s[1].kind, SampleKind::kPaused);
  EXPECT_EQ(s[2].kind, SampleKind::kUnderRange);
  EXPECT_EQ(s[2].level, 25.0);
  for (const LevelSample& over : {s[3], s[4]}) {
    EXPECT_EQ(over.kind, SampleKind::kOverRange);
    EXPECT_EQ(over.level, 145.0);
    EXPECT_EQ(over.fine, 1450);
  }
}

TEST(MergeLevels, RefusesWhatItCannotTakeNamingTheFile) {
  const RecordList a = Levels("2024/05/01 10:00:00", 1, {"60", "61", "62"});
  const RecordList overlapping = Levels("2024/05/01 10:00:02", 1, {"60"});
  RecordList bad_time = Levels("2024/05/01 11:00:00", 1, {"60"});
  bad_time.Append("2", "2024/05/01 11:00", "61");
  const RecordList no_level = Levels("2024/05/01 11:00:00", 1, {"loud"});
  struct Case {
    const RecordList* second;
    std::vector<std::string> said;
  };
  for (const Case& c : {Case{&overlapping, {"\"a.dlgr\" and \"b.dlgr\" overlap"}},
                        Case{&bad_time, {"\"b.dlgr\": record 2 has no time", "2024/05/01 11:00"}},
                        Case{&no_level, {"\"b.dlgr\": record 1 holds no level", "loud"}}}) {
    try {
      Merge({&a, c.second});
      ADD_FAILURE() << c.said[0];
    } catch (const AssessmentError& e) {
      for (const std::string& part : c.said) {
        EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
      }
    }
  }
}

TEST(SamplePeriod, IsTheMostCommonStepTheSmallestOfEqualsAndAtLeastOne) {
  struct Case {
    std::vector<std::int64_t> times;
    std::int64_t period;
  };
  for (const Case& c : {Case{{0, 10, 20, 30}, 10}, Case{{0, 2, 4, 7, 10}, 2}, Case{{0}, 1},
                        Case{{0, 0, 0}, 1}, Case{{0, 5000, 10000, 10001}, 5000}}) {
    std::vector<LevelSample> samples(c.times.size());
    for (std::size_t i = 0; i < c.times.size(); ++i) samples[i].time = c.times[i];
    EXPECT_EQ(SamplePeriod(samples), c.period) << c.times.size();
  }
}

TEST(Assess, AnIntervalWithOneRecordHasItsLevelAndOnePeriodOfCoverage) {
  RecordList list = Levels("2024/05/01 10:00:00", 10, {"60", "70", "80"});
  list.Append("4", "2024/05/01 10:01:30", "65");
  AssessmentSettings settings;
  settings.interval = 60;
  const Assessment a = AssessList(list, settings);
  EXPECT_EQ(a.period, 10);
  ASSERT_EQ(a.intervals.size(), 2u);
  const IntervalLevels& first = a.intervals[0];
  EXPECT_EQ(first.start, At("2024/05/01 10:00:00"));
  EXPECT_EQ(first.levels.count, 3);
  EXPECT_DOUBLE_EQ(first.coverage, 50.0);
  EXPECT_NEAR(first.levels.Leq(), Leq({60, 70, 80}), 1e-9);
  EXPECT_EQ(first.levels.lmax, 80.0);
  EXPECT_EQ(first.levels.lmax_time, At("2024/05/01 10:00:20"));
  EXPECT_EQ(first.levels.lmin, 60.0);
  EXPECT_NEAR(first.levels.Sel(a.period), Leq({60, 70, 80}) + 10 * std::log10(30.0), 1e-9);
  const IntervalLevels& one = a.intervals[1];
  EXPECT_EQ(one.start, At("2024/05/01 10:01:00"));
  EXPECT_EQ(one.levels.count, 1);
  EXPECT_NEAR(one.coverage, 100.0 / 6.0, 1e-9);
  EXPECT_NEAR(one.levels.Leq(), 65.0, 1e-9);
  EXPECT_NEAR(one.levels.Sel(a.period), 75.0, 1e-9);
  for (const double level : one.levels.percentiles) EXPECT_EQ(level, 65.0);
  EXPECT_EQ(a.start, At("2024/05/01 10:00:00"));
  EXPECT_EQ(a.end, At("2024/05/01 10:01:40"));
}

// A minute's records with both range flags and a pause, worked out by hand:
// the paused one is left out, those out of range count at their class levels,
// and every figure that counts time counts whole periods.
TEST(Assess, AtAMinutesPeriodEveryFigureCountsWholeMinutes) {
  // 10:00 70, 10:01 under (25), 10:02 over (145), 10:03 72, 10:04 50,
  // 10:05 paused, 10:06 75.
  const RecordList list =
      Levels("2024/05/01 10:00:00", 60, {"70", "--", "L", "72", "50", "80.0*", "75"});
  AssessmentSettings settings;
  settings.interval = 300;
  settings.threshold = 70.0;
  settings.hold = 60;
  settings.rolling = 180;
  const Assessment a = AssessList(list, settings);
  EXPECT_EQ(a.period, 60);
  EXPECT_EQ(a.paused, 1);
  EXPECT_EQ(a.total.count, 6);
  EXPECT_EQ(a.total.under_range, 1);
  EXPECT_EQ(a.total.over_range, 1);
  EXPECT_EQ(a.total.lmin, 25.0);
  EXPECT_NEAR(a.total.Sel(a.period), Leq({70, 25, 145, 72, 50, 75}) + 10 * std::log10(360.0), 1e-9);
  EXPECT_EQ(a.end, At("2024/05/01 10:07:00"));
  // 10:00 to 10:05 whole; 10:05 to 10:10 one minute of five.
  ASSERT_EQ(a.intervals.size(), 2u);
  EXPECT_DOUBLE_EQ(a.intervals[0].coverage, 100.0);
  EXPECT_EQ(a.intervals[1].levels.count, 1);
  EXPECT_DOUBLE_EQ(a.intervals[1].coverage, 20.0);
  // Four minutes at or above 70 dB. A level may dip for the hold (60 s) plus
  // a period: the minute under range joins the first event; the two quieter
  // minutes before 75 dB (one of them paused) end it.
  EXPECT_EQ(a.seconds_above, 240);
  ASSERT_EQ(a.events.size(), 2u);
  EXPECT_EQ(a.events[0].start, At("2024/05/01 10:00:00"));
  EXPECT_EQ(a.events[0].end, At("2024/05/01 10:04:00"));
  EXPECT_EQ(a.events[0].count, 4);
  EXPECT_EQ(a.events[0].lmax_time, At("2024/05/01 10:02:00"));
  EXPECT_NEAR(a.events[0].Sel(a.period), Leq({70, 25, 145, 72}) + 10 * std::log10(240.0), 1e-9);
  EXPECT_EQ(a.events[1].start, At("2024/05/01 10:06:00"));
  EXPECT_EQ(a.events[1].end, At("2024/05/01 10:07:00"));
  // Three minutes from 10:02 on; 145, 72 and 50 is the loudest.
  EXPECT_NEAR(*a.rolling_max, Leq({145, 72, 50}), 1e-9);
  EXPECT_EQ(a.rolling_time, At("2024/05/01 10:04:00"));
}

// Random lists (the property test) never tie; of equally loud windows the
// first counts.
TEST(Assess, TheWorstRollingWindowIsTheFirstOfTheLoudest) {
  AssessmentSettings settings;
  settings.rolling = 2;  // two records: 50+90 ends at 10:00:02 and 90+50 at 10:00:03
  const Assessment a =
      AssessList(Levels("2024/05/01 10:00:00", 1, {"50", "50", "90", "50"}), settings);
  EXPECT_NEAR(*a.rolling_max, Leq({50, 90}), 1e-9);
  EXPECT_EQ(a.rolling_time, At("2024/05/01 10:00:02"));
}

// Hourly records of an assessment day from 07:00: 12 of the day, 4 of the
// evening and 8 of the night, which ends the next morning. (A day without one
// of its parts has no Lden: the property test.)
TEST(Assess, LdenWeighsDayEveningAndNightByTheirHoursAndPenalties) {
  std::vector<std::string> levels(12, "60");
  levels.insert(levels.end(), 4, "50");
  levels.insert(levels.end(), 8, "40");
  const Assessment whole = AssessList(Levels("2024/05/01 07:00:00", 3600, levels));
  ASSERT_EQ(whole.days.size(), 1u);
  const DayLevels& day = whole.days[0];
  EXPECT_EQ(day.date, At("2024/05/01 00:00:00"));
  EXPECT_NEAR(*day.parts[kDayPart].Leq(), 60.0, 1e-9);
  EXPECT_NEAR(*day.parts[kEveningPart].Leq(), 50.0, 1e-9);
  EXPECT_NEAR(*day.parts[kNightPart].Leq(), 40.0, 1e-9);
  for (const PartLevels& part : day.parts) EXPECT_DOUBLE_EQ(part.coverage, 100.0);
  // The evening 5 dB and the night 10 dB up: 57.68 dB.
  EXPECT_NEAR(*day.lden, 10 * std::log10((12 * 1e6 + 4 * std::pow(10, 5.5) + 8 * 1e5) / 24), 1e-9);
}

// What a page of columns can show of a week.
TEST(MinMaxColumns, KeepsEachColumnsRangeAndLeavesAGapAGap) {
  std::vector<LevelSample> samples;
  for (int t = 0; t < 10; ++t) samples.push_back({.time = t, .level = 40.0 + (t * 7) % 10});
  for (int t = 30; t < 40; ++t) samples.push_back({.time = t, .level = 50});
  // A paused record is no level, however loud it was.
  samples[15].kind = SampleKind::kPaused;
  samples[15].level = 99;

  const ColumnTrace trace = MinMaxColumns(samples, 0, 40, 4);
  ASSERT_EQ(trace.times, (std::vector<double>{5, 5, 15, 35, 35}));
  ASSERT_EQ(trace.levels.size(), 5u);
  EXPECT_EQ(trace.levels[0], 40);
  EXPECT_EQ(trace.levels[1], 49);
  EXPECT_TRUE(std::isnan(trace.levels[2]));
  EXPECT_EQ(trace.levels[3], 50);
  EXPECT_EQ(trace.levels[4], 50);
}

TEST(SettingsProblem, NamesSettingsThatCannotBeUsed) {
  EXPECT_EQ(SettingsProblem({}), "");
  // The night may start after midnight.
  EXPECT_EQ(SettingsProblem({.part_starts = {6, 18, 2}}), "");
  const auto says = [](const AssessmentSettings& s, const char* said) {
    EXPECT_NE(SettingsProblem(s).find(said), std::string::npos) << said;
  };
  says({.interval = 7000}, "divide a day");
  says({.interval = 0}, "divide a day");
  says({.part_starts = {7, 7, 23}}, "three different hours");
  says({.part_starts = {19, 7, 23}}, "in that order");
  says({.part_starts = {7, 19, 24}}, "from 0 to 23");
  says({.percentiles = {10, 100}}, "from 0 to 99");
  says({.percentiles = {10, 10}}, "given twice");
  says({.rolling = 0}, "at least a second");
  says({.exclusions = {{10, 5, ""}}}, "ends before it starts");
}

// Two windows over one survey: each change is made to what the side file
// holds by then, so neither loses a stretch the other left out.
TEST(AssessmentDocument, TwoEditorsOfOneSideFileKeepEachOthersStretches) {
  test::TempDir dir;
  const std::string path = dir.File("day.dlgr");
  test::WriteBytes(path, "");
  const RecordList list = Levels("2024/05/01 10:00:00", 1, std::vector<std::string>(60, "60"));
  const NamedList named{&list, path};
  AssessmentDocument a(std::span(&named, 1), true);
  AssessmentDocument b(std::span(&named, 1), true);
  EXPECT_EQ(a.ReadSideFiles() + b.ReadSideFiles(), "");
  const Exclusion first{At("2024/05/01 10:00:10"), At("2024/05/01 10:00:20"), "siren"};
  const Exclusion second{At("2024/05/01 10:00:30"), At("2024/05/01 10:00:40"), "dog"};
  EXPECT_EQ(a.Add(first), "");
  EXPECT_EQ(b.Add(second), "");
  EXPECT_EQ(ReadExclusions(ExclusionsPathFor(path)), (std::vector<Exclusion>{first, second}));
  EXPECT_EQ(b.exclusions(), (std::vector<Exclusion>{first, second}));
  // A still shows only its own; removing it leaves B's.
  ASSERT_EQ(a.exclusions(), std::vector<Exclusion>{first});
  EXPECT_EQ(a.Remove(0), "");
  EXPECT_EQ(ReadExclusions(ExclusionsPathFor(path)), std::vector<Exclusion>{second});
  EXPECT_EQ(a.exclusions(), std::vector<Exclusion>{second});
  // B gives the stretch A removed a new reason: it comes back. A removes its
  // one stretch, the second in the file by then.
  const Exclusion police{first.from, first.to, "police siren"};
  EXPECT_EQ(b.SetReason(0, police.reason), "");
  EXPECT_EQ(ReadExclusions(ExclusionsPathFor(path)), (std::vector<Exclusion>{police, second}));
  EXPECT_EQ(a.Remove(0), "");
  EXPECT_EQ(ReadExclusions(ExclusionsPathFor(path)), std::vector<Exclusion>{police});
}

// The report's table of files says which set did not arrive whole.
TEST(FilesTable, SaysASetThatDidNotArriveWhole) {
  ListHeader set;
  set.kind = ListKind::kDataLogger2;
  set.note = "incomplete: 3 of 5 records";
  EXPECT_EQ(FilesTable({{"set.dlgr", set, 3}}).rows.at(0).at(1),
            "Data Logger 2 (incomplete: 3 of 5 records)");
}

}  // namespace
}  // namespace slm
