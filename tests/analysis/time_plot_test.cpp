// The data of the graphs: the list plot against record numbers and against
// its clock, the live snapshot, ticks, the read-out, "Fit Y", the titles and
// the histogram's words.
#include "analysis/time_plot.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/histogram_view.h"
#include "analysis/plot_axes.h"
#include "analysis/plot_series.h"
#include "base/calendar.h"
#include "support/sample_lists.h"

namespace slm {
namespace {

using ::testing::ElementsAre;

using test::ListOf;

// The marks as "Pause 2@30 Start 4@105".
std::string Marks(const LevelColumnPlot& plot) {
  std::ostringstream out;
  for (const PlotMark& m : plot.marks) {
    if (out.tellp() > 0) out << ' ';
    out << m.text << ' ' << m.row << '@' << m.caption_y;
  }
  return out.str();
}

TEST(PlotLevelColumnTest, ClassifiesLevelsAndMarksPauses) {
  using Case = std::tuple<std::vector<std::string>, std::vector<double>, std::string>;
  const std::vector<Case> cases = {
      {{"60.0", "61.0*", "62.0*", "63.0", "64.0"},
       {60.0, 61.0, 62.0, 63.0, 64.0},
       "Pause 2@30 Start 4@105"},
      // A pause running to the end gets no Start mark.
      {{"60.0", "61.0*", "62.0*"}, {60.0, 61.0, 62.0}, "Pause 2@30"},
      {{"70.5*"}, {70.5}, "Pause 1@30"},
      // Two pauses.
      {{"60.0*", "61.0", "62.0*", "63.0"},
       {60.0, 61.0, 62.0, 63.0},
       "Pause 1@30 Start 2@105 Pause 3@30 Start 4@105"},
      // "--" is drawn at the bottom, paused or not, and neither starts nor ends a pause.
      {{"--", "60.0*", "--", "--*", "61.0"}, {25, 60.0, 25, 25, 61.0}, "Pause 2@30 Start 5@105"},
      {{"--*", "60.0"}, {25, 60.0}, ""},
      // Over range: 140.0 and up outside a pause, 145.0 and up inside one.
      {{"150.2", "140.0", "139.9"}, {145, 145, 139.9}, ""},
      {{"142.0*", "60.0"}, {145, 60.0}, ""},
      {{"60.0*", "142.0*", "144.9", "142.0"}, {60.0, 142.0, 144.9, 145}, "Pause 1@30 Start 3@105"},
      {{"60.0*", "145.0*", "150.0", "61.0"}, {60.0, 145, 145, 61.0}, "Pause 1@30 Start 4@105"},
      // "L" is over range and never starts or ends a pause.
      {{"L", "80.0L", "L*", "60.0"}, {145, 145, 145, 60.0}, ""},
      {{"60.0*", "L", "61.0"}, {60.0, 145, 61.0}, "Pause 1@30 Start 3@105"},
      // Texts that are not numbers read as 0; a starred one still pauses.
      {{"abc", "", "x*", "1.5"}, {0, 0, 0, 1.5}, "Pause 3@30 Start 4@105"},
      {{" 65.3", "-2.0"}, {65.3, -2.0}, ""},
      {{}, {}, ""},
  };
  for (const auto& [levels, y, marks] : cases) {
    SCOPED_TRACE(testing::PrintToString(levels));
    const LevelColumnPlot plot = PlotLevelColumn(ListOf(levels));
    EXPECT_EQ(plot.y, y);
    EXPECT_EQ(plot.rows(), levels.size());
    EXPECT_EQ(Marks(plot), marks);
  }
}

TEST(PlotLevelColumnTest, ProgressIsThrottledAndAlwaysGivesTheFirstAndLastRows) {
  // Each look at the clock is 100 ms after the one before.
  auto now = std::chrono::steady_clock::time_point{};
  ProgressThrottle throttle(std::chrono::milliseconds(250), [&now] {
    now += std::chrono::milliseconds(100);
    return now;
  });
  std::vector<std::size_t> rows;
  const auto progress = [&rows](std::size_t row) { rows.push_back(row); };
  PlotLevelColumn(ListOf(std::vector<std::string>(11, "60.0")), progress, throttle);
  EXPECT_THAT(rows, ElementsAre(1, 4, 7, 10, 11));
  // Its own throttle: three rows take far less than its interval.
  rows.clear();
  PlotLevelColumn(ListOf({"60.0", "61.0", "62.0"}), progress);
  EXPECT_THAT(rows, ElementsAre(1, 3));
  rows.clear();
  PlotLevelColumn(ListOf({}), progress);
  EXPECT_TRUE(rows.empty());
}

// No sample or one gives X from one to one.
TEST(OpenLiveTimePlotTest, CopiesEachSeriesWithItsBoundsAndCaption) {
  LiveChartData charts;
  EXPECT_TRUE(OpenLiveTimePlot(charts, LiveSeries::kSel).values.empty());
  EXPECT_EQ(OpenLiveTimePlot(charts, LiveSeries::kSel).x_high, 1);
  charts.UpdateLiveCharts(65.3, "61.2", "72.4*");
  EXPECT_EQ(OpenLiveTimePlot(charts, LiveSeries::kLevel).x_high, 1);
  charts.UpdateLiveCharts(58.7, "60.1", "75.0");
  charts.UpdateLiveCharts(71.0, "62.8*", "74.1");
  using Case = std::tuple<LiveSeries, std::vector<double>, double, double, std::string>;
  for (const auto& [series, values, low, high, caption] :
       {Case{LiveSeries::kLevel, {65.3, 58.7, 71.0}, 58.7, 71.0, "SPL (dB)"},
        Case{LiveSeries::kLeq, {61.2, 60.1, 62.8}, 60.1, 62.8, "Leq (dB)"},
        Case{LiveSeries::kSel, {72.4, 75.0, 74.1}, 72.4, 75.0, "SEL (dB)"}}) {
    SCOPED_TRACE(caption);
    const LiveTimePlot plot = OpenLiveTimePlot(charts, series);
    EXPECT_EQ(plot.values, values);
    EXPECT_DOUBLE_EQ(plot.y_low, low);
    EXPECT_DOUBLE_EQ(plot.y_high, high);
    EXPECT_EQ(plot.caption, caption);
    EXPECT_EQ(plot.x_high, 2);
  }
  // A copy: later samples do not reach a plot already open.
  const LiveTimePlot plot = OpenLiveTimePlot(charts, LiveSeries::kLevel);
  charts.UpdateLiveCharts(99.0, "51.0", "71.0");
  EXPECT_EQ(plot.values.size(), 3u);
}

// X as a plain number (zero without a sign), Y to the nearest tenth.
TEST(CursorTextTest, Table) {
  using Case = std::tuple<std::string, std::string>;
  for (const auto& [text, expected] :
       {Case{CursorXText(57.25), "57.25"}, Case{CursorXText(-0.0), "0"},
        Case{CursorXText(2.5e9), "2500000000"}, Case{CursorYText(85), "85.0"},
        Case{CursorYText(85.25), "85.3"}, Case{CursorYText(99.96), "100.0"},
        Case{CursorYText(0.04), "0.0"}, Case{CursorYText(-0.04), "0.0"},
        Case{CursorYText(-0.3), "-0.3"}, Case{CursorYText(-85.27), "-85.3"}}) {
    EXPECT_EQ(text, expected);
  }
}

// 2024/05/01 10:00:00 on the records' clock.
const double kTen = static_cast<double>(*ParseClockText("2024/05/01 10:00:00"));

TEST(AxisTicksTest, WholeStepsAreOneTwoOrFiveTimesAPowerOfTen) {
  using Case = std::tuple<double, int, double>;
  for (const auto& [span, ticks, step] :
       {Case{5, 8, 1}, Case{2.5, 10, 1}, Case{347999, 8, 50000}, Case{10, 3, 5}, Case{300, 4, 100},
        Case{100, 11, 10}, Case{1e6, 2, 5e5}}) {
    EXPECT_EQ(WholeTickStep(span, ticks), step) << span << " in " << ticks;
  }
}

TEST(AxisTicksTest, ClockStepsAreRoundClockTimes) {
  using Case = std::tuple<double, int, double>;
  for (const auto& [span, ticks, step] :
       {Case{59, 7, 10}, Case{3600, 7, 600}, Case{86400, 5, 6 * 3600}, Case{348000, 9, 12 * 3600},
        Case{30 * 86400, 4, 2 * 7 * 86400}, Case{3, 10, 1}}) {
    EXPECT_EQ(ClockTickStep(span, ticks), step) << span << " in " << ticks;
  }
}

TEST(AxisTicksTest, ClockTicksFallOnRoundTimesAndSayTheirDay) {
  using Case = std::tuple<double, double, double, std::vector<std::string>>;
  const std::vector<Case> cases = {
      {kTen + 5, kTen + 3700, 1800, {"10:30\n2024/05/01", "11:00"}},
      {kTen + 7 * 3600,
       kTen + 21 * 3600,
       6 * 3600,
       {"18:00\n2024/05/01", "00:00\n2024/05/02", "06:00"}},
      {kTen + 14, kTen + 31, 15, {"10:00:15\n2024/05/01", "10:00:30"}},
      // Weeks start on a Monday: 2024/05/06.
      {kTen, kTen + 20 * 86400, 7 * 86400, {"2024/05/06", "2024/05/13", "2024/05/20"}},
  };
  for (const auto& [min, max, step, labels] : cases) {
    EXPECT_EQ(ClockTickLabels(ClockTicks(min, max, step), step), labels) << step;
  }
}

TEST(PlotSeriesTest, PointsInViewNearestPointsAndSteps) {
  const std::vector<double> x = {1, 2, 4, 8};
  EXPECT_EQ(PointsInView(x, {2, 7}).begin, 1u);
  EXPECT_EQ(PointsInView(x, {2, 7}).end, 3u);
  EXPECT_TRUE(PointsInView(x, {9, 10}).empty());
  using Case = std::tuple<double, std::size_t>;
  for (const auto& [at, index] : {Case{-5, 0}, Case{3, 1}, Case{3.1, 2}, Case{6, 2}, Case{99, 3}}) {
    EXPECT_EQ(NearestPoint(x, at), index) << at;
  }
  EXPECT_EQ(NearestPoint({}, 1), std::nullopt);
  // Record numbers from 1: halves go to the earlier record.
  for (const auto& [at, index] : {Case{2.5, 1}, Case{2.51, 2}, Case{-7, 0}, Case{40, 9}}) {
    EXPECT_EQ(NearestStep(at, 1, 10), index) << at;
  }
  EXPECT_EQ(NearestStep(3, 1, 0), std::nullopt);
  EXPECT_EQ(StepsInView({2.5, 4.5}, 1, 10).begin, 2u);
  EXPECT_EQ(StepsInView({2.5, 4.5}, 1, 10).end, 4u);
  EXPECT_TRUE(StepsInView({20, 30}, 1, 10).empty());
  EXPECT_EQ(DesignCursorSteps({1, 10}, 1, 10), (std::array<std::size_t, 2>{3, 6}));
}

TEST(PlotSeriesTest, FitRangeTakesWholeUnitsAroundTheFiniteValues) {
  const std::vector<double> y = {90, 60.2, NAN, 72.8, 30};
  const std::optional<AxisRange> r = FitRange(y, {1, 4});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->min, 59);
  EXPECT_EQ(r->max, 74);
  EXPECT_EQ(FitRange(y, {2, 3}), std::nullopt);
}

TEST(PlotSeriesTest, AStepLongerThanTheLimitBreaksTheTrace) {
  EXPECT_EQ(UsualStep(std::vector<double>{0, 1, 2, 3, 100, 101}), 1);
  EXPECT_EQ(UsualStep(std::vector<double>{5}), 1);
  const std::vector<double> x = {0, 1, 2, 10, 11};
  const BrokenTrace trace = BreakAtGaps(x, std::vector<double>{60, NAN, 62, 63, 64}, 1.5);
  EXPECT_THAT(trace.x, ElementsAre(0, 1, 2, 6, 10, 11));
  ASSERT_EQ(trace.y.size(), 6u);
  EXPECT_TRUE(std::isnan(trace.y[1]));  // the paused point stays a break
  EXPECT_TRUE(std::isnan(trace.y[3]));  // the gap gets one
  EXPECT_EQ(trace.y[4], 63);
}

RecordList Timed(const std::vector<std::pair<std::string, std::string>>& rows) {
  RecordList list;
  int n = 0;
  for (const auto& [time, level] : rows) list.Append(std::to_string(++n), time, level);
  return list;
}

TEST(ClockPlotTest, PausesGapsAndUnreadableTimesLeaveTheTraceOpen) {
  const LevelColumnPlot plot = PlotLevelColumn(Timed({{"2024/05/01 10:00:00", "60.0"},
                                                      {"2024/05/01 10:00:01", "61.0*"},
                                                      {"2024/05/01 10:00:02", "62.0"},
                                                      {"garbled", "63.0"},
                                                      {"2024/05/01 10:00:03", "64.0"},
                                                      {"2024/05/01 10:00:10", "65.0"},
                                                      {"2024/05/01 10:00:11", "66.0"}}));
  const ClockPlot clock = PlotAgainstClock(plot);
  EXPECT_EQ(clock.unplaced, 1u);
  EXPECT_THAT(clock.rows, ElementsAre(0, 1, 2, 4, 5, 6));
  EXPECT_THAT(clock.trace.x,
              ElementsAre(kTen, kTen + 1, kTen + 2, kTen + 3, kTen + 6.5, kTen + 10, kTen + 11));
  EXPECT_TRUE(std::isnan(clock.trace.y[1]));  // paused
  EXPECT_TRUE(std::isnan(clock.trace.y[4]));  // the gap from 10:00:03 to 10:00:10
  EXPECT_EQ(clock.trace.y[5], 65);
  EXPECT_THAT(clock.mark_times, ElementsAre(kTen + 1, kTen + 2));  // "Pause", "Start"

  // A clock set back: the records are taken in time order.
  const ClockPlot back = PlotAgainstClock(
      PlotLevelColumn(Timed({{"2024/05/01 10:00:05", "60.0"}, {"2024/05/01 10:00:00", "61.0"}})));
  EXPECT_THAT(back.times, ElementsAre(kTen, kTen + 5));
  EXPECT_THAT(back.rows, ElementsAre(1, 0));
  EXPECT_TRUE(PlotAgainstClock(PlotLevelColumn(Timed({{"", "60.0"}}))).empty());

  // The range boxes count records on a clock view, both ways.
  EXPECT_EQ(RecordsInView(clock, {kTen + 1.5, kTen + 10})->min, 3);
  EXPECT_EQ(RecordsInView(clock, {kTen + 1.5, kTen + 10})->max, 6);
  EXPECT_EQ(RecordsInView(clock, {kTen + 4, kTen + 9}), std::nullopt);
  EXPECT_EQ(ViewOfRecords(clock, 6, 3)->min, kTen + 2);  // record 4 has no time
  EXPECT_EQ(ViewOfRecords(clock, 3, 6)->max, kTen + 10);
  EXPECT_EQ(ViewOfRecords(clock, 4, 4), std::nullopt);
}

TEST(ClockPlotTest, TheReadOutIsTheNearestRecordAndFitYItsLevelsInView) {
  const LevelColumnPlot plot = PlotLevelColumn(Timed({{"2024/05/01 10:00:00", "60.0"},
                                                      {"2024/05/01 10:00:01", "70.4*"},
                                                      {"2024/05/01 10:00:05", "--"}}));
  using Case = std::tuple<double, std::string, double, std::string>;
  for (const auto& [at, number, y, level] :
       {Case{1.4, "1", 60, "60.0"}, Case{2.5, "2", 70.4, "70.4*"}, Case{9, "3", 25, "--"}}) {
    const std::optional<PlotReadout> r = ReadoutAt(plot, at);
    ASSERT_TRUE(r) << at;
    EXPECT_EQ(r->number, number);
    EXPECT_EQ(r->x, std::stod(number));
    EXPECT_EQ(r->y, y);
    EXPECT_EQ(r->level, level);
  }
  const ClockPlot clock = PlotAgainstClock(plot);
  const std::optional<PlotReadout> r = ReadoutAt(plot, clock, kTen + 3.5);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->date_time, "2024/05/01 10:00:05");
  EXPECT_EQ(r->x, kTen + 5);

