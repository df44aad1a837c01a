#include "link/meter_link.h"

#include <gtest/gtest.h>

#include <algorithm>

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

int CountWrites(const std::vector<Bytes>& writes, const Bytes& what) {
  return static_cast<int>(std::count(writes.begin(), writes.end(), what));
}

TEST(OpenLink, SetsPortAndLineAndShowsThePort) {
  SimulatedMeter meter;
  Rs232 rs232(meter, meter);
  MeterLink link(meter, rs232);
  EXPECT_EQ(link.PortLabel(), "No COM");
  link.Open(3);
  EXPECT_EQ(meter.CommPort(), 3);
  EXPECT_EQ(meter.settings(), "38400,n,8,1");
  EXPECT_TRUE(meter.PortOpen());
  EXPECT_EQ(link.PortLabel(), "COM3");
}

TEST(OpenLink, FailureIsReported) {
  SimulatedMeter meter;
  meter.SetOpenFails(true);
  Rs232 rs232(meter, meter);
  MeterLink link(meter, rs232);
  EXPECT_THROW(link.Open(16), LinkError);
  EXPECT_FALSE(link.IsOpen());
}

TEST(SyncMeter, AcknowledgementAfterLiveBytesIsEnough) {
  ScriptedPort port;
  Rs232 rs232(port, port);
  MeterLink link(port, rs232);
  port.Arrive(1, kFrame + kFrame + MakeBytes({2, 0, 0}) + kAck);
  link.SyncMeter();
  EXPECT_EQ(port.writes(), std::vector<Bytes>{"A"});
}

TEST(SyncMeter, LiveFrameAsTailStartsAgain) {
  ScriptedPort port;
  Rs232 rs232(port, port);
  MeterLink link(port, rs232);
  port.Arrive(1, kAck + kFrame);  // the acknowledgement is not the tail
  port.Arrive(1, kAck);
  link.SyncMeter();
  EXPECT_EQ(port.writes(), (std::vector<Bytes>{"A", "A"}));
}

TEST(SyncMeter, WritesAgainAfterALostAcknowledgement) {
  SimulatedMeter meter;
  Rs232 rs232(meter, meter);
  MeterLink link(meter, rs232);
  link.Open(1);
  meter.model().faults().no_ack = true;
  meter.At(0.5, [&] { meter.model().faults().no_ack = false; });
  link.SyncMeter();
  EXPECT_GE(CountWrites(meter.writes(), "A"), 2);
  EXPECT_LT(meter.elapsed(), 2.0);
}

TEST(SyncMeter, GivesUpOnASilentMeterWithAClearMessage) {
  SimulatedMeter meter;
  Rs232 rs232(meter, meter);
  MeterLink link(meter, rs232);
  link.Open(1);
  meter.model().faults().silent = true;
  try {
    link.SyncMeter();
    FAIL() << "SyncMeter returned on a silent meter";
  } catch (const LinkError& e) {
    EXPECT_STREQ(e.what(), kMeterDoesNotAnswer);
  }
  EXPECT_NEAR(meter.elapsed(), link.limits().sync_timeout, 0.25);
  EXPECT_EQ(CountWrites(meter.writes(), "A"), 15);
  EXPECT_FALSE(link.Busy());
}

TEST(PressKey, HandshakeThenExactlyTheKeyCommand) {
  SimulatedMeter meter;
  Rs232 rs232(meter, meter);
  MeterLink link(meter, rs232);
  link.Open(1);
  link.PressKey(9);
  ASSERT_GE(meter.writes().size(), 2u);
  EXPECT_EQ(meter.writes().back(), MakeBytes({0x4B, 0x00, 0x00, 0x09}));
  for (size_t i = 0; i + 1 < meter.writes().size(); ++i) EXPECT_EQ(meter.writes()[i], "A");
}

TEST(ReadLiveFrame, TakesTheLastSixBytes) {
  ScriptedPort port;
  Rs232 rs232(port, port);
  MeterLink link(port, rs232);
  const Bytes newest = MakeBytes({2, 1, 5, 2, 141, 3});
  // One and a half frames, then a complete one.
  port.Arrive(3, kFrame + MakeBytes({2, 0, 0}) + newest);
  const auto frame = link.ReadLiveFrame();
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(*frame, newest);
  EXPECT_EQ(port.passes(), 3);
}

TEST(ReadLiveFrame, GarbageTailStartsAgainWithAFreshFlush) {
  ScriptedPort port;
  Rs232 rs232(port, port);
  MeterLink link(port, rs232);
  port.Arrive(2, kFrame + MakeBytes({7, 7, 2, 0}));
  port.Arrive(5, MakeBytes({0x55, 0x55}) + kFrame);
  const int reads_before = port.reads();
  const auto frame = link.ReadLiveFrame();
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(*frame, kFrame);
  // flush, read garbage, flush, read the frame
  EXPECT_EQ(port.reads() - reads_before, 4);
}

