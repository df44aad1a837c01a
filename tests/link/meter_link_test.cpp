#include "link/meter_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "link/meter.h"
#include "support/scripted_port.h"
#include "support/simulated_meter.h"

namespace slm {
namespace {

using test::ScriptedPort;
using test::SimulatedMeter;

const Bytes kFrame = MakeBytes({2, 0, 0, 2, 141, 3});
const Bytes kAck = MakeBytes({2, 255, 255, 255, 255, 3});

class CountingObserver : public LinkObserver {
 public:
  void LinkLost() override { ++lost; }
  void LinkRestored() override { ++restored; }
  int lost = 0;
  int restored = 0;
};

// A link over `Port`, which is its own clock and event pump, watched by `observer`.
template <typename Port>
struct Wired {
  Wired() { link.SetObserver(&observer); }
  Port port;
  Rs232 rs232{port, port};
  MeterLink link{port, rs232};
  CountingObserver observer;
};

int CountWrites(const std::vector<Bytes>& writes, const Bytes& what) {
  return static_cast<int>(std::count(writes.begin(), writes.end(), what));
}

TEST(OpenLink, SetsPortAndLineAndShowsThePortOrReportsAFailure) {
  Wired<SimulatedMeter> w;
  EXPECT_EQ(w.link.PortLabel(), "No COM");
  w.link.Open(3);
  EXPECT_EQ(w.port.CommPort(), 3);
  EXPECT_EQ(w.port.settings(), "38400,n,8,1");
  EXPECT_TRUE(w.port.PortOpen());
  EXPECT_EQ(w.link.PortLabel(), "COM3");
  Wired<SimulatedMeter> failing;
  failing.port.SetOpenFails(true);
  EXPECT_THROW(failing.link.Open(16), LinkError);
  EXPECT_FALSE(failing.link.IsOpen());
}

TEST(SyncMeter, WritesUntilTheTailIsAnAcknowledgement) {
  const struct {
    const char* name;
    std::vector<Bytes> arrivals;  // each one pass after the last
    std::vector<Bytes> writes;
  } cases[] = {
      {"after live bytes", {kFrame + kFrame + MakeBytes({2, 0, 0}) + kAck}, {"A"}},
      {"a live frame as the tail starts again", {kAck + kFrame, kAck}, {"A", "A"}},
  };
  for (const auto& c : cases) {
    Wired<ScriptedPort> w;
    for (const Bytes& bytes : c.arrivals) w.port.Arrive(1, bytes);
    w.link.SyncMeter();
    EXPECT_EQ(w.port.writes(), c.writes) << c.name;
  }
}

TEST(SyncMeter, WritesAgainAfterALostAcknowledgement) {
  Wired<SimulatedMeter> w;
  w.link.Open(1);
  w.port.model().faults().no_ack = true;
  w.port.At(0.5, [&] { w.port.model().faults().no_ack = false; });
  w.link.SyncMeter();
  EXPECT_GE(CountWrites(w.port.writes(), "A"), 2);
  EXPECT_LT(w.port.elapsed(), 2.0);
}

TEST(SyncMeter, GivesUpOnASilentMeterWithAClearMessage) {
  Wired<SimulatedMeter> w;
  w.link.Open(1);
  w.port.model().faults().silent = true;
  try {
    w.link.SyncMeter();
    FAIL() << "SyncMeter returned on a silent meter";
  } catch (const LinkError& e) {
    EXPECT_STREQ(e.what(), kMeterDoesNotAnswer);
  }
  EXPECT_NEAR(w.port.elapsed(), w.link.limits().sync_timeout, 0.25);
  EXPECT_EQ(CountWrites(w.port.writes(), "A"), 15);
  EXPECT_FALSE(w.link.Busy());
}

TEST(PressKey, HandshakeThenExactlyTheKeyCommand) {
  Wired<SimulatedMeter> w;
  w.link.Open(1);
  w.link.PressKey(9);
  std::vector<Bytes> writes = w.port.writes();
  ASSERT_GE(writes.size(), 2u);
  EXPECT_EQ(writes.back(), MakeBytes({0x4B, 0x00, 0x00, 0x09}));
  writes.pop_back();
  EXPECT_EQ(CountWrites(writes, "A"), static_cast<int>(writes.size()));
}

TEST(ReadLiveFrame, TakesTheNewestWholeFrameWithinAHundredPolls) {
  const Bytes newest = MakeBytes({2, 1, 5, 2, 141, 3});
  const struct {
    const char* name;
    std::vector<std::pair<int, Bytes>> arrivals;  // passes after the last, bytes
    std::optional<Bytes> frame;
    std::optional<int> passes;
    std::optional<int> reads;  // from the call on
  } cases[] = {
      {"the last six bytes", {{3, kFrame + MakeBytes({2, 0, 0}) + newest}}, newest, 3, {}},
      // Flush, read garbage, read on to the frame: nothing that came is flushed again.
      {"a garbage tail waits for the next frame",
       {{2, kFrame + MakeBytes({7, 7, 2, 0})}, {5, MakeBytes({0x55, 0x55}) + kFrame}},
       kFrame,
       {},
       3},
      // A flush inside a frame: its end and the next frame's start come together.
      {"a frame cut by the flush is read whole with its next bytes",
       {{1, MakeBytes({3, 2, 0, 132, 2, 108})}, {1, MakeBytes({3})}},
       MakeBytes({2, 0, 132, 2, 108, 3}),
       2,
       {}},
      {"an acknowledgement is not a reading", {{1, kAck}, {1, kFrame}}, kFrame, {}, {}},
      {"five bytes only", {{1, MakeBytes({2, 0, 0, 2, 141})}}, std::nullopt, 100, {}},
      {"six bytes after the hundredth poll are too late", {{101, kFrame}}, std::nullopt, {}, {}},
  };
  for (const auto& c : cases) {
    Wired<ScriptedPort> w;
    for (const auto& [after, bytes] : c.arrivals) w.port.Arrive(after, bytes);
    const int reads_before = w.port.reads();
    EXPECT_EQ(w.link.ReadLiveFrame(), c.frame) << c.name;
    if (c.passes) {
      EXPECT_EQ(w.port.passes(), *c.passes) << c.name;
    }
    if (c.reads) {
      EXPECT_EQ(w.port.reads() - reads_before, *c.reads) << c.name;
    }
  }
}

TEST(ReadLiveFrame, EndlessGarbageCountsAsSilence) {
  Wired<ScriptedPort> w;
  for (int i = 0; i < 1000; ++i) w.port.Arrive(1, MakeBytes({0x55, 2, 0x55, 0x55, 0x55, 0x55, 9}));
  const double start = w.port.SecondsSinceMidnight();
  EXPECT_FALSE(w.link.ReadLiveFrame().has_value());
  const double took = w.port.SecondsSinceMidnight() - start;
  EXPECT_GE(took, w.link.limits().garbage_timeout - 1e-6);
  EXPECT_LT(took, w.link.limits().garbage_timeout + 0.05);
}

TEST(RecoverLink, SilentMeterKeepsTheLinkLostUntilItComesBack) {
  Wired<SimulatedMeter> w;
  w.link.Open(2);
  w.port.model().faults().silent = true;
  EXPECT_FALSE(w.link.RecoverLink());
  EXPECT_TRUE(w.link.Lost());
  EXPECT_EQ(w.link.PortLabel(), "No COM");
  EXPECT_NEAR(w.port.elapsed(), w.link.limits().resync_try, 0.05);
  EXPECT_FALSE(w.link.RecoverLink());
  EXPECT_EQ(w.observer.lost, 1) << "told once only";
  EXPECT_EQ(w.observer.restored, 0);

  w.port.model().faults().silent = false;
  EXPECT_TRUE(w.link.RecoverLink());
  EXPECT_FALSE(w.link.Lost());
  EXPECT_EQ(w.link.PortLabel(), "COM2");
  EXPECT_EQ(w.observer.lost, 1);
  EXPECT_EQ(w.observer.restored, 1);
}

TEST(RecoverLink, MeterComingBackDuringATryRestoresTheLink) {
  Wired<SimulatedMeter> w;
  w.link.Open(2);
  w.port.model().faults().silent = true;
  w.port.At(1.5, [&] { w.port.model().faults().silent = false; });
  EXPECT_FALSE(w.link.RecoverLink());
  EXPECT_TRUE(w.link.RecoverLink());
  EXPECT_LT(w.port.elapsed(), 2.0);
}

TEST(RecoverLink, OnlyTheCurrentObserverCanClearItself) {
  Wired<SimulatedMeter> w;
  CountingObserver second;
  w.link.SetObserver(&second);
  w.link.ClearObserver(&w.observer);  // the first one goes away after the second took over
  w.link.Open(1);
  w.port.model().faults().silent = true;
  EXPECT_FALSE(w.link.RecoverLink());
  EXPECT_EQ(second.lost, 1);
  EXPECT_EQ(w.observer.lost, 0);

  w.link.ClearObserver(&second);
  w.port.model().faults().silent = false;
  EXPECT_TRUE(w.link.RecoverLink());
  EXPECT_EQ(second.restored, 0);
}

}  // namespace
}  // namespace slm
