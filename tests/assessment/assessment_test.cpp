// The assessment's definitions on small lists worked out by hand.
#include "assessment/assessment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/level_statistics.h"
#include "assessment/assessment_document.h"
#include "assessment/assessment_output.h"
#include "assessment/assessment_parts.h"
#include "assessment/assessment_settings.h"
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

// An hour of one-second records at 50 dB, then an hour of one-minute
// records at 80 dB: each weighs its own minute, so the hour at 80 dB counts
// 3600 s as the other: Leq 10 lg((3600 x 10^5 + 60 x 60 x 10^8) / 7200) =
// 77.0, SEL 10 lg(3600 x 10^5 + 3600 x 10^8) = 115.6, both hours covered.
TEST(MergeLevels, EachRecordWeighsItsOwnFilesPeriodAndTheWeightingsMustAgree) {
  RecordList seconds = Levels("2024/05/01 10:00:00", 1, std::vector<std::string>(3600, "50.0"));
  RecordList minutes = Levels("2024/05/01 11:00:00", 60, std::vector<std::string>(60, "80.0"));
  for (RecordList* list : {&seconds, &minutes}) {
    list->header().kind = ListKind::kRealTime;
    list->header().frequency_weighting = "A";
    list->header().time_weighting = "FAST";
  }
  const Assessment a = Assess(Merge({&seconds, &minutes}), {});
  EXPECT_NEAR(a.total.Leq(), 77.0, 0.05);
  EXPECT_NEAR(a.total.Leq(), 10 * std::log10((3600 * 1e5 + 3600 * 1e8) / 7200), 1e-9);
  EXPECT_NEAR(a.total.Sel(), 10 * std::log10(3600 * 1e5 + 3600 * 1e8), 1e-9);
  EXPECT_EQ(a.periods, (std::vector<std::int64_t>{1, 60}));
  ASSERT_EQ(a.intervals.size(), 2u);
  EXPECT_DOUBLE_EQ(a.intervals[1].coverage, 100.0);
  // L50: exactly half the time lies above 50 dB; L10 is 80 dB.
  EXPECT_EQ(a.total.percentiles[3], 50.0);
  EXPECT_EQ(a.total.percentiles[2], 80.0);
  EXPECT_EQ(DescriptorsOf(std::vector<ListHeader>{seconds.header(), minutes.header()}).LN(90),
            "LAF90");

  // Another frequency weighting is refused, naming both files, unless allowed.
  minutes.header().frequency_weighting = "C";
  try {
    Merge({&seconds, &minutes});
    ADD_FAILURE();
  } catch (const AssessmentError& e) {
    EXPECT_NE(std::string(e.what()).find("frequency weighting A in \"a.dlgr\" and C in \"b.dlgr\""),
              std::string::npos)
        << e.what();
  }
  const std::vector<NamedList> both = {{&seconds, "a"}, {&minutes, "b"}};
  EXPECT_EQ(MergeLevels(both, MixedWeightings::kAllow).samples.size(), 3660u);
  EXPECT_EQ(DescriptorsOf(std::vector<ListHeader>{seconds.header(), minutes.header()}).Leq(),
            "Leq");
}