TEST(ReadLiveFrame, AnAcknowledgementIsNotAReading) {
  ScriptedPort port;
  Rs232 rs232(port, port);
  MeterLink link(port, rs232);
  port.Arrive(1, kAck);
  port.Arrive(1, kFrame);
  const auto frame = link.ReadLiveFrame();
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(*frame, kFrame);
}

TEST(ReadLiveFrame, NothingAfterAHundredPolls) {
  ScriptedPort port;
  Rs232 rs232(port, port);
  MeterLink link(port, rs232);
  port.Arrive(1, MakeBytes({2, 0, 0, 2, 141}));  // five bytes only
  EXPECT_FALSE(link.ReadLiveFrame().has_value());
  EXPECT_EQ(port.passes(), 100);
}

TEST(ReadLiveFrame, SixBytesAtTheHundredthPollAreTooLate) {
  ScriptedPort port;
  Rs232 rs232(port, port);
  MeterLink link(port, rs232);
  port.Arrive(100, kFrame);
  EXPECT_FALSE(link.ReadLiveFrame().has_value());
}

TEST(ReadLiveFrame, EndlessGarbageCountsAsSilence) {
  ScriptedPort port;
  Rs232 rs232(port, port);
  MeterLink link(port, rs232);
  for (int i = 0; i < 1000; ++i) port.Arrive(1, MakeBytes({0x55, 2, 0x55, 0x55, 0x55, 0x55, 9}));
  const double start = port.SecondsSinceMidnight();
  EXPECT_FALSE(link.ReadLiveFrame().has_value());
  const double took = port.SecondsSinceMidnight() - start;
  EXPECT_GE(took, link.limits().garbage_timeout - 1e-6);
  EXPECT_LT(took, link.limits().garbage_timeout + 0.05);
}

TEST(RecoverLink, SilentMeterKeepsTheLinkLostAndClearsOnce) {
  SimulatedMeter meter;
  Rs232 rs232(meter, meter);
  MeterLink link(meter, rs232);
  CountingObserver observer;
  link.SetObserver(&observer);
  link.Open(2);
  meter.model().faults().silent = true;

  EXPECT_FALSE(link.RecoverLink());
  EXPECT_TRUE(link.Lost());
  EXPECT_EQ(link.PortLabel(), "No COM");
  EXPECT_NEAR(meter.elapsed(), link.limits().resync_try, 0.05);
  EXPECT_FALSE(link.RecoverLink());
  EXPECT_EQ(observer.lost, 1);
  EXPECT_EQ(observer.restored, 0);
}

TEST(RecoverLink, MeterComingBackRestoresTheLink) {
  SimulatedMeter meter;
  Rs232 rs232(meter, meter);
  MeterLink link(meter, rs232);
  CountingObserver observer;
  link.SetObserver(&observer);
  link.Open(2);
  meter.model().faults().silent = true;
  meter.At(1.5, [&] { meter.model().faults().silent = false; });

  EXPECT_FALSE(link.RecoverLink());
  EXPECT_TRUE(link.RecoverLink());
  EXPECT_FALSE(link.Lost());
  EXPECT_EQ(link.PortLabel(), "COM2");
  EXPECT_EQ(observer.lost, 1);
  EXPECT_EQ(observer.restored, 1);
  EXPECT_LT(meter.elapsed(), 2.0);
}

TEST(RecoverLink, PortThatVanishedIsOpenedAgain) {
  SimulatedMeter meter;
  Rs232 rs232(meter, meter);
  MeterLink link(meter, rs232);
  CountingObserver observer;
  link.SetObserver(&observer);
  link.Open(1);
  meter.SetBroken(true);
  EXPECT_FALSE(link.RecoverLink());
  EXPECT_FALSE(link.RecoverLink());
  meter.SetBroken(false);
  bool back = false;
  for (int i = 0; i < 3 && !back; ++i) back = link.RecoverLink();
  EXPECT_TRUE(back);
  EXPECT_TRUE(meter.PortOpen());
  EXPECT_GE(meter.open_count(), 2);
  EXPECT_EQ(observer.lost, 1);
  EXPECT_EQ(observer.restored, 1);
}

TEST(RecoverLink, OnlyTheCurrentObserverCanClearItself) {
  SimulatedMeter meter;
  Rs232 rs232(meter, meter);
  MeterLink link(meter, rs232);
  CountingObserver first;
  CountingObserver second;
  link.SetObserver(&first);
  link.SetObserver(&second);
  link.ClearObserver(&first);  // the first one goes away after the second took over
  link.Open(1);
  meter.model().faults().silent = true;
  EXPECT_FALSE(link.RecoverLink());
  EXPECT_EQ(second.lost, 1);
  EXPECT_EQ(first.lost, 0);

  link.ClearObserver(&second);
  meter.model().faults().silent = false;
  EXPECT_TRUE(link.RecoverLink());
  EXPECT_EQ(second.restored, 0);
}

}  // namespace
}  // namespace slm
