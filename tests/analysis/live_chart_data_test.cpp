#include "analysis/live_chart_data.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <numeric>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace slm {
namespace {

using ::testing::NanSensitiveDoubleEq;
using ::testing::Pointwise;

std::string Span(double low, double high) {
  std::ostringstream out;
  out << low << ".." << high;
  return out.str();
}

std::string Bounds(const LiveRanges& r) {
  return "fine " + Span(r.fine_low, r.fine_high) + " coarse " + Span(r.coarse_low, r.coarse_high);
}

std::string Texts(const LiveRanges& r) {
  return "leq " + r.leq_low + ".." + r.leq_high + " sel " + r.sel_low + ".." + r.sel_high;
}

// The histograms' X ranges and the one shown.
std::string XRanges(const LiveChartUpdate& u) {
  return "coarse " + Span(u.coarse_range.min, u.coarse_range.max) + " fine " +
         Span(u.fine_range.min, u.fine_range.max) + (u.fine_visible ? " fine shown" : "");
}

// The counts of both histograms together.
LiveChartData::Count Counted(const LiveChartData& data) {
  const auto& c = data.coarse_counts();
  const auto& f = data.fine_counts();
  return std::accumulate(c.begin(), c.end(),
                         std::accumulate(f.begin(), f.end(), LiveChartData::Count{0}));
}

std::vector<double> Values(std::span<const double> series) {
  return {series.begin(), series.end()};
}

class LiveChartDataTest : public ::testing::Test {
 protected:
  LiveChartUpdate Sample(double level, const std::string& leq = "60.0",
                         const std::string& sel = "70.0") {
    return data_.UpdateLiveCharts(level, leq, sel);
  }

