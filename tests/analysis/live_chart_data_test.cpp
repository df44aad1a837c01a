#include "analysis/live_chart_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

namespace slm {
namespace {

class LiveChartDataTest : public ::testing::Test {
 protected:
  LiveChartUpdate Sample(double level, const std::string& leq = "60.0",
                         const std::string& sel = "70.0") {
    return data_.UpdateLiveCharts(level, leq, sel);
  }

  LiveChartData::Count CoarseTotal() const {
    const auto& c = data_.coarse_counts();
    return std::accumulate(c.begin(), c.end(), LiveChartData::Count{0});
  }
  LiveChartData::Count FineTotal() const {
    const auto& f = data_.fine_counts();
    return std::accumulate(f.begin(), f.end(), LiveChartData::Count{0});
  }

  LiveChartData data_;
};

TEST_F(LiveChartDataTest, StartsEmptyWithTheProgramStartRanges) {
  EXPECT_EQ(data_.sample_count(), 0);
  EXPECT_TRUE(data_.levels().empty());
  EXPECT_EQ(data_.all_levels().size(), static_cast<std::size_t>(kSampleHistorySize));
  EXPECT_EQ(data_.all_leqs().size(), static_cast<std::size_t>(kSampleHistorySize));
  EXPECT_EQ(data_.all_sels().size(), static_cast<std::size_t>(kSampleHistorySize));
  EXPECT_EQ(CoarseTotal(), 0);
  EXPECT_EQ(FineTotal(), 0);

  const LiveRanges& r = data_.ranges();
  EXPECT_EQ(r.fine_low, 1450);
  EXPECT_EQ(r.fine_high, 0);
  EXPECT_EQ(r.coarse_low, 145);
  EXPECT_EQ(r.coarse_high, 0);
  EXPECT_EQ(r.leq_low, "145");
  EXPECT_EQ(r.leq_high, "0");
  EXPECT_EQ(r.sel_low, "145");
  EXPECT_EQ(r.sel_high, "0");
}

TEST_F(LiveChartDataTest, FirstSampleAtProgramStart) {
  const LiveChartUpdate u = Sample(65.3, "61.2", "72.4");

  EXPECT_EQ(data_.fine_counts()[653], 1);
  EXPECT_EQ(data_.coarse_counts()[66], 1);
  EXPECT_EQ(FineTotal(), 1);
  EXPECT_EQ(CoarseTotal(), 1);

  const LiveRanges& r = data_.ranges();
  EXPECT_EQ(r.fine_low, 653);
  EXPECT_EQ(r.fine_high, 653);
  EXPECT_EQ(r.coarse_low, 64);
  EXPECT_EQ(r.coarse_high, 66);

  EXPECT_EQ(u.coarse_range.low, 63);
  EXPECT_EQ(u.coarse_range.high, 67);
  EXPECT_EQ(u.fine_range.low, 652);
  EXPECT_EQ(u.fine_range.high, 654);
  EXPECT_TRUE(u.fine_visible);

  // The strip chart values, and the same values in the history.
  EXPECT_EQ(u.level, 65.3);
  EXPECT_EQ(u.leq, 61.2);
  EXPECT_EQ(u.sel, 72.4);
  EXPECT_EQ(data_.sample_count(), 1);
  ASSERT_EQ(data_.levels().size(), 1u);
  EXPECT_EQ(data_.levels()[0], 65.3);
  EXPECT_EQ(data_.leqs()[0], 61.2);
  EXPECT_EQ(data_.sels()[0], 72.4);
}

TEST_F(LiveChartDataTest, HistoryKeepsSamplesInOrder) {
  Sample(50.1, "50.1", "50.1");
  Sample(60.2, "55.3", "53.1");
  Sample(45.0, "54.0*", "x");

  EXPECT_EQ(data_.sample_count(), 3);
  EXPECT_EQ(std::vector<double>(data_.levels().begin(), data_.levels().end()),
            (std::vector<double>{50.1, 60.2, 45.0}));
  EXPECT_EQ(std::vector<double>(data_.leqs().begin(), data_.leqs().end()),
            (std::vector<double>{50.1, 55.3, 54.0}));
  EXPECT_EQ(std::vector<double>(data_.sels().begin(), data_.sels().end()),
            (std::vector<double>{50.1, 53.1, 0.0}));
}

TEST_F(LiveChartDataTest, LevelCountsInTheCoarseClassAtOrAboveIt) {
  struct Case {
    double level;
    int coarse;
    int fine;
  };
  for (const Case& c :
       {Case{70.0, 70, 700}, Case{70.1, 71, 701}, Case{65.0, 65, 650}, Case{69.9, 70, 699},
        Case{0.0, 0, 0}, Case{0.1, 1, 1}, Case{139.9, 140, 1399}, Case{140.0, 140, 1400}}) {
    SCOPED_TRACE(c.level);
    LiveChartData data;
    data.UpdateLiveCharts(c.level, "", "");
    EXPECT_EQ(data.coarse_counts()[c.coarse], 1);
    EXPECT_EQ(data.fine_counts()[c.fine], 1);
  }
}

TEST_F(LiveChartDataTest, LevelsNotExactInBinaryCountInTheirOwnTenth) {
  // 65.7 through single precision is 65.699996948..., 0.7 + 0.1 is
  // 0.79999999999999993, 80.1 through single precision is 80.09999847...:
  // all fall just short when multiplied by 10.
  struct Case {
    double level;
    int coarse;
    int fine;
  };
  for (const Case& c : {Case{static_cast<double>(65.7f), 66, 657}, Case{0.7 + 0.1, 1, 8},
                        Case{static_cast<double>(80.1f), 81, 801}}) {
    SCOPED_TRACE(c.level);
    LiveChartData data;
    const LiveChartUpdate u = data.UpdateLiveCharts(c.level, "", "");
    EXPECT_EQ(data.fine_counts()[c.fine], 1);
    EXPECT_EQ(data.coarse_counts()[c.coarse], 1);
    EXPECT_EQ(data.ranges().fine_low, c.fine);
    EXPECT_EQ(data.ranges().fine_high, c.fine);
    EXPECT_EQ(u.fine_range.low, c.fine - 1);
    EXPECT_EQ(u.fine_range.high, c.fine + 1);
  }
}

TEST_F(LiveChartDataTest, FineClassRoundsHalvesToEven) {
  // 65.25 and 65.75 are exact in binary, so L x 10 is exactly 652.5 / 657.5.
  Sample(65.25);
  Sample(65.75);
  EXPECT_EQ(data_.fine_counts()[652], 1);
  EXPECT_EQ(data_.fine_counts()[653], 0);
  EXPECT_EQ(data_.fine_counts()[657], 0);
  EXPECT_EQ(data_.fine_counts()[658], 1);
}

TEST_F(LiveChartDataTest, CoarseBoundsFollowTheExtremes) {
  const LiveChartUpdate first = Sample(65.3);
  const LiveChartUpdate second = Sample(65.0);
  EXPECT_EQ(second.coarse_range.low, first.coarse_range.low);
  EXPECT_EQ(second.coarse_range.high, first.coarse_range.high);
  const LiveChartUpdate third = Sample(70.2);

  EXPECT_EQ(data_.coarse_counts()[66], 1);
  EXPECT_EQ(data_.coarse_counts()[65], 1);
  EXPECT_EQ(data_.coarse_counts()[71], 1);
  EXPECT_EQ(data_.ranges().coarse_low, 64);
  EXPECT_EQ(data_.ranges().coarse_high, 71);
  EXPECT_EQ(third.coarse_range.low, 63);
  EXPECT_EQ(third.coarse_range.high, 72);
  EXPECT_EQ(third.fine_range.low, 649);
  EXPECT_EQ(third.fine_range.high, 703);

  Sample(50.5);
  EXPECT_EQ(data_.ranges().coarse_low, 49);
  EXPECT_EQ(data_.ranges().fine_low, 505);
}

TEST_F(LiveChartDataTest, CoarseHighMovesOnlyWhenTheLevelExceedsIt) {
  Sample(65.3);  // CoarseHigh 66
  Sample(66.0);  // not above 66: stays
  EXPECT_EQ(data_.ranges().coarse_high, 66);
  EXPECT_EQ(data_.ranges().fine_high, 660);
  Sample(66.1);
  EXPECT_EQ(data_.ranges().coarse_high, 67);

  Sample(64.0);  // not below CoarseLow 64: stays
  EXPECT_EQ(data_.ranges().coarse_low, 64);
  Sample(63.9);
  EXPECT_EQ(data_.ranges().coarse_low, 62);
}

TEST_F(LiveChartDataTest, WideSpreadShowsTheCoarseHistogramUntilRefresh) {
  EXPECT_TRUE(Sample(40.0).fine_visible);
  EXPECT_FALSE(Sample(75.0).fine_visible);  // spread 350

  // The ranges only widen: levels close together do not bring it back.
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(Sample(50.0).fine_visible);
  // Nor does a link loss, which keeps the ranges.
  data_.ResetAfterLinkLoss();
  EXPECT_FALSE(Sample(50.0).fine_visible);

  data_.Refresh();
  EXPECT_TRUE(Sample(50.0).fine_visible);
}

TEST_F(LiveChartDataTest, SpreadOfExactlyThirtyDecibelsStillShowsFineHistogram) {
  Sample(40.0);
  EXPECT_TRUE(Sample(70.0).fine_visible);   // 300
  EXPECT_FALSE(Sample(70.1).fine_visible);  // 301
}

TEST_F(LiveChartDataTest, LevelsWithoutAClassAreStoredAndChartedButNotCounted) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> levels = {-0.1, -5.0, 140.1, 140.9, 150.0, 1e300, nan, inf, -inf};
  for (double level : levels) {
    SCOPED_TRACE(level);
    const LiveChartUpdate u = Sample(level);
    EXPECT_TRUE(u.level == level || (std::isnan(u.level) && std::isnan(level)));
  }
  EXPECT_EQ(CoarseTotal(), 0);
  EXPECT_EQ(FineTotal(), 0);

