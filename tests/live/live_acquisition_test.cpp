#include "live/live_acquisition.h"

#include <gtest/gtest.h>

#include "support/simulated_meter.h"

namespace slm {
namespace {

class LiveTick : public ::testing::Test, protected test::MeterStack {
 protected:
  Reading reading_;
  LiveAcquisition live_{link_, reading_};
};

TEST_F(LiveTick, DecodesTheNewestFrame) {
  meter_.model().SetLevel(72.4);
  meter_.model().SetRangeCode(1);
  meter_.model().SetTimeCode(1);
  meter_.model().SetFrequencyCode(1);
  EXPECT_EQ(live_.Tick(), TickResult::kFrame);
  EXPECT_EQ(reading_.level_text, "72.4");
  EXPECT_EQ(reading_.range_top, 130);
  EXPECT_EQ(reading_.range_bottom, 70);
  EXPECT_EQ(reading_.time_weighting, "SLOW");
  EXPECT_EQ(reading_.frequency_weighting, "C");

  meter_.model().SetLevel(80.0);
  meter_.model().SetMarker(true);
  EXPECT_EQ(live_.Tick(), TickResult::kFrame);
  EXPECT_EQ(reading_.level_text, "80.0*");
}

// An exchange holds the port, and the tick's own wait must not start it again.
TEST_F(LiveTick, LeavesThePortToAnExchangeAndIsNotEnteredAgainFromItsOwnWait) {
  {
    MeterLink::ExchangeGuard guard(link_);
    const size_t writes = meter_.writes().size();
    const double before = meter_.elapsed();
    EXPECT_EQ(live_.Tick(), TickResult::kSkipped);
    EXPECT_EQ(meter_.writes().size(), writes);
    EXPECT_EQ(meter_.elapsed(), before);
  }
  std::vector<TickResult> nested;
  meter_.OnEachPass([&] { nested.push_back(live_.Tick()); });
  EXPECT_EQ(live_.Tick(), TickResult::kFrame);
  ASSERT_FALSE(nested.empty());
  for (TickResult r : nested) EXPECT_EQ(r, TickResult::kSkipped);
}

TEST_F(LiveTick, SilenceLosesTheLinkAndTheMeterBringsItBack) {
  EXPECT_EQ(live_.Tick(), TickResult::kFrame);
  meter_.model().faults().silent = true;
  const double start = meter_.elapsed();
  EXPECT_EQ(live_.Tick(), TickResult::kLost);
  EXPECT_TRUE(link_.Lost());
  // About one second of polls, then one bounded try to find the meter again.
  EXPECT_LT(meter_.elapsed() - start, 2.2);
  EXPECT_EQ(live_.Tick(), TickResult::kLost);

  meter_.model().faults().silent = false;
  EXPECT_EQ(live_.Tick(), TickResult::kRestored);
  EXPECT_EQ(live_.Tick(), TickResult::kFrame);
  EXPECT_EQ(link_.PortLabel(), "COM1");
}

TEST_F(LiveTick, FailedPortIsALostLinkThatReopensOnEveryTry) {
  EXPECT_EQ(live_.Tick(), TickResult::kFrame);
  const int tries = meter_.open_attempts();
  meter_.SetBroken(true);
  EXPECT_EQ(live_.Tick(), TickResult::kLost);
  EXPECT_TRUE(link_.Lost());
  EXPECT_EQ(link_.PortLabel(), "No COM");
  EXPECT_EQ(live_.Tick(), TickResult::kLost);
  EXPECT_EQ(meter_.open_attempts(), tries + 2);  // one reopening per try

  meter_.SetBroken(false);  // plugged back in: the next try opens the port,
  EXPECT_EQ(live_.Tick(), TickResult::kLost);
  EXPECT_EQ(live_.Tick(), TickResult::kRestored);  // and the one after finds the meter
  EXPECT_EQ(live_.Tick(), TickResult::kFrame);
}

}  // namespace
}  // namespace slm
