// What the assessment's chart draws of a view: the levels in columns or
// through the records, from the records or from their summaries, the parts
// of the day and the events' marks.
#include "assessment/level_columns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "assessment/level_summaries.h"
#include "base/calendar.h"

namespace slm {
namespace {

// NaN where the trace has a gap, so that traces compare whole.
std::vector<double> Flat(const ColumnTrace& t) {
  std::vector<double> flat;
  for (std::size_t i = 0; i < t.times.size(); ++i) {
    flat.insert(flat.end(), {t.times[i], std::isnan(t.lows[i]) ? -1 : t.lows[i],
                             std::isnan(t.highs[i]) ? -1 : t.highs[i]});
  }
  return flat;
}

TEST(MinMaxColumns, KeepsEachColumnsRangeAndLeavesAGapAGap) {
  std::vector<LevelSample> samples;
  for (int t = 0; t < 10; ++t) samples.push_back({.time = t, .level = 40.0 + (t * 7) % 10});
  for (int t = 30; t < 40; ++t) samples.push_back({.time = t, .level = 50});
  // A paused record is no level, however loud it was.
  samples[15].kind = SampleKind::kPaused;
  samples[15].level = 99;
  // Two stretches of one column each, drawn across their columns.
  EXPECT_EQ(Flat(MinMaxColumns(samples, 0, 40, 4)),
            (std::vector<double>{0, 40, 49, 10, 40, 49, 22.5, -1, -1, 30, 50, 50, 40, 50, 50}));

  // Closer in, where columns are narrower than a record's period: a line,
  // broken only where no record was.
  MeasuredLevels levels{.samples = samples};
  const LevelSummaries summaries(levels);
  const ColumnTrace close = MinMaxColumns(samples, 0, 40, 160);
  EXPECT_EQ(
      std::count_if(close.lows.begin(), close.lows.end(), [](double l) { return std::isnan(l); }),
      2);
  EXPECT_EQ(Flat(summaries.Columns(0, 40, 160)), Flat(close));
  // Fewer records in view than columns: the records themselves, with one
  // on either side so that the line runs on to the view's edges.
  const ColumnTrace records = summaries.Trace(4.2, 8.7, 50);
  EXPECT_EQ(records.times, (std::vector<double>{4.5, 5.5, 6.5, 7.5, 8.5, 9.5}));
  EXPECT_EQ(records.lows, (std::vector<double>{48, 45, 42, 49, 46, 43}));
  EXPECT_EQ(summaries.Gaps(0, 40, 0), (std::vector<TimeSpan>{{10, 30}, {35, 36}}));
  EXPECT_EQ(summaries.Gaps(20, 40, 2), (std::vector<TimeSpan>{{10, 30}}));
  EXPECT_EQ(summaries.Range(), (std::pair<double, double>{40, 50}));
}

// The summaries give what a walk through the records gives, for any view of
// a measurement of many blocks with paused records, gaps and a clock that
// stands still, in a time that does not grow with the records.
TEST(LevelSummaries, GiveTheColumnsOfTheRecordsForAnyView) {
  std::mt19937 rng(7);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  MeasuredLevels levels;
  std::int64_t t = 1000;
  for (int i = 0; i < 60000; ++i) {
    t += pick(500) == 0 ? 2 + pick(3000) : 2 * pick(2);
    // Rising and falling back, so that a record too many in a column shows.
    levels.samples.push_back({.time = t,
                              .level = 30.0 + i % 50000 / 1000.0 + pick(10) / 100.0,
                              .kind = pick(50) == 0 ? SampleKind::kPaused : SampleKind::kLevel,
                              .period = 1 + i / 10000 % 3});
  }
  const LevelSummaries summaries(levels);
  for (int view = 0; view < 300; ++view) {
    const double from = 500.0 + pick(static_cast<int>(t)) + pick(1000) / 1000.0;
    const double to = from + 1 + pick(view % 3 == 0 ? 1000 : static_cast<int>(t));
    const int columns = 1 + pick(view % 2 == 0 ? 8 : 1200);
    EXPECT_EQ(Flat(summaries.Columns(from, to, columns)),
              Flat(MinMaxColumns(levels.samples, from, to, columns)))
        << from << " to " << to << " in " << columns;
  }
}

TEST(DayPartSpans, ShadeEachPartAtItsHoursTheNightIntoTheMorning) {
  const double midnight = static_cast<double>(*ParseClockText("2024/05/01 00:00:00"));
  auto hours = [&](const std::array<int, 3>& starts, double from, double to) {
    std::vector<double> out;
    for (const PartSpan& p : DayPartSpans(starts, midnight + from * 3600, midnight + to * 3600)) {
      out.insert(out.end(), {(p.span.from - midnight) / 3600, (p.span.to - midnight) / 3600,
                             static_cast<double>(p.part)});
    }
    return out;
  };
  EXPECT_EQ(hours({7, 19, 23}, 5, 32),
            (std::vector<double>{5, 7, 2, 7, 19, 0, 19, 23, 1, 23, 31, 2, 31, 32, 0}));
  // An evening to 2 in the morning.
  EXPECT_EQ(hours({6, 18, 2}, 17, 27), (std::vector<double>{17, 18, 0, 18, 26, 1, 26, 27, 2}));
}

// An event is cut where the data has a gap in it or a stretch is left out;
// two events stay two unless a column cannot tell them apart.
TEST(EventMarks, CutAtGapsAndKeepEventsApart) {
  const std::vector<ExceedanceEvent> events = {{.start = 100, .end = 200},
                                               {.start = 203, .end = 260}};
  const std::vector<TimeSpan> holes = {{170, 175}, {140, 150}, {240, 240.5}};
  EXPECT_EQ(EventMarks(events, holes, 0, 1000, 1),
            (std::vector<TimeSpan>{{100, 140}, {150, 170}, {175, 200}, {203, 260}}));
  EXPECT_EQ(EventMarks(events, holes, 120, 250, 1),
            (std::vector<TimeSpan>{{120, 140}, {150, 170}, {175, 200}, {203, 250}}));
  EXPECT_EQ(EventMarks(events, holes, 0, 1000, 6), (std::vector<TimeSpan>{{100, 140}, {150, 260}}));
  EXPECT_TRUE(EventMarks(events, holes, 300, 400, 1).empty());
}

}  // namespace
}  // namespace slm