  LiveChartData data_;
};

TEST_F(LiveChartDataTest, StartsEmptyWithTheProgramStartRangesThenKeepsSamplesInOrder) {
  EXPECT_EQ(data_.sample_count(), 0);
  EXPECT_TRUE(data_.levels().empty());
  for (auto series : {data_.all_levels(), data_.all_leqs(), data_.all_sels()}) {
    EXPECT_EQ(series.size(), static_cast<std::size_t>(kSampleHistorySize));
  }
  EXPECT_EQ(Counted(data_), 0);
  EXPECT_EQ(Bounds(data_.ranges()), "fine 1450..0 coarse 145..0");
  EXPECT_EQ(Texts(data_.ranges()), "leq 145..0 sel 145..0");
  // Samples are charted and kept in order.
  const LiveChartUpdate u = Sample(65.3, "61.2", "72.4");
  EXPECT_EQ((std::vector<double>{u.level, u.leq, u.sel}), (std::vector<double>{65.3, 61.2, 72.4}));
  // Leq and SEL texts are charted by their numeric value.
  Sample(60.2, "55.3*", "x");
  EXPECT_EQ(data_.sample_count(), 2);
  EXPECT_EQ(Values(data_.levels()), (std::vector<double>{65.3, 60.2}));
  EXPECT_EQ(Values(data_.leqs()), (std::vector<double>{61.2, 55.3}));
  EXPECT_EQ(Values(data_.sels()), (std::vector<double>{72.4, 0.0}));
}

TEST_F(LiveChartDataTest, LevelCountsInItsTenthAndInTheCoarseClassAtOrAboveIt) {
  // 65.7 through single precision, 0.7 + 0.1 and 80.1 through single precision
  // fall just short of their tenth when multiplied by 10; 65.25 and 65.75 are
  // exact halves, which go to the even tenth.
  using Case = std::tuple<double, int, int>;  // level, coarse class, fine class
  for (const auto& [level, coarse, fine] :
       {Case{70.0, 70, 700}, Case{70.1, 71, 701}, Case{65.0, 65, 650}, Case{69.9, 70, 699},
        Case{0.0, 0, 0}, Case{0.1, 1, 1}, Case{139.9, 140, 1399}, Case{140.0, 140, 1400},
        Case{static_cast<double>(65.7f), 66, 657}, Case{0.7 + 0.1, 1, 8},
        Case{static_cast<double>(80.1f), 81, 801}, Case{65.25, 66, 652}, Case{65.75, 66, 658}}) {
    SCOPED_TRACE(level);
    LiveChartData data;
    data.UpdateLiveCharts(level, "", "");
    EXPECT_EQ(data.coarse_counts()[coarse], 1);
    EXPECT_EQ(data.fine_counts()[fine], 1);
    EXPECT_EQ(Span(data.ranges().fine_low, data.ranges().fine_high), Span(fine, fine));
  }
}

TEST_F(LiveChartDataTest, RangesOnlyWidenAndAWideSpreadShowsTheCoarseHistogram) {
  Sample(65.3);
  EXPECT_EQ(XRanges(Sample(65.0)), "coarse 63..67 fine 649..654 fine shown");
  Sample(66.0);  // not above the coarse high of 66
  EXPECT_EQ(Bounds(data_.ranges()), "fine 650..660 coarse 64..66");
  Sample(66.1);
  Sample(64.0);  // not below the coarse low of 64
  EXPECT_EQ(Bounds(data_.ranges()), "fine 640..661 coarse 64..67");
  Sample(63.9);
  EXPECT_EQ(XRanges(Sample(70.2)), "coarse 61..72 fine 638..703 fine shown");
  EXPECT_TRUE(Sample(93.9).fine_visible);   // spread 30.0 dB
  EXPECT_FALSE(Sample(94.0).fine_visible);  // 30.1 dB
  // Neither close levels nor a link loss bring the fine histogram back.
  EXPECT_FALSE(Sample(65.0).fine_visible);
  data_.ResetAfterLinkLoss();
  EXPECT_FALSE(Sample(65.0).fine_visible);
  data_.Refresh();
  EXPECT_TRUE(Sample(65.0).fine_visible);
}

TEST_F(LiveChartDataTest, LevelsWithoutAClassAreKeptAndChartedButNotCounted) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> levels = {-0.1, 140.1, 140.9, 150.0, -5.0, inf, -inf, nan};
  for (double level : levels) EXPECT_THAT(Sample(level).level, NanSensitiveDoubleEq(level));
  EXPECT_EQ(Counted(data_), 0);
  EXPECT_THAT(Values(data_.levels()), Pointwise(NanSensitiveDoubleEq(), levels));
  // The finite ones widen the ranges; not-a-number and infinite ones do not.
  EXPECT_EQ(XRanges(Sample(nan)), "coarse -7..152 fine -51..1501");
  LiveChartData huge;
  huge.UpdateLiveCharts(1e300, "", "");
  EXPECT_EQ(Counted(huge), 0);
  EXPECT_GT(huge.ranges().fine_high, 1e300);
}

TEST_F(LiveChartDataTest, LeqAndSelExtremesCompareByNumericValueAndKeepTheirTexts) {
  const LiveRanges& r = data_.ranges();
  Sample(60.0, "65.3", "80.2");
  EXPECT_EQ(Texts(r), "leq 65.3..65.3 sel 80.2..80.2");
  // As texts "9.5" > "65.3" and "100.2" < "65.3"; as numbers the other way.
  Sample(60.0, "9.5", "100.2");
  Sample(60.0, "100.2", "9.5");
  EXPECT_EQ(Texts(r), "leq 9.5..100.2 sel 9.5..100.2");
  Sample(60.0, "120.0*", "5.0 ");
  // Equal values do not replace the texts; the strip charts get the numbers
  // widened by 1 dB.
  const LiveChartUpdate w = Sample(60.0, "120.00", "5.00");
  EXPECT_EQ(Texts(r), "leq 9.5..120.0* sel 5.0 ..100.2");
  EXPECT_EQ(Span(w.leq_y.min, w.leq_y.max) + " " + Span(w.sel_y.min, w.sel_y.max) + " " +
                Span(w.level_y.min, w.level_y.max),
            "8.5..121 4..101.2 59..61");
  const LiveChartUpdate u = Sample(60.0, "---", "");  // no number: 0
  EXPECT_EQ(u.leq, 0);
  EXPECT_EQ(u.sel, 0);
  EXPECT_EQ(Texts(r), "leq ---..120.0* sel ..100.2");
}

