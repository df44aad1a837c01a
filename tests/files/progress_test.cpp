#include "files/progress.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>

namespace slm {
namespace {

TEST(ProgressCaptions, OneTableForEveryCaption) {
  const std::pair<std::string, std::string> cases[] = {
      {ReadCaption(0), "0 Records Completed"},
      {ReadCaption(1), "0 Records Completed"},
      {ReadCaption(349), "348 Records Completed"},
      {ReadCaption(1000001), "1000000 Records Completed"},
      {WriteCaption(0), "0Records Completed"},
      {WriteCaption(1), "1Records Completed"},
      {WriteCaption(348000), "348000Records Completed"},
      {WriteCaption(10000000), "10000000Records Completed"},
      {CountCaption(57), "57 Completed"},
      // Tenths of a percent rounded half up, and "100.0%" only when done.
      {PercentCaption(3, 8), "37.5% Completed"},
      {PercentCaption(2, 3), "66.7% Completed"},
      {PercentCaption(0, 5), "0.0% Completed"},
      {PercentCaption(1, 1000), "0.1% Completed"},
      {PercentCaption(9999, 10000), "99.9% Completed"},
      {PercentCaption(8, 8), "100.0% Completed"},
      {PercentCaption(0, 0), "100.0% Completed"},
  };
  for (const auto& [caption, expected] : cases) EXPECT_EQ(caption, expected);
}

TEST(ProgressThrottle, LetsTheFirstUpdateThroughThenOnePerInterval) {
  using std::chrono::milliseconds;
  const int asked_at[] = {0, 100, 249, 250, 300, 499, 500, 2000, 2001};
  const bool due[] = {true, false, false, true, false, false, true, true, false};
  std::chrono::steady_clock::time_point now{};
  ProgressThrottle throttle(milliseconds(250), [&] { return now; });
  for (std::size_t i = 0; i < std::size(asked_at); ++i) {
    now = std::chrono::steady_clock::time_point{} + milliseconds(asked_at[i]);
    EXPECT_EQ(throttle.Due(), due[i]) << asked_at[i] << " ms";
  }
}

}  // namespace
}  // namespace slm
