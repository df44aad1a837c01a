// Stop signals as a loop that polls sees them (slmtool emulate has no event loop).
#include "platform/stop_signals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <vector>

namespace slm::platform {
namespace {

TEST(PlatformStopSignals, APollingLoopSeesEachSignalInTheOrderItCame) {
  StopSignals signals;
  EXPECT_FALSE(signals.arrived());
  ASSERT_EQ(std::raise(SIGHUP), 0);
  EXPECT_TRUE(signals.arrived());
  ASSERT_EQ(std::raise(SIGINT), 0);
  ASSERT_EQ(std::raise(SIGTERM), 0);
  EXPECT_EQ(signals.TakeArrived(), (std::vector<int>{SIGHUP, SIGINT, SIGTERM}));
  EXPECT_TRUE(signals.TakeArrived().empty());
  EXPECT_TRUE(signals.arrived()) << "the loop that polls may look later";
}

}  // namespace
}  // namespace slm::platform
