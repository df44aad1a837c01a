// The time history's trace: what a page of columns can show of a week.
#include "graph/assessment_chart.h"

#include <gtest/gtest.h>

#include <cmath>

namespace slm {
namespace {

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

}  // namespace
}  // namespace slm