  EXPECT_EQ(FitLevels(plot, {0.5, 2.2})->min, 59);
  EXPECT_EQ(FitLevels(plot, {0.5, 2.2})->max, 72);
  // Against the clock the paused level is no part of the trace.
  EXPECT_EQ(FitLevels(clock, {kTen, kTen + 2})->max, 61);
}

TEST(PlotTitleTest, NamesTheFileKindTimesAndWeightings) {
  RecordList list = Timed({{"2024/05/01 10:00:00", "60.0"}, {"2024/05/01 18:00:00", "61.0"}});
  list.header().frequency_weighting = "A";
  list.header().time_weighting = "FAST";
  EXPECT_EQ(PlotTitleLine("day1.dlgr", list),
            "day1.dlgr - Real Time - 2024/05/01 10:00:00 to 2024/05/01 18:00:00 - A FAST");
  // Without a file or weightings, and a single time.
  EXPECT_EQ(PlotTitleLine("", Timed({{"2024/05/01 10:00:00", "60.0"}})),
            "Real Time - 2024/05/01 10:00:00");
}

TEST(HistogramViewTest, NothingToCountSaysWhy) {
  using Case = std::tuple<std::vector<std::string>, StatResolution, std::string>;
  const std::vector<Case> cases = {
      {{}, StatResolution::kTenth, "The list holds no records, so there is no level to count."},
      {{"60.0*", "61.0*"},
       StatResolution::kTenth,
       "The list holds no level to count: 2 records marked \"*\" (paused)."},
      {{"0.0", "abc"},
       StatResolution::kTenth,
       "The list holds no level to count: 2 records below 0.1 dB or without a number."},
      {{"0.5", "1.0*"},
       StatResolution::kWhole,
       "The list holds no level to count: 1 record marked \"*\" (paused) and 1 record below "
       "1 dB or without a number."},
  };
  for (const auto& [levels, resolution, text] : cases) {
    LnTable ln;
    const LevelStatistics stats =
        ComputeLevelStatistics(ListOf(levels), resolution, LnSource::kFine, ln);
    ASSERT_FALSE(stats.counted) << text;
    EXPECT_EQ(NothingToCountMessage(stats, resolution), text);
  }
}

TEST(HistogramViewTest, TitleAndLnTableLines) {
  LnTable ln;
  const LevelStatistics stats = ComputeLevelStatistics(ListOf({"85.3", "85.3", "70.0*"}),
                                                       StatResolution::kTenth, LnSource::kFine, ln);
  EXPECT_EQ(HistogramTitleLine("a.dlgr", stats, StatResolution::kTenth),
            "a.dlgr - Histogram, 0.1 dB classes - 2 of 3 records counted");
  const std::vector<std::string> lines = LnTableLines(ln);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0].substr(0, 16), "Ln      0      1");
  EXPECT_EQ(lines[6].substr(0, 14), "L(50)  85.3   ");
}

}  // namespace
}  // namespace slm