TEST_F(LiveChartDataTest, LinkLossClearsCountsAndHistoryAndRefreshAlsoTheLevelBounds) {
  Sample(40.0, "50.0", "60.0");
  Sample(75.0, "55.0", "65.0");
  const std::string before = Bounds(data_.ranges()) + " " + Texts(data_.ranges());
  data_.ResetAfterLinkLoss();
  EXPECT_EQ(data_.sample_count(), 0);
  EXPECT_EQ(Counted(data_), 0);
  EXPECT_EQ(Bounds(data_.ranges()) + " " + Texts(data_.ranges()), before);
  const LiveChartUpdate u = Sample(60.0, "52.0", "62.0");
  EXPECT_EQ(data_.coarse_counts()[60], 1);
  EXPECT_EQ(Counted(data_), 2);
  EXPECT_EQ(XRanges(u), "coarse 38..77 fine 399..751");
  EXPECT_EQ(Values(data_.levels()), std::vector<double>{60.0});

  data_.Refresh();
  EXPECT_EQ(data_.sample_count(), 0);
  EXPECT_EQ(Counted(data_), 0);
  EXPECT_EQ(Bounds(data_.ranges()), "fine 1500..0 coarse 150..0");
  EXPECT_EQ(Texts(data_.ranges()), "leq 50.0..55.0 sel 60.0..65.0");
  Sample(147.0);  // between the start-up low 145 and the refreshed low 150
  EXPECT_EQ(Bounds(data_.ranges()), "fine 1470..1470 coarse 146..148");
}

TEST_F(LiveChartDataTest, HistoryWrapsAfterItsLastEntryButCountsGoOn) {
  auto level_of = [](int k) { return (k % 997) / 10.0; };
  for (int k = 0; k < kSampleHistorySize; ++k) Sample(level_of(k), "", "");
  EXPECT_EQ(data_.sample_count(), 0);
  EXPECT_TRUE(data_.levels().empty());
  EXPECT_EQ(data_.all_levels()[0], level_of(0));
  EXPECT_EQ(data_.all_levels()[kSampleHistorySize - 1], level_of(kSampleHistorySize - 1));
  // The next sample overwrites entry 0; the older entries stay behind it.
  Sample(123.4, "77.7", "88.8");
  EXPECT_EQ(data_.sample_count(), 1);
  EXPECT_EQ((std::vector<double>{data_.levels()[0], data_.leqs()[0], data_.sels()[0]}),
            (std::vector<double>{123.4, 77.7, 88.8}));
  EXPECT_EQ(data_.all_levels()[1], level_of(1));
  EXPECT_EQ(Counted(data_), 2 * (kSampleHistorySize + 1));
}

TEST(LiveChartNumericValueTest, TakesTheNumberAtTheStartOfTheText) {
  using Case = std::pair<const char*, double>;
  for (const auto& [text, value] :
       {Case{"65.3", 65.3}, Case{"65.3*", 65.3}, Case{"65.3.4", 65.3}, Case{" 65.3", 65.3},
        Case{"\t7", 7},     Case{".5", 0.5},     Case{"5.", 5},        Case{"-3.5", -3.5},
        Case{"+2", 2},      Case{"1e2", 100},    Case{"1E-1", 0.1},    Case{"1e", 1},
        Case{"2e+", 2},     Case{"120 dB", 120}, Case{"", 0},          Case{"---", 0},
        Case{"-", 0},       Case{".", 0},        Case{"-.e3", 0},      Case{"dB 65", 0},
        Case{"inf", 0},     Case{"nan", 0},      Case{"0x10", 0},      Case{"1e999", 0}}) {
    EXPECT_EQ(LiveChartData::NumericValue(text), value) << text;
  }
}

}  // namespace
}  // namespace slm
