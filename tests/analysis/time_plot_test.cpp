#include "analysis/time_plot.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

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

TEST(PlotLevelColumnTest, ProgressIsThrottledAndAlwaysGivesTheLastRow) {
  // Each look at the clock is 100 ms after the one before.
  auto now = std::chrono::steady_clock::time_point{};
  ProgressThrottle throttle(std::chrono::milliseconds(250), [&now] {
    now += std::chrono::milliseconds(100);
    return now;
  });
  std::vector<std::size_t> rows;
  const RecordList list = ListOf(std::vector<std::string>(11, "60.0"));
  PlotLevelColumn(
      list, [&rows](std::size_t row) { rows.push_back(row); }, throttle);
  EXPECT_THAT(rows, ElementsAre(1, 4, 7, 10, 11));
}

TEST(PlotLevelColumnTest, OwnThrottleReportsTheFirstAndLastRows) {
  // Three rows take far less than the throttle's interval.
  std::vector<std::size_t> rows;
  PlotLevelColumn(ListOf({"60.0", "61.0", "62.0"}),
                  [&rows](std::size_t row) { rows.push_back(row); });
  EXPECT_THAT(rows, ElementsAre(1, 3));
  rows.clear();
  PlotLevelColumn(ListOf({}), [&rows](std::size_t row) { rows.push_back(row); });
  EXPECT_TRUE(rows.empty());
}

TEST(OpenLiveTimePlotTest, CopiesTheSamplesTaken) {
  LiveChartData charts;
  std::vector<double> levels;
  for (int i = 0; i < 10; ++i) {
    levels.push_back(60.0 + i);
    charts.UpdateLiveCharts(60.0 + i, "50.0", "70.0");
  }
  const LiveTimePlot plot = OpenLiveTimePlot(charts, LiveSeries::kLevel);
  EXPECT_EQ(plot.values, levels);
  EXPECT_EQ(plot.x_high, 9);
  EXPECT_EQ(OpenLiveTimePlot(charts, LiveSeries::kLeq).values, std::vector<double>(10, 50.0));
  EXPECT_EQ(OpenLiveTimePlot(charts, LiveSeries::kSel).values, std::vector<double>(10, 70.0));
  // A copy: later samples do not reach a plot already open.
  charts.UpdateLiveCharts(99.0, "51.0", "71.0");
  EXPECT_EQ(plot.values.size(), 10u);
}

TEST(OpenLiveTimePlotTest, NoOrOneSampleGivesXFromOneToOne) {
  LiveChartData charts;
  for (LiveSeries series : {LiveSeries::kLevel, LiveSeries::kLeq, LiveSeries::kSel}) {
    const LiveTimePlot plot = OpenLiveTimePlot(charts, series);
    EXPECT_TRUE(plot.values.empty());
    EXPECT_EQ(plot.x_high, 1);
  }
  charts.UpdateLiveCharts(65.0, "65.0", "65.0");
  EXPECT_EQ(OpenLiveTimePlot(charts, LiveSeries::kLevel).x_high, 1);
  charts.UpdateLiveCharts(66.0, "65.0", "65.0");
  charts.UpdateLiveCharts(67.0, "65.0", "65.0");
  EXPECT_EQ(OpenLiveTimePlot(charts, LiveSeries::kLevel).x_high, 2);
}

TEST(OpenLiveTimePlotTest, BoundsAndCaptionOfEachSeries) {
  LiveChartData charts;
  charts.UpdateLiveCharts(65.3, "61.2", "72.4*");
  charts.UpdateLiveCharts(58.7, "60.1", "75.0");
  charts.UpdateLiveCharts(71.0, "62.8*", "74.1");
  using Case = std::tuple<LiveSeries, double, double, std::string>;
  for (const auto& [series, low, high, caption] :
       {Case{LiveSeries::kLevel, 58.7, 71.0, "SPL (dB)"},
        Case{LiveSeries::kLeq, 60.1, 62.8, "Leq (dB)"},
        Case{LiveSeries::kSel, 72.4, 75.0, "SEL (dB)"}}) {
    SCOPED_TRACE(caption);
    const LiveTimePlot plot = OpenLiveTimePlot(charts, series);
    EXPECT_DOUBLE_EQ(plot.y_low, low);
    EXPECT_DOUBLE_EQ(plot.y_high, high);
    EXPECT_EQ(plot.caption, caption);
    EXPECT_EQ(plot.x_high, 2);
  }
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

}  // namespace
}  // namespace slm