  ASSERT_EQ(data_.sample_count(), static_cast<int>(levels.size()));
  for (std::size_t i = 0; i < levels.size(); ++i) {
    SCOPED_TRACE(i);
    const double stored = data_.levels()[i];
    EXPECT_TRUE(stored == levels[i] || (std::isnan(stored) && std::isnan(levels[i])));
  }
}

TEST_F(LiveChartDataTest, FiniteLevelsWithoutAClassStillWidenTheRanges) {
  Sample(150.0);
  Sample(-5.0);
  // Not-a-number and infinite levels leave them alone.
  Sample(std::numeric_limits<double>::infinity());
  Sample(-std::numeric_limits<double>::infinity());
  const LiveChartUpdate u = Sample(std::numeric_limits<double>::quiet_NaN());

  const LiveRanges& r = data_.ranges();
  EXPECT_EQ(r.fine_high, 1500);
  EXPECT_EQ(r.fine_low, -50);
  EXPECT_EQ(r.coarse_high, 151);
  EXPECT_EQ(r.coarse_low, -6);
  EXPECT_EQ(u.fine_range.low, -51);
  EXPECT_EQ(u.fine_range.high, 1501);
  EXPECT_EQ(u.coarse_range.low, -7);
  EXPECT_EQ(u.coarse_range.high, 152);
  EXPECT_FALSE(u.fine_visible);
}

TEST_F(LiveChartDataTest, LeqAndSelExtremesCompareByNumericValue) {
  Sample(60.0, "65.3", "80.2");
  EXPECT_EQ(data_.ranges().leq_high, "65.3");
  EXPECT_EQ(data_.ranges().leq_low, "65.3");

  // As texts "9.5" > "65.3" and "100.2" < "65.3"; as numbers the other way.
  Sample(60.0, "9.5", "100.2");
  Sample(60.0, "100.2", "9.5");
  const LiveRanges& r = data_.ranges();
  EXPECT_EQ(r.leq_high, "100.2");
  EXPECT_EQ(r.leq_low, "9.5");
  EXPECT_EQ(r.sel_high, "100.2");
  EXPECT_EQ(r.sel_low, "9.5");

  // The texts are kept as given, trailing characters included.
  Sample(60.0, "120.0*", "5.0 ");
  EXPECT_EQ(r.leq_high, "120.0*");
  EXPECT_EQ(r.sel_low, "5.0 ");
  // Equal values do not replace the stored text.
  Sample(60.0, "120.00", "5.00");
  EXPECT_EQ(r.leq_high, "120.0*");
  EXPECT_EQ(r.sel_low, "5.0 ");
}

TEST_F(LiveChartDataTest, NonNumericLeqAndSelCountAsZero) {
  const LiveChartUpdate u = Sample(60.0, "---", "");
  EXPECT_EQ(u.leq, 0);
  EXPECT_EQ(u.sel, 0);
  EXPECT_EQ(data_.leqs()[0], 0);
  EXPECT_EQ(data_.sels()[0], 0);
  // 0 is below the start value 145 of the lows.
  EXPECT_EQ(data_.ranges().leq_low, "---");
  EXPECT_EQ(data_.ranges().sel_low, "");
  EXPECT_EQ(data_.ranges().leq_high, "0");
}

TEST_F(LiveChartDataTest, ResetAfterLinkLossClearsCountsAndHistoryButKeepsRanges) {
  Sample(40.0, "50.0", "60.0");
  Sample(75.0, "55.0", "65.0");
  const LiveRanges before = data_.ranges();

  data_.ResetAfterLinkLoss();
  EXPECT_EQ(data_.sample_count(), 0);
  EXPECT_TRUE(data_.levels().empty());
  EXPECT_EQ(CoarseTotal(), 0);
  EXPECT_EQ(FineTotal(), 0);
  const LiveRanges& r = data_.ranges();
  EXPECT_EQ(r.fine_low, before.fine_low);
  EXPECT_EQ(r.fine_high, before.fine_high);
  EXPECT_EQ(r.coarse_low, before.coarse_low);
  EXPECT_EQ(r.coarse_high, before.coarse_high);
  EXPECT_EQ(r.leq_low, before.leq_low);
  EXPECT_EQ(r.leq_high, before.leq_high);
  EXPECT_EQ(r.sel_low, before.sel_low);
  EXPECT_EQ(r.sel_high, before.sel_high);

  // The histograms start again from empty, with the earlier extremes.
  const LiveChartUpdate u = Sample(60.0, "52.0", "62.0");
  EXPECT_EQ(CoarseTotal(), 1);
  EXPECT_EQ(data_.coarse_counts()[60], 1);
  EXPECT_EQ(u.coarse_range.low, 38);
  EXPECT_EQ(u.coarse_range.high, 77);
  EXPECT_EQ(u.fine_range.low, 399);
  EXPECT_EQ(u.fine_range.high, 751);
  ASSERT_EQ(data_.sample_count(), 1);
  EXPECT_EQ(data_.levels()[0], 60.0);
}

TEST_F(LiveChartDataTest, RefreshSetsLevelBoundsBackAndKeepsLeqAndSelExtremes) {
  Sample(40.0, "50.0", "60.0");
  Sample(75.0, "55.0", "65.0");

  data_.Refresh();
  EXPECT_EQ(data_.sample_count(), 0);
  EXPECT_EQ(CoarseTotal(), 0);
  EXPECT_EQ(FineTotal(), 0);
  const LiveRanges& r = data_.ranges();
  EXPECT_EQ(r.coarse_high, 0);
  EXPECT_EQ(r.coarse_low, 150);
  EXPECT_EQ(r.fine_high, 0);
  EXPECT_EQ(r.fine_low, 1500);
  EXPECT_EQ(r.leq_low, "50.0");
  EXPECT_EQ(r.leq_high, "55.0");
  EXPECT_EQ(r.sel_low, "60.0");
  EXPECT_EQ(r.sel_high, "65.0");

  // A level between the start-up low 145 and the refreshed low 150 now
  // lowers CoarseLow.
  Sample(147.0);
  EXPECT_EQ(r.coarse_low, 146);
  EXPECT_EQ(r.fine_low, 1470);
}

TEST_F(LiveChartDataTest, HistoryWrapsAfterItsLastEntry) {
  auto level_of = [](int k) { return (k % 997) / 10.0; };
  for (int k = 0; k < kSampleHistorySize; ++k) Sample(level_of(k), "", "");

  // All entries 0 to 864000 are used; then SampleCount starts again at 0.
  EXPECT_EQ(data_.sample_count(), 0);
  EXPECT_TRUE(data_.levels().empty());
  EXPECT_EQ(data_.all_levels()[kSampleHistorySize - 1], level_of(kSampleHistorySize - 1));
  EXPECT_EQ(data_.all_levels()[0], level_of(0));

  // The next sample overwrites entry 0; the older entries stay behind it.
  Sample(123.4, "77.7", "88.8");
  EXPECT_EQ(data_.sample_count(), 1);
  EXPECT_EQ(data_.levels()[0], 123.4);
  EXPECT_EQ(data_.leqs()[0], 77.7);
  EXPECT_EQ(data_.sels()[0], 88.8);
  EXPECT_EQ(data_.all_levels()[1], level_of(1));
  EXPECT_EQ(data_.all_levels()[kSampleHistorySize - 1], level_of(kSampleHistorySize - 1));

  // A wrap is not a reset: the class counts keep growing.
  EXPECT_EQ(CoarseTotal(), kSampleHistorySize + 1);
  EXPECT_EQ(FineTotal(), kSampleHistorySize + 1);
}

TEST(LiveChartNumericValueTest, TakesTheNumberAtTheStartOfTheText) {
  struct Case {
    const char* text;
    double value;
  };
  for (const Case& c :
       {Case{"65.3", 65.3}, Case{"65.3*", 65.3}, Case{"65.3.4", 65.3}, Case{" 65.3", 65.3},
        Case{"\t7", 7},     Case{".5", 0.5},     Case{"5.", 5},        Case{"-3.5", -3.5},
        Case{"+2", 2},      Case{"1e2", 100},    Case{"1E-1", 0.1},    Case{"1e", 1},
        Case{"2e+", 2},     Case{"120 dB", 120}, Case{"", 0},          Case{"---", 0},
        Case{"-", 0},       Case{".", 0},        Case{"-.e3", 0},      Case{"dB 65", 0},
        Case{"inf", 0},     Case{"nan", 0},      Case{"0x10", 0},      Case{"1e999", 0}}) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(LiveChartData::NumericValue(c.text), c.value);
  }
}

}  // namespace
}  // namespace slm