// LN is the lowest level with at most N % of the time above it. Ten levels
// of a second each, 61 to 70 dB: the (floor(N x 10 / 100) + 1)-th highest.
// Then 50 dB for 10 s under 60 to 69 dB a second each: half the time lies at
// 50 dB, so L50 is 50 dB and L49 already 60 dB.
TEST(ExceedanceLevels, FollowTheTimeAboveEachLevel) {
  std::vector<std::int64_t> equal(91, 0);
  for (int db = 61; db <= 70; ++db) equal[static_cast<std::size_t>((db - 61) * 10)] = 1;
  const std::vector<int> n = {0, 5, 10, 50, 90, 99, 100};
  EXPECT_EQ(ExceedanceLevels(equal, 610, n), (std::vector<double>{70, 70, 69, 65, 61, 61, 61}));
  std::vector<std::int64_t> weighted(191, 0);
  weighted[0] = 10;
  for (int db = 60; db <= 69; ++db) weighted[static_cast<std::size_t>((db - 50) * 10)] = 1;
  EXPECT_EQ(ExceedanceLevels(weighted, 500, std::vector<int>{0, 49, 50, 100}),
            (std::vector<double>{69, 60, 50, 50}));
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
  EXPECT_NEAR(first.levels.Sel(), Leq({60, 70, 80}) + 10 * std::log10(30.0), 1e-9);
  const IntervalLevels& one = a.intervals[1];
  EXPECT_EQ(one.start, At("2024/05/01 10:01:00"));
  EXPECT_EQ(one.levels.count, 1);
  EXPECT_NEAR(one.coverage, 100.0 / 6.0, 1e-9);
  EXPECT_NEAR(one.levels.Leq(), 65.0, 1e-9);
  EXPECT_NEAR(one.levels.Sel(), 75.0, 1e-9);
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
  EXPECT_NEAR(a.total.Sel(), Leq({70, 25, 145, 72, 50, 75}) + 10 * std::log10(360.0), 1e-9);
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
  EXPECT_NEAR(a.events[0].Sel(), Leq({70, 25, 145, 72}) + 10 * std::log10(240.0), 1e-9);
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

// Records a second apart from 10:00:00 to 10:02:29 but for 10:01:40 to
// 10:01:44; the first 50 s are left out, and 10:00:50 to 10:00:59 are at
// 80 dB, the rest 60 dB. The first window of 60 s ends at 10:01:49 (from
// the first counted record): 55 records, 91.7 % covered, ten of them at
// 80 dB: 10 lg((10 x 10^8 + 45 x 10^6) / 55) = 72.6 dB. Later windows lose
// the 80 dB records; none covers less than 91.7 %.
TEST(Assess, TheRollingWindowCountsFromTheFirstCountedRecordAndNeedsItsCoverage) {
  RecordList list;
  const std::int64_t start = At("2024/05/01 10:00:00");
  for (std::int64_t t = 0; t < 150; ++t) {
    if (t >= 100 && t < 105) continue;
    list.Append(std::to_string(t + 1), ClockText(start + t), t >= 50 && t < 60 ? "80.0" : "60.0");
  }
  AssessmentSettings settings;
  settings.rolling = 60;
  settings.exclusions = {{start, start + 50, ""}};
  const Assessment a = AssessList(list, settings);
  ASSERT_TRUE(a.rolling_max);
  EXPECT_NEAR(*a.rolling_max, 10 * std::log10((10 * 1e8 + 45 * 1e6) / 55), 1e-9);
  EXPECT_EQ(a.rolling_time, start + 109);
  EXPECT_NEAR(a.rolling_coverage, 100.0 * 55 / 60, 1e-9);
  settings.rolling_coverage = 95;
  EXPECT_FALSE(AssessList(list, settings).rolling_max);
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

  // The next day 10 dB louder but for five hours of its night (62.5 %):
  // below 75 % the night has no level and the day no Lden.
  std::vector<std::string> two = levels;
  for (std::size_t i = 0; i < 21; ++i) two.push_back(std::to_string(std::stoi(levels[i]) + 10));
  const Assessment a = AssessList(Levels("2024/05/31 07:00:00", 3600, two));
  ASSERT_EQ(a.days.size(), 2u);
  EXPECT_NEAR(*a.days[1].parts[kNightPart].Leq(), 50.0, 1e-9);
  EXPECT_FALSE(a.days[1].parts[kNightPart].Level());
  EXPECT_FALSE(a.days[1].lden);
  // Each month and the year: energetic means of the days' levels; the
  // year's night has one day, its day and evening two.
  ASSERT_EQ(a.months.size(), 2u);
  EXPECT_EQ(a.months[1].start, At("2024/06/01 00:00:00"));
  EXPECT_NEAR(*a.months[1].levels[kDayPart], 70.0, 1e-9);
  EXPECT_FALSE(a.months[1].lden);
  ASSERT_EQ(a.years.size(), 1u);
  const PeriodLevels& year = a.years[0];
  EXPECT_EQ(year.days, (std::array<std::int64_t, 3>{2, 2, 1}));
  EXPECT_NEAR(*year.levels[kDayPart], 10 * std::log10((1e6 + 1e7) / 2), 1e-9);
  EXPECT_NEAR(*year.lden,
              10 * std::log10((12 * (1e6 + 1e7) / 2 + 4 * std::pow(10, 5.5) * 5.5 + 8 * 1e5) / 24),
              1e-9);
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
  says({.percentiles = {10, 101}}, "from 0 to 100");
  says({.min_coverage = 101}, "from 0 to 100");
  says({.percentiles = {10, 10}}, "given twice");
  says({.rolling = 0}, "at least a second");
  says({.exclusions = {{10, 5, ""}}}, "ends before it starts");
}

// The command's options and the window's boxes give these texts.
TEST(ParseSettings, ReadsTheTypedTextsAndRefusesInTheSameWords) {
  std::string problem;
  const std::optional<AssessmentSettings> s =
      ParseSettings({.interval = "900",
                     .periods = "6,18, 2",
                     .percentiles = " 10, 50,",
                     .threshold = " 70.5",
                     .hold = "5",
                     .exclusions = {"2024/05/01 10:00:00..2024/05/01 10:00:10 siren"}},
                    problem);
  ASSERT_TRUE(s) << problem;
  EXPECT_EQ(s->interval, 900);
  EXPECT_EQ(s->part_starts, (std::array<int, 3>{6, 18, 2}));
  EXPECT_EQ(s->percentiles, (std::vector<int>{10, 50}));
  EXPECT_EQ(s->threshold, 70.5);
  EXPECT_EQ(s->hold, 5);
  EXPECT_EQ(s->rolling, 3600);
  EXPECT_EQ(s->exclusions.at(0).reason, "siren");
  EXPECT_EQ(ParseSettings({.percentiles = "10,50"}, problem)->percentiles,
            (std::vector<int>{10, 50}));

  const std::pair<SettingsTexts, const char*> refused[] = {
      {{.interval = "1 h"}, "the interval is whole seconds, not \"1 h\""},
      {{.periods = "7,19"}, "three whole hours from 0 to 23 joined by commas, not \"7,19\""},
      {{.periods = "7,19,24"}, "not \"7,19,24\""},
      {{.percentiles = "10, 200"}, "from 0 to 100 joined by commas, not \"10, 200\""},
      {{.percentiles = ""}, "not \"\""},
      {{.threshold = "loud"}, "the threshold is a level in dB (or nothing for none), not \"loud\""},
      {{.min_duration = "-1"}, "cannot be negative"},
      {{.rolling = "1.5"}, "the rolling window is whole seconds"},
      {{.min_coverage = "80%"}, "a percentage from 0 to 100, not \"80%\""},
      {{.exclusions = {"2024/05/01 10:00:20..2024/05/01 10:00:10"}}, "ends"},
  };
  for (const auto& [texts, said] : refused) {
    problem.clear();
    EXPECT_FALSE(ParseSettings(texts, problem)) << said;
    EXPECT_NE(problem.find(said), std::string::npos) << problem;
  }
}

// Four records 10 s apart, one under range ("--", taken as 25 dB) and one
// over ("L", 145 dB), in one-minute intervals. Worked out by hand:
//   10:00  70 and 25 dB: Leq 10 lg((10^7 + 10^2.5) / 2) = 67.0, Lmax 70.0 at
//          10:00:40, Lmin 25.0, SEL 67.0 + 10 lg(2 x 10) = 80.0, cover 20/60 = 33.3 %
//   10:01  145 and 80 dB: Leq 10 lg((10^14.5 + 10^8) / 2) = 142.0, Lmax 145.0 at
//          10:01:00, Lmin 80.0, SEL 142.0 + 13.0 = 155.0, cover 33.3 %
//   10:02  excluded; 10:03 no record; 10:04 60 dB
//   total  Leq 10 lg((10^7 + 10^2.5 + 10^14.5 + 10^8 + 10^6) / 5) = 138.0
// L50 of two records is the second highest (floor(50 x 2 / 100) + 1), of
// five the third. A figure that counted a record out of range is flagged.
TEST(BuildTables, HoldsEachFigureUnderItsColumnWithItsFlagsAndARowForEachInterval) {
  AssessmentSettings settings{.interval = 60, .percentiles = {50}, .threshold = 100.0};
  settings.exclusions = {{At("2024/05/01 10:02:00"), At("2024/05/01 10:03:00"), "dog"}};
  RecordList list = Levels("2024/05/01 10:00:40", 10, {"70.0", "--", "L", "80.0"});
  list.Append("5", "2024/05/01 10:02:30", "99.0");
  list.Append("6", "2024/05/01 10:04:00", "60.0");
  AssessedLists lists{{"A", "F"}, {{"b.dlgr", 1}}, {}};
  const AssessmentTables t = BuildTables(AssessList(list, settings), settings, lists);
  EXPECT_EQ(
      TableCsv(t.intervals),
      "start,count,coverage,under_range,over_range,leq,leq_flag,lmax,lmax_flag,lmax_time,"
      "lmin,lmin_flag,sel,sel_flag,L50,L50_flag,note\r\n"
      "2024/05/01 10:00:00,2,33.3,1,0,67.0,under,70.0,,2024/05/01 10:00:40,25.0,under,80.0,"
      "under,25.0,under,\r\n"
      "2024/05/01 10:01:00,2,33.3,0,1,142.0,over,145.0,over,2024/05/01 10:01:00,80.0,,155.0,"
      "over,80.0,,\r\n"
      "2024/05/01 10:02:00,0,0.0,0,0,,,,,,,,,,,,excluded\r\n"
      "2024/05/01 10:03:00,0,0.0,0,0,,,,,,,,,,,,no data\r\n"
      "2024/05/01 10:04:00,1,16.7,0,0,60.0,,60.0,,2024/05/01 10:04:00,60.0,,70.0,,60.0,,\r\n");
  EXPECT_EQ(TableCsv(t.events),
            "number,start,end,duration,lmax,lmax_flag,lmax_time,leq,leq_flag,sel,sel_flag\r\n"
            "1,2024/05/01 10:01:00,2024/05/01 10:01:10,10,145.0,over,2024/05/01 10:01:00,145.0,"
            "over,155.0,over\r\n");
  EXPECT_NE(TableCsv(t.totals).find("\r\n10,2024/05/01 10:00:40,2024/05/01 10:04:10,5,50,0,1,1,1,"
                                    "138.0,under+over,145.0,over,"),
            std::string::npos)
      << TableCsv(t.totals);
  // Descriptors name the weightings; every level column its unit.
  EXPECT_EQ(HeaderText(t.intervals.columns[5]), "LAeq (dB)");
  EXPECT_EQ(HeaderText(t.intervals.columns[6]), "LAFmax (dB)");
  EXPECT_EQ(HeaderText(t.intervals.columns[10]), "LAF50 (dB)");
  // 50 s of a 12-hour day is 0.1 %: too little for a level.
  EXPECT_EQ(TableCsv(t.days),
            "date,lday,lday_flag,day_coverage,levening,evening_coverage,lnight,night_coverage,"
            "lden\r\n2024/05/01,,low cover,0.1,,0.0,,0.0,\r\n");
  const std::string notes = AssessmentText(t).substr(AssessmentText(t).find("\nNotes\n"));
  for (const char* said :
       {"in \"b.dlgr\": 1 record is earlier than the record before them",
        "\"over\": the figure counts records over the meter's range",
        "\"under\": the figure counts records under", "covered less than 75.0 % has no level"}) {
    EXPECT_NE(notes.find(said), std::string::npos) << said << "\n" << notes;
  }
}

// A small table with a figure of every kind, as each form writes it.
AssessmentTables SmallTables() {
  AssessmentTables t;
  t.totals = {"totals",
              "Totals",
              {{"Sample period", "s", "period", Format::kWhole},
               {"Leq", "dB", "leq", Format::kOneDecimal, "total.leq"},
               {"L50", "dB", "L50", Format::kOneDecimal, "total.percentiles.L50"}},
              {{{std::int64_t{1}}, {65.26}, {}}}};
  t.intervals = {"intervals",
                 "Intervals of 60 s",
                 {{"Start", "", "start", Format::kTime},
                  {"cover %", "%", "day_coverage", Format::kOneDecimal, "coverage.day"},
                  {"Reason", "", "reason", Format::kText, {}, "-"}},
                 {{{At("2024/05/01 10:00:00")}, {33.333}, {std::string("siren, \"loud\"\xe9")}},
                  {{At("2024/05/01 10:01:00")}, {{}, "estimated"}, {}}}};
  t.days = {"days", "Days", {}, {}};
  t.months = {"months", "Months", {}, {}};
  t.years = {"years", "Years", {}, {}};
  t.notes = {"LN is \"exceeded\"."};
  t.events.key = "events";
  t.exclusions.key = "exclusions";
  return t;
}

TEST(AssessmentForms, CsvJsonAndTextWriteOneTableEachTheirWay) {
  const AssessmentTables t = SmallTables();
  EXPECT_EQ(TableCsv(t.intervals),
            "start,day_coverage,day_coverage_flag,reason\r\n"
            "2024/05/01 10:00:00,33.3,,\"siren, \"\"loud\"\"\xe9\"\r\n"
            "2024/05/01 10:01:00,,estimated,\r\n");
  EXPECT_EQ(AssessmentJson(t),
            "{\n  \"period\": 1,\n  \"total\": {\"leq\": 65.3, \"percentiles\": {\"L50\": null}},\n"
            "  \"above\": null,\n  \"calibration\": null,\n  \"intervals\": [\n"
            "    {\"start\": \"2024/05/01 10:00:00\", \"coverage\": {\"day\": 33.3}, "
            "\"reason\": \"siren, \\\"loud\\\"\\u00e9\"},\n"
            "    {\"start\": \"2024/05/01 10:01:00\", \"coverage\": {\"day\": null, \"day_flag\": "
            "\"estimated\"}, \"reason\": null}\n  ],\n"
            "  \"days\": [],\n  \"months\": [],\n  \"years\": [],\n  \"events\": null,\n"
            "  \"exclusions\": [],\n  \"notes\": [\n    \"LN is \\\"exceeded\\\".\"\n  ]\n}\n");
  EXPECT_EQ(AssessmentText(t),
            "Totals\n"
            "Figure         Value\n"
            "Sample period  1 s\n"
            "Leq            65.3 dB\n"
            "L50            missing\n"
            "\nIntervals of 60 s\n"
            "              Start  cover % (%)  Reason\n"
            "2024/05/01 10:00:00         33.3  siren, \"loud\"\xe9\n"
            "2024/05/01 10:01:00    estimated  -\n"
            "\nDays\nnone\n\nMonths\nnone\n\nYears\nnone\n\nNotes\n- LN is \"exceeded\".\n");
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

// The tones found go to the side file once, with their reason, like any
// stretch left out.
TEST(AssessmentDocument, LeavesOutTheCalibrationTonesOnceInTheSideFile) {
  test::TempDir dir;
  const std::string path = dir.File("day.dlgr");
  std::vector<std::string> levels(15, "94.0");
  levels.insert(levels.end(), 60, "55.0");
  const RecordList list = Levels("2024/05/01 10:00:00", 1, levels);
  const NamedList named{&list, path};
  AssessmentDocument document(std::span(&named, 1), true);
  EXPECT_EQ(document.ReadSideFiles() + document.CheckCalibration() + document.CheckCalibration(),
            "");
  const Exclusion tone{At("2024/05/01 10:00:00"), At("2024/05/01 10:00:15"), "calibration check"};
  EXPECT_EQ(ReadExclusions(ExclusionsPathFor(path)), std::vector<Exclusion>{tone});
  ASSERT_TRUE(document.lists().calibration->start);
  EXPECT_FALSE(document.lists().calibration->end);
}

// A stretch goes to the side file of each file whose records it touches, one
// in a gap to the nearest file; gathered again, each counts once.
TEST(AssessmentDocument, SplitsStretchesOverTheFilesTheyTouchAndGathersThemOnce) {
  const std::vector<FileStretch> files = {{"a", {100, 200}}, {"b", {300, 400}}};
  const Exclusion across{150, 350, "works"};
  const Exclusion nearer_b{260, 280, ""};
  const Exclusion in_a{110, 120, "dog"};
  const auto per_file = SplitExclusions({across, nearer_b, in_a}, files);
  EXPECT_EQ(per_file[0], (std::vector<Exclusion>{across, in_a}));
  EXPECT_EQ(per_file[1], (std::vector<Exclusion>{across, nearer_b}));
  EXPECT_EQ(GatherExclusions(per_file), (std::vector<Exclusion>{in_a, across, nearer_b}));
}

TEST(AssessmentDocument, FindsTheRowAtATimeAndTheStretchOfARow) {
  Assessment a;
  a.intervals = {{.start = 0}, {.start = 7200}};  // and none between
  a.events = {{.start = 10, .end = 20}};
  EXPECT_EQ(IntervalAt(a, 3600, 3599.5), 0u);
  EXPECT_FALSE(IntervalAt(a, 3600, 3600));
  EXPECT_EQ(IntervalAt(a, 3600, 7200), 1u);
  EXPECT_FALSE(IntervalAt(a, 3600, -1));
  EXPECT_EQ(EventAt(a, 19.5), 0u);
  EXPECT_FALSE(EventAt(a, 20));
  EXPECT_EQ(IntervalStretch(a, 3600, 1).to, 10800);
  EXPECT_EQ(EventStretch(a, 0).from, 10);
  // A drag either way, in whole seconds, and at least one.
  const Stretch dragged = DraggedStretch(5.5, 2.2);
  EXPECT_EQ(dragged.from, 2);
  EXPECT_EQ(dragged.to, 6);
  EXPECT_EQ(DraggedStretch(3, 3).to, 4);
}

// What it holds is never lost: its stretches stay in the window only.
TEST(AssessmentDocument, ASideFileThatCannotBeReadIsNeverWrittenOver) {
  test::TempDir dir;
  const std::string path = dir.File("day.dlgr");
  const std::string side = ExclusionsPathFor(path);
  test::WriteBytes(side, "2024/05/01 10:00:00..soon\n");
  const RecordList list = Levels("2024/05/01 10:00:00", 1, std::vector<std::string>(60, "60"));
  const NamedList named{&list, path};
  AssessmentDocument document(std::span(&named, 1), true);
  EXPECT_NE(document.ReadSideFiles().find(side), std::string::npos);
  EXPECT_NE(document.Add({At("2024/05/01 10:00:00"), At("2024/05/01 10:00:10"), "siren"})
                .find(side + " could not be read, so it is not written over"),
            std::string::npos);
  EXPECT_EQ(document.exclusions().size(), 1u);
  EXPECT_EQ(test::ReadBytes(side), "2024/05/01 10:00:00..soon\n");
}

// The report's table of files says which set did not arrive whole.
TEST(FilesTable, SaysASetThatDidNotArriveWhole) {
  ListHeader set;
  set.kind = ListKind::kDataLogger2;
  set.note = "incomplete: 3 of 5 records";
  EXPECT_EQ(std::get<std::string>(FilesTable({{"set.dlgr", set, 3}}).rows.at(0).at(1).value),
            "Data Logger 2 (incomplete: 3 of 5 records)");
}

}  // namespace
}  // namespace slm
