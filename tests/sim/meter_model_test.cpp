#include "sim/meter_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/meter.h"

namespace slm::sim {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const Bytes kAck = MakeBytes({2, 255, 255, 255, 255, 3});
constexpr double kByte = 1.0 / 3840;

// The level word of a frame.
int LevelWord(const Bytes& frame) { return ByteAt(frame, 4) * 256 + ByteAt(frame, 5); }

// Splits output that holds only live frames into frames; fails on anything else.
std::vector<Bytes> Frames(const Bytes& output) {
  EXPECT_EQ(output.size() % 6, 0u) << "not whole frames";
  std::vector<Bytes> frames;
  for (size_t i = 0; i + 6 <= output.size(); i += 6) {
    const Bytes frame = output.substr(i, 6);
    EXPECT_TRUE(TailIsFrame(frame)) << "bytes " << i << ".. are not a frame";
    frames.push_back(frame);
  }
  return frames;
}

// A meter whose live stream keeps out of the way: its first frame has left and
// the next is far off, so what it sends afterwards is replies only.
MeterModel QuietMeter() {
  MeterModel model(MeterOptions{.rate_hz = 1e-6, .catch_up_limit = 1e12});
  model.Transmit(0.01);
  return model;
}

MeterTime Time(int year, int month, int day, int hour, int minute, int second) {
  return MeterTime{year, month, day, hour, minute, second};
}

std::string TimeText(const MeterTime& m) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", m.year, m.month, m.day, m.hour,
                m.minute, m.second);
  return buf;
}

StoredSet MakeSet(int number, MeterTime start, int interval, std::vector<std::string> levels) {
  StoredSet set;
  set.number = number;
  set.start = start;
  set.interval = interval;
  for (std::string& level : levels) {
    StoredRecord record;
    if (level.rfind("p:", 0) == 0) {
      record.pause = true;
      level = level.substr(2);
    }
    record.level = level;
    set.records.push_back(record);
  }
  return set;
}

// ---- the live frame ----------------------------------------------------------

TEST(LiveFrame, StartsAt65Point3FastARunOnTheTopRange) {
  MeterModel model;
  // 65.3 dB lies below the 80-140 range, so UNDER is set.
  EXPECT_EQ(model.CurrentFrame(), MakeBytes({2, 0x00, 0x84, 2, 141, 3}));
}

TEST(LiveFrame, LevelWordRoundsClipsAndCarriesTheMarker) {
  MeterModel model;
  model.SetLevel(65.36);
  EXPECT_EQ(LevelWord(model.CurrentFrame()), 654);
  model.SetLevel(-3);
  EXPECT_EQ(LevelWord(model.CurrentFrame()), 0);
  model.SetLevel(5000);
  EXPECT_EQ(LevelWord(model.CurrentFrame()), 32767);
  model.SetLevel(65.3);
  model.SetMarker(true);
  EXPECT_EQ(LevelWord(model.CurrentFrame()), 0x8000 + 653);
  model.SetLevel(5000);
  EXPECT_EQ(LevelWord(model.CurrentFrame()), 0xFFFF);
}

TEST(LiveFrame, OverAndUnderFollowTheRange) {
  struct Case {
    int code;
    double level;
    int status;
    bool under;
  };
  const Case cases[] = {
      {0, 140.0, 0x00, false}, {0, 140.1, 0x80, false}, {0, 80.0, 0x00, false},
      {0, 79.9, 0x00, true},   {1, 130.5, 0x81, false}, {2, 59.9, 0x02, true},
      {3, 75.0, 0x03, false},  {4, 100.1, 0x84, false}, {5, 95.0, 0x85, false},
      {5, 29.0, 0x05, true},   {5, 30.0, 0x05, false},
  };
  for (const Case& c : cases) {
    MeterModel model;
    model.SetRangeCode(c.code);
    model.SetLevel(c.level);
    const Bytes frame = model.CurrentFrame();
    EXPECT_EQ(ByteAt(frame, 2), c.status) << "code " << c.code << " level " << c.level;
    EXPECT_EQ(ByteAt(frame, 3) >= 0x80, c.under) << "code " << c.code << " level " << c.level;
  }
}

TEST(LiveFrame, RangeCodesWithoutARangeAreSentAsTheyAre) {
  MeterModel model;
  model.SetRangeCode(6);
  model.SetLevel(200);
  EXPECT_EQ(ByteAt(model.CurrentFrame(), 2), 6);
  model.SetRangeCode(7);
  model.SetLevel(1);
  EXPECT_EQ(ByteAt(model.CurrentFrame(), 2), 7);
  EXPECT_LT(ByteAt(model.CurrentFrame(), 3), 0x80);
}

TEST(LiveFrame, ForcedOverAndUnderWinOverTheLevel) {
  MeterModel model;
  model.SetLevel(100);  // inside 80-140
  model.ForceOver(true);
  model.ForceUnder(true);
  EXPECT_EQ(ByteAt(model.CurrentFrame(), 2), 0x80);
  EXPECT_GE(ByteAt(model.CurrentFrame(), 3), 0x80);
  model.SetLevel(150);
  model.ForceOver(false);
  EXPECT_EQ(ByteAt(model.CurrentFrame(), 2), 0x00);
  model.ForceOver(std::nullopt);
  EXPECT_EQ(ByteAt(model.CurrentFrame(), 2), 0x80);
}

TEST(LiveFrame, ModeByteCarriesWeightingsAndRunState) {
  MeterModel model;
  model.SetLevel(100);  // neither OVER nor UNDER
  model.SetRun(false);
  EXPECT_EQ(ByteAt(model.CurrentFrame(), 3), 0x00);
  model.SetTimeCode(1);
  model.SetRun(true);
  EXPECT_EQ(ByteAt(model.CurrentFrame(), 3), 0x05);
  model.SetRun(false);
  model.SetTimeCode(2);
  model.SetPause(true);
  EXPECT_EQ(ByteAt(model.CurrentFrame(), 3), 0x0A);
  model.SetPause(false);
  model.SetTimeCode(3);
  model.SetStop(true);
  EXPECT_EQ(ByteAt(model.CurrentFrame(), 3), 0x13);
  model.SetStop(false);
  model.SetTimeCode(0);
  model.SetFrequencyCode(1);
  EXPECT_EQ(ByteAt(model.CurrentFrame(), 3), 0x20);
  model.SetFrequencyCode(2);
  EXPECT_EQ(ByteAt(model.CurrentFrame(), 3), 0x40);
  model.SetFrequencyCode(3);
  EXPECT_EQ(ByteAt(model.CurrentFrame(), 3), 0x60);
}

// ---- the live stream -----------------------------------------------------------

TEST(LiveStream, SendsOneFramePerPeriod) {
  MeterModel model;
  const std::vector<Bytes> frames = Frames(model.Transmit(0.95));
  EXPECT_EQ(frames.size(), 10u);
  for (const Bytes& frame : frames) EXPECT_EQ(frame, model.CurrentFrame());
  EXPECT_EQ(Frames(model.Transmit(1.95)).size(), 10u);

  MeterModel fast(MeterOptions{.rate_hz = 50});
  EXPECT_EQ(Frames(fast.Transmit(0.99)).size(), 50u);
}

TEST(LiveStream, BytesLeaveAtTheLineRateAndNotBefore) {
  MeterModel model;
  // The first frame starts at 0; its bytes leave one by one.
  EXPECT_EQ(model.Transmit(0.0), "");
  EXPECT_EQ(model.Transmit(2.5 * kByte).size(), 2u);
  EXPECT_EQ(model.Transmit(5.5 * kByte).size(), 3u);
  EXPECT_EQ(model.Transmit(6.5 * kByte).size(), 1u);
  EXPECT_EQ(model.Transmit(0.099).size(), 0u);
  EXPECT_EQ(model.Transmit(0.1 + 6.5 * kByte).size(), 6u);
}

TEST(LiveStream, NextEventTimeIsTheNextByte) {
  MeterModel model;
  model.Transmit(0.05);
  EXPECT_NEAR(model.NextEventTime(0.05), 0.1 + kByte, 1e-9);
  // Bytes due now: now.
  EXPECT_DOUBLE_EQ(model.NextEventTime(0.2), 0.2);
  model.Transmit(0.1 + 2.5 * kByte);
  EXPECT_NEAR(model.NextEventTime(0.1 + 2.5 * kByte), 0.1 + 3 * kByte, 1e-9);
}

TEST(LiveStream, ListOfLevelsIsCycledOneLevelPerFrame) {
  MeterModel model;
  model.SetLevels({50.0, 60.0, 70.5});
  std::vector<int> words;
  for (const Bytes& frame : Frames(model.Transmit(0.45))) words.push_back(LevelWord(frame));
  EXPECT_THAT(words, ElementsAre(500, 600, 705, 500, 600));
}

TEST(LiveStream, RandomWalkIsRepeatableAndBounded) {
  auto walk = [](uint32_t seed, double start, double step) {
    MeterModel model(MeterOptions{.seed = seed});
    model.SetRandomWalk(start, step);
    std::vector<int> words;
    for (double t = 0.5; t <= 60; t += 0.5) {
      for (const Bytes& frame : Frames(model.Transmit(t))) words.push_back(LevelWord(frame));
    }
    return words;
  };
  const std::vector<int> a = walk(7, 100, 1.0);
  EXPECT_EQ(a, walk(7, 100, 1.0));
  EXPECT_NE(a, walk(8, 100, 1.0));
  ASSERT_GE(a.size(), 2u);
  for (size_t i = 1; i < a.size(); ++i) EXPECT_LE(std::abs(a[i] - a[i - 1]), 10);
  // A long walk with big steps reaches the bounds but never passes them.
  MeterModel model(MeterOptions{.rate_hz = 500});
  model.SetRandomWalk(25, 20);
  int low = 32767, high = 0;
  for (double t = 0.5; t <= 20; t += 0.5) {
    for (const Bytes& frame : Frames(model.Transmit(t))) {
      low = std::min(low, LevelWord(frame));
      high = std::max(high, LevelWord(frame));
    }
  }
  EXPECT_EQ(low, 200);
  EXPECT_EQ(high, 1500);
}

TEST(LiveStream, AClockThatJumpedGetsNoBurstOfMissedFrames) {
  MeterModel model;
  model.Transmit(0.05);
  // The process was stopped for ten seconds.
  Bytes resumed = model.Transmit(10.0);
  resumed += model.Transmit(10.05);
  EXPECT_EQ(Frames(resumed).size(), 1u);
  // The stream goes on from then at its own rate.
  EXPECT_EQ(Frames(model.Transmit(11.05)).size(), 10u);
}

// ---- commands and the stream ---------------------------------------------------

class Commands : public ::testing::Test {
 protected:
  // Drains the stream up to `t` so that the line is free for what follows.
  void DrainTo(double t) { model_.Transmit(t); }

  MeterModel model_;
};

TEST_F(Commands, AttentionIsAcknowledgedAndStreamPausesAround) {
  DrainTo(0.05);
  model_.Receive("A", 0.05);
  EXPECT_EQ(model_.Transmit(0.05 + 6 * kByte + 1e-6), kAck);
  // Nothing but the acknowledgement is the tail for a good while after it.
  const double quiet_end = 0.05 + 6 * kByte + MeterOptions{}.quiet_after_reply;
  EXPECT_EQ(model_.Transmit(quiet_end - 0.001), "");
  EXPECT_EQ(Frames(model_.Transmit(quiet_end + 0.1)).size(), 1u);
  EXPECT_THAT(model_.received_commands(), ElementsAre("A"));
}

TEST_F(Commands, StreamStopsFromTheFirstByteOfACommand) {
  MeterModel model(MeterOptions{.quiet_after_reply = 0.05, .command_timeout = 1.0});
  model.Transmit(0.05);
  model.Receive(MakeBytes({'K', 0}), 0.05);
  EXPECT_EQ(model.Transmit(0.6), "");
  model.Receive(MakeBytes({0, 10}), 0.6);
  EXPECT_EQ(model.range_code(), 1);
  // No reply: quiet for 0.05 s after the command, then frames with the new range.
  EXPECT_EQ(model.Transmit(0.649), "");
  const std::vector<Bytes> frames = Frames(model.Transmit(0.75));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(ByteAt(frames[0], 2), 1);
}

TEST_F(Commands, ReplyIsPacedAtTheLineRate) {
  model_.SetSets({MakeSet(3, Time(2024, 5, 1, 10, 0, 0), 1, {"060.0", "061.0", "062.0"})});
  DrainTo(0.05);
  model_.Receive(MakeBytes({'O', 3, 0}), 0.05);
  // The host waits for 359 + 38 * 3 = 473 bytes; they take 473 byte times.
  EXPECT_EQ(model_.Transmit(0.05 + 472.5 * kByte).size(), 472u);
  EXPECT_EQ(model_.Transmit(0.05 + 473 * kByte + 1e-6).size(), 1u);
  // The whole reply is 363 + 38 * 3 bytes and nothing follows it at once.
  EXPECT_EQ(model_.Transmit(0.05 + 477 * kByte + 1e-6).size(), 4u);
  EXPECT_EQ(model_.Transmit(0.05 + 477 * kByte + 0.3), "");
  EXPECT_EQ(Frames(model_.Transmit(0.05 + 477 * kByte + 0.5)).size(), 1u);
}

TEST_F(Commands, ReplyWaitsForAFrameThatIsLeaving) {
  DrainTo(0.1 + 2.5 * kByte);  // two bytes of the frame at 0.1 have left
  model_.Receive("A", 0.1 + 2.5 * kByte);
  EXPECT_EQ(model_.Transmit(0.2), MakeBytes({0x84, 2, 141, 3}) + kAck);
}

TEST_F(Commands, HalfACommandIsDroppedAfterTheTimeout) {
  DrainTo(0.05);
  model_.Receive(MakeBytes({'K', 0}), 0.05);
  // Dropped at 0.55; these bytes start no command of their own.
  model_.Receive(MakeBytes({0, 9}), 0.6);
  EXPECT_EQ(model_.range_code(), 0);
  EXPECT_TRUE(model_.received_commands().empty());
  EXPECT_EQ(model_.received_bytes(), MakeBytes({'K', 0, 0, 9}));
  // The stream came back once the command was dropped.
  EXPECT_EQ(Frames(model_.Transmit(0.75)).size(), 2u);
  model_.Receive(MakeBytes({'K', 0}), 1.0);
  model_.Receive(MakeBytes({0, 10}), 1.49);
  EXPECT_EQ(model_.range_code(), 1);
}

TEST_F(Commands, BytesThatStartNoCommandAreIgnored) {
  model_.Receive(MakeBytes({0, 255, 'x', 'Z', 'A', 'G'}), 0.05);
  EXPECT_THAT(model_.received_commands(), ElementsAre("A", "G"));
  EXPECT_EQ(model_.frequency_code(), 1);
  EXPECT_EQ(model_.received_bytes(), MakeBytes({0, 255, 'x', 'Z', 'A', 'G'}));
  EXPECT_EQ(model_.Transmit(0.06), MakeBytes({2, 0, 0x84, 2, 141, 3}) + kAck);
}

TEST_F(Commands, CommandsAreRecordedAsWritten) {
  model_.Receive(MakeBytes({'K', 0, 0, 2, 'C', 0}), 0.01);
  model_.Receive(MakeBytes({7, 'P', 1, 0}), 0.02);
  EXPECT_THAT(
      model_.received_commands(),
      ElementsAre(MakeBytes({'K', 0, 0, 2}), MakeBytes({'C', 0, 7}), MakeBytes({'P', 1, 0})));
}

// ---- keys and letter commands --------------------------------------------------

Bytes Key(int code) { return MakeBytes({'K', 0, 0, code}); }

TEST(Keys, FrequencyWeightingStepsBetweenAAndC) {
  MeterModel model;
  std::vector<int> codes;
  for (int i = 0; i < 3; ++i) {
    model.Receive(Key(1), i);
    codes.push_back(model.frequency_code());
  }
  EXPECT_THAT(codes, ElementsAre(1, 0, 1));
  for (int from : {2, 3}) {
    model.SetFrequencyCode(from);
    model.Receive("G", 5);
    EXPECT_EQ(model.frequency_code(), 0) << "from " << from;
  }
}

TEST(Keys, TimeWeightingStepsFastSlowImp) {
  MeterModel model;
  std::vector<int> codes;
  for (int i = 0; i < 4; ++i) {
    model.Receive(i % 2 == 0 ? Key(2) : Bytes("D"), i);
    codes.push_back(model.time_code());
  }
  EXPECT_THAT(codes, ElementsAre(1, 2, 0, 1));
  model.SetTimeCode(3);
  model.Receive("D", 5);
  EXPECT_EQ(model.time_code(), 0);
}

TEST(Keys, RangeStepsStopAtTheEnds) {
  MeterModel model;
  std::vector<int> codes;
  for (int i = 0; i < 6; ++i) {
    model.Receive(i % 2 == 0 ? Key(10) : Bytes("F"), i);
    codes.push_back(model.range_code());
  }
  EXPECT_THAT(codes, ElementsAre(1, 2, 3, 4, 5, 5));
  codes.clear();
  for (int i = 0; i < 6; ++i) {
    model.Receive(i % 2 == 0 ? Key(9) : Bytes("E"), 10 + i);
    codes.push_back(model.range_code());
  }
  EXPECT_THAT(codes, ElementsAre(4, 3, 2, 1, 0, 0));
}

TEST(Keys, NewStateShowsInTheNextFrame) {
  MeterModel model(MeterOptions{.quiet_after_reply = 0.01});
  model.SetLevel(100);
  model.Transmit(0.05);
  model.Receive("G", 0.05);
  model.Receive(Key(10), 0.05);
  const std::vector<Bytes> frames = Frames(model.Transmit(0.15));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(ByteAt(frames[0], 2), 1);
  EXPECT_EQ(ByteAt(frames[0], 3), 0x24);  // C, RUN
}

TEST(Keys, RunPauseStopCycleKeepsExactlyOneFlag) {
  MeterModel model;
  std::vector<std::string> states;
  for (int i = 0; i < 4; ++i) {
    model.Receive(Key(5), i);
    states.push_back(std::string(model.run() ? "R" : "") + (model.pause() ? "P" : "") +
                     (model.stop() ? "S" : ""));
  }
  EXPECT_THAT(states, ElementsAre("P", "S", "R", "P"));
  // From no flag at all the key starts a run.
  model.SetPause(false);
  model.Receive(Key(5), 10);
  EXPECT_TRUE(model.run());
  EXPECT_FALSE(model.pause() || model.stop());
}

TEST(Keys, DisplayKeysChangeOnlyTheDisplay) {
  MeterModel model;
  const Bytes frame = model.CurrentFrame();
  std::vector<Readout> readouts;
  std::vector<HoldMode> holds;
  for (int i = 0; i < 3; ++i) {
    model.Receive(Key(3), i);
    readouts.push_back(model.readout());
    model.Receive(Key(4), i);
    holds.push_back(model.hold_mode());
  }
  EXPECT_THAT(readouts, ElementsAre(Readout::kLeq, Readout::kSel, Readout::kSpl));
  EXPECT_THAT(holds, ElementsAre(HoldMode::kMax, HoldMode::kMin, HoldMode::kInst));

  EXPECT_FALSE(model.showing_clock());
  model.Receive(Key(7), 5);
  EXPECT_TRUE(model.showing_clock());
  model.Receive(Key(7), 5);
  EXPECT_FALSE(model.showing_clock());

  const int first = model.integration_seconds();
  std::vector<int> seen{first};
  for (int i = 0; i < 20 && (seen.size() == 1 || seen.back() != first); ++i) {
    model.Receive(Key(8), 6);
    seen.push_back(model.integration_seconds());
  }
  EXPECT_GT(seen.size(), 3u);
  EXPECT_EQ(seen.back(), first) << "key 8 never comes back to the first integration time";

  EXPECT_EQ(model.CurrentFrame(), frame);
}

TEST(Keys, UnknownKeyCodesChangeNothing) {
  MeterModel model;
  const Bytes frame = model.CurrentFrame();
  model.Receive(Key(0) + Key(11) + Key(255), 0.05);
  EXPECT_EQ(model.CurrentFrame(), frame);
  EXPECT_EQ(model.received_commands().size(), 3u);
}

// ---- clock and sampling time ---------------------------------------------------

TEST(MeterClock, SetClockCommandIsReadBackAtTheSameInstant) {
  MeterModel model = QuietMeter();
  // "B" is 0x42; then 42 s, 15 min, 10 h, the 23rd, March, (20)16.
  model.Receive(MakeBytes({0x42, 0x42, 0x15, 0x10, 0x23, 0x03, 0x16}), 2.0);
  model.Receive("I", 2.0);
  EXPECT_EQ(model.Transmit(2.1), MakeBytes({0x42, 0x15, 0x10, 0x23, 0x03, 0x16}));
  // An hour and 20.5 s later.
  model.Receive("I", 3622.5);
  EXPECT_EQ(model.Transmit(3622.6), MakeBytes({0x02, 0x16, 0x11, 0x23, 0x03, 0x16}));
}

TEST(MeterClock, StartsAtNewYear2024AndCountsCalendarDays) {
  MeterModel model;
  EXPECT_EQ(TimeText(model.ClockAt(0)), "2024/01/01 00:00:00");
  EXPECT_EQ(TimeText(model.ClockAt(59.99)), "2024/01/01 00:00:59");
  model.SetClock(Time(2024, 2, 28, 23, 59, 59), 10);
  EXPECT_EQ(TimeText(model.ClockAt(11)), "2024/02/29 00:00:00");
  EXPECT_EQ(TimeText(model.ClockAt(10 + 86401)), "2024/03/01 00:00:00");
  model.SetClock(Time(2023, 2, 28, 23, 59, 59), 0);
  EXPECT_EQ(TimeText(model.ClockAt(1)), "2023/03/01 00:00:00");
  model.SetClock(Time(2099, 12, 31, 23, 59, 30), 0);
  EXPECT_EQ(TimeText(model.ClockAt(45)), "2100/01/01 00:00:15");
}

TEST(MeterClock, SetClockWithANonDateIsIgnored) {
  MeterModel model;
  model.SetClock(Time(2020, 6, 1, 12, 0, 0), 0);
  model.Receive(MakeBytes({'B', 0, 0, 0, 0x31, 0x02, 0x24}), 1);     // 31 February
  model.Receive(MakeBytes({'B', 0, 0, 0x25, 0x01, 0x01, 0x24}), 1);  // hour 25
  EXPECT_EQ(TimeText(model.ClockAt(1)), "2020/06/01 12:00:01");
  EXPECT_EQ(model.received_commands().size(), 2u);
}

TEST(SamplingTime, ReadAndSetWithHighByteFirst) {
  MeterModel model = QuietMeter();
  model.Receive("J", 0.05);
  EXPECT_EQ(model.Transmit(0.06), MakeBytes({0, 1}));
  model.Receive(MakeBytes({'C', 0, 200}), 0.1);
  EXPECT_EQ(model.sampling_time(), 200);
  model.Receive("J", 0.1);
  EXPECT_EQ(model.Transmit(0.2), MakeBytes({0, 200}));
  // Outside 1..255 the meter keeps its value.
  model.Receive(MakeBytes({'C', 1, 0}), 0.3);
  model.Receive(MakeBytes({'C', 0, 0}), 0.3);
  EXPECT_EQ(model.sampling_time(), 200);
}

// ---- memory directory ----------------------------------------------------------

TEST(Directory, EmptyMemory) {
  MeterModel model = QuietMeter();
  model.Receive("N", 0.05);
  EXPECT_EQ(model.Transmit(0.1), MakeBytes({2, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 0, 0, 3}));
}

TEST(Directory, EntriesCarryNumberSizeAndPackedStart) {
  MeterModel model = QuietMeter();
  model.SetSets({MakeSet(0x1234, Time(2016, 3, 23, 10, 15, 42), 1, {"060.0", "061.0", "062.0"}),
                 MakeSet(2, Time(2024, 5, 1, 10, 0, 0), 1, {})});
  model.Receive("N", 0.05);
  const Bytes reply = model.Transmit(0.1);
  ASSERT_EQ(reply.size(), 12u + 10u * 2);
  EXPECT_EQ(ByteAt(reply, 10), 2);
  EXPECT_EQ(ByteAt(reply, 11), 0);
  EXPECT_EQ(ByteAt(reply, 32), 3);
  // Set 0x1234: 341 + 38 * 3 = 455 bytes; 2016-03-23 10:15:42 packs to 0x487751F5,
  // sent as its high half, then its low half, each low byte first.
  EXPECT_EQ(reply.substr(11, 10),
            MakeBytes({0x34, 0x12, 0xC7, 0x01, 0, 0, 0x77, 0x48, 0xF5, 0x51}));
  // Set 2: no records.
  EXPECT_EQ(reply.substr(21, 6), MakeBytes({2, 0, 0x55, 0x01, 0, 0}));
  const uint32_t packed = static_cast<uint32_t>(ByteAt(reply, 29)) << 24 |
                          static_cast<uint32_t>(ByteAt(reply, 28)) << 16 |
                          static_cast<uint32_t>(ByteAt(reply, 31)) << 8 |
                          static_cast<uint32_t>(ByteAt(reply, 30));
  EXPECT_EQ(DecodeMeterDateTime(packed), "2024/05/01  10:00:00");
}

TEST(Directory, RemainingMemoryShrinksWithTheSetsButNotBelowZero) {
  auto remaining = [](uint32_t size, int records) {
    MeterModel model = QuietMeter();
    model.SetMemorySize(size);
    model.SetSets({MakeSet(1, Time(2024, 1, 1, 0, 0, 0), 1,
                           std::vector<std::string>(static_cast<size_t>(records), "050.0"))});
    model.Receive("N", 0.05);
    const Bytes reply = model.Transmit(0.1);
    EXPECT_EQ(
        ByteAt(reply, 2) | ByteAt(reply, 3) << 8 | ByteAt(reply, 4) << 16 | ByteAt(reply, 5) << 24,
        static_cast<int>(size));
    return ByteAt(reply, 6) | ByteAt(reply, 7) << 8 | ByteAt(reply, 8) << 16 |
           ByteAt(reply, 9) << 24;
  };
  const int small = remaining(8000, 10);
  const int large = remaining(8000, 10000);
  EXPECT_LT(small, 8000);
  EXPECT_LT(large, small);
  EXPECT_EQ(remaining(1, 10000), 0);
  // Even an empty set takes its header's room.
  EXPECT_LT(remaining(70000, 0), 70000);
  EXPECT_GT(remaining(70000, 0), 69000);
}

// ---- set download --------------------------------------------------------------

class SetReply : public ::testing::Test {
 protected:
  Bytes Download(const StoredSet& set) {
    model_.SetSets({set});
    model_.Receive(MakeBytes({'O', set.number & 0xFF, set.number >> 8}), 0.05);
    return model_.Transmit(1.0);
  }

  MeterModel model_ = QuietMeter();
};

TEST_F(SetReply, HeaderFieldsAreAtTheirPositions) {
  StoredSet set =
      MakeSet(0x0107, Time(2024, 5, 1, 10, 0, 0), 2, {"060.0", "070.0", "p:099.0", "065.0"});
  set.frequency_weighting = "C";
  set.time_weighting = "SLOW";
  set.range = "50-110";
  const Bytes reply = Download(set);
  ASSERT_EQ(reply.size(), 363u + 38 * 4);
  EXPECT_EQ(BytesToText(reply, 20, 1), "2");
  EXPECT_EQ(BytesToText(reply, 40, 1), "C");
  EXPECT_EQ(BytesToText(reply, 57, 4), "SLOW");
  EXPECT_EQ(BytesToText(reply, 77, 6), "50-110");
  EXPECT_EQ(BytesToText(reply, 116, 19), "2024/05/01 10:00:00");
  // The pause record does not count: the maximum is the second record.
  EXPECT_EQ(BytesToText(reply, 145, 6), "070.0 ");
  EXPECT_EQ(BytesToText(reply, 155, 19), "2024/05/01 10:00:02");
  // Energy mean of 60, 70 and 65 dB; SEL over 3 records of 2 s.
  EXPECT_EQ(BytesToText(reply, 201, 6), "066.7 ");
  EXPECT_EQ(BytesToText(reply, 217, 6), "074.5 ");
  EXPECT_EQ(BytesToText(reply, 233, 6), "070.0 ");
  EXPECT_EQ(BytesToText(reply, 249, 6), "070.0 ");
  EXPECT_EQ(BytesToText(reply, 265, 6), "065.0 ");
  EXPECT_EQ(BytesToText(reply, 281, 6), "060.0 ");
  EXPECT_EQ(BytesToText(reply, 297, 6), "060.0 ");
  for (char c : reply.substr(0, 363)) {
    EXPECT_TRUE((c >= 32 && c < 127) || c == '\r' || c == '\n') << "byte " << int(c);
  }
}

TEST_F(SetReply, RecordsFollowTheHeaderEvery38Bytes) {
  const Bytes reply = Download(
      MakeSet(1, Time(2024, 12, 31, 23, 59, 57), 2, {"060.0", "070.0", "p:099.0", "065.0"}));
  ASSERT_EQ(reply.size(), 363u + 38 * 4);
  const char* times[] = {"2024/12/31 23:59:57", "2024/12/31 23:59:59", "2025/01/01 00:00:01",
                         "2025/01/01 00:00:03"};
  const char* levels[] = {"060.0", "070.0", "099.0", "065.0"};
  for (int i = 1; i <= 4; ++i) {
    const int p = 364 + 38 * (i - 1);
    EXPECT_EQ(BytesToText(reply, p, 8), i == 3 ? "[pause] " : "        ") << "record " << i;
    EXPECT_EQ(BytesToText(reply, p + 8, 19), times[i - 1]) << "record " << i;
    EXPECT_EQ(BytesToText(reply, p + 27, 1), " ");
    EXPECT_EQ(BytesToText(reply, p + 28, 5), levels[i - 1]) << "record " << i;
    EXPECT_EQ(BytesToText(reply, p + 33, 5), " dB\r\n");
  }
}

TEST_F(SetReply, PercentilesAreLevelsExceededThatShareOfTheTime) {
  std::vector<std::string> levels;
  for (int i = 20; i >= 1; --i) levels.push_back(std::to_string(40 + i) + ".0");
  const Bytes reply = Download(MakeSet(1, Time(2024, 1, 1, 0, 0, 0), 1, levels));
  EXPECT_EQ(BytesToText(reply, 145, 6), "060.0 ");
  EXPECT_EQ(BytesToText(reply, 155, 19), "2024/01/01 00:00:00");
  EXPECT_EQ(BytesToText(reply, 233, 6), "060.0 ");
  EXPECT_EQ(BytesToText(reply, 249, 6), "059.0 ");
  EXPECT_EQ(BytesToText(reply, 265, 6), "051.0 ");
  EXPECT_EQ(BytesToText(reply, 281, 6), "043.0 ");
  EXPECT_EQ(BytesToText(reply, 297, 6), "042.0 ");
}

TEST_F(SetReply, IntervalIsWrittenAsOneDigit) {
  EXPECT_EQ(BytesToText(Download(MakeSet(1, Time(2024, 1, 1, 0, 0, 0), 12, {"050.0"})), 20, 1),
            "9");
}

TEST(SetReplyMissing, UnknownSetGetsNoReplyAndTheStreamComesBack) {
  MeterModel model(MeterOptions{.quiet_after_reply = 0.3});
  model.SetSets({MakeSet(1, Time(2024, 1, 1, 0, 0, 0), 1, {"050.0"})});
  model.Transmit(0.05);
  model.Receive(MakeBytes({'O', 1, 1}), 0.05);
  EXPECT_EQ(model.Transmit(0.34), "");
  EXPECT_EQ(Frames(model.Transmit(0.45)).size(), 1u);
}

// ---- erasing and logging -------------------------------------------------------

std::vector<int> Numbers(const MeterModel& model) {
  std::vector<int> numbers;
  for (const StoredSet& set : model.sets()) numbers.push_back(set.number);
  return numbers;
}

TEST(Erase, OneSetByNumberOrAllSets) {
  MeterModel model = QuietMeter();
  model.SetSets({MakeSet(1, Time(2024, 1, 1, 0, 0, 0), 1, {}),
                 MakeSet(258, Time(2024, 1, 1, 0, 0, 0), 1, {}),
                 MakeSet(3, Time(2024, 1, 1, 0, 0, 0), 1, {})});
  model.Receive(MakeBytes({'P', 2, 1}), 0.05);
  EXPECT_THAT(Numbers(model), ElementsAre(1, 3));
  model.Receive(MakeBytes({'P', 9, 0}), 0.1);
  EXPECT_THAT(Numbers(model), ElementsAre(1, 3));
  model.Receive("H", 0.2);
  EXPECT_TRUE(model.sets().empty());
  EXPECT_EQ(model.Transmit(0.3), "") << "erasing has no reply";
}

TEST(Logging, RecordKeyStoresANewSetWhileRunning) {
  MeterModel model;
  model.SetSets({MakeSet(4, Time(2024, 1, 1, 0, 0, 0), 1, {"050.0"})});
  model.SetClock(Time(2024, 5, 1, 10, 0, 0), 0);
  model.SetSamplingTime(2);
  model.SetLevel(70);
  model.Receive(Key(6), 1.0);
  EXPECT_TRUE(model.logging());
  for (double t = 1.0; t < 4.5; t += 0.1) model.Transmit(t);
  model.SetLevel(72.3);
  for (double t = 4.5; t < 7.5; t += 0.1) model.Transmit(t);
  model.Receive(Key(6), 7.5);
  EXPECT_FALSE(model.logging());
  model.Transmit(20);

  ASSERT_THAT(Numbers(model), ElementsAre(4, 5));
  const StoredSet& set = model.sets()[1];
  EXPECT_EQ(TimeText(set.start), "2024/05/01 10:00:01");
  EXPECT_EQ(set.interval, 2);
  EXPECT_EQ(set.frequency_weighting, "A");
  EXPECT_EQ(set.time_weighting, "FAST");
  EXPECT_EQ(set.range, "80-140");
  std::vector<std::string> levels;
  for (const StoredRecord& record : set.records) levels.push_back(record.level);
  // Records at 1, 3, 5 and 7 s.
  EXPECT_THAT(levels, ElementsAre("070.0", "070.0", "072.3", "072.3"));
}

TEST(Logging, PauseRecordsThenStopEnds) {
  MeterModel model;
  model.SetLevel(60);
  model.Receive(Key(6), 0.0);
  model.Transmit(1.5);
  model.Receive(Key(5), 1.5);  // PAUSE
  model.Transmit(3.5);
  model.Receive(Key(5), 3.5);  // STOP
  model.Transmit(10);
  EXPECT_FALSE(model.logging());
  ASSERT_EQ(model.sets().size(), 1u);
  std::vector<bool> pauses;
  for (const StoredRecord& record : model.sets()[0].records) pauses.push_back(record.pause);
  EXPECT_THAT(pauses, ElementsAre(false, false, true, true));
}

TEST(Logging, RecordKeyDoesNothingUnlessRunning) {
  MeterModel model;
  model.SetRun(false);
  model.SetStop(true);
  model.Receive(Key(6), 0.0);
  model.Transmit(5);
  EXPECT_FALSE(model.logging());
  EXPECT_TRUE(model.sets().empty());
}

TEST(Logging, ErasingTheLoggingSetEndsTheLogging) {
  MeterModel model;
  model.Receive(Key(6), 0.0);
  model.Receive("H", 0.5);
  model.Transmit(5);
  EXPECT_FALSE(model.logging());
  EXPECT_TRUE(model.sets().empty());
}

// ---- faults --------------------------------------------------------------------

TEST(Faults, SilentMeterSendsAndAnswersNothingUntilCleared) {
  MeterModel model;
  model.Transmit(0.05);
  model.faults().silent = true;
  model.Receive("A", 0.1);
  model.Receive(Key(9) + Key(10), 0.2);
  EXPECT_EQ(model.Transmit(3.05), "");
  EXPECT_EQ(model.range_code(), 0);
  EXPECT_TRUE(model.received_commands().empty());
  EXPECT_EQ(model.received_bytes(), "A" + Key(9) + Key(10));
  model.faults().silent = false;
  EXPECT_EQ(Frames(model.Transmit(3.25)).size(), 1u);
}

TEST(Faults, GarbageBetweenFrames) {
  MeterModel model;
  model.faults().garbage_between = 5;
  const Bytes out = model.Transmit(0.95);
  ASSERT_EQ(out.size(), 10u * 11);
  for (size_t i = 0; i < out.size(); i += 11) {
    EXPECT_EQ(out.substr(i, 6), model.CurrentFrame()) << "at " << i;
  }
  EXPECT_NE(out.substr(6, 5), out.substr(17, 5));
}

TEST(Faults, ShortRepliesStopHalfway) {
  MeterModel model = QuietMeter();
  model.faults().short_replies = true;
  model.SetSets({MakeSet(1, Time(2024, 1, 1, 0, 0, 0), 1, {"050.0", "051.0"})});
  model.Receive("N", 0.05);
  EXPECT_EQ(model.Transmit(0.1).size(), 11u);
  model.Receive(MakeBytes({'O', 1, 0}), 1.0);
  const Bytes reply = model.Transmit(1.3);
  EXPECT_EQ(reply.size(), (363u + 76) / 2);
  EXPECT_EQ(BytesToText(reply, 20, 1), "1");
}

TEST(Faults, NoAcknowledgementButTheStreamStillPauses) {
  MeterModel model;
  model.faults().no_ack = true;
  model.Transmit(0.05);
  model.Receive("A", 0.05);
  EXPECT_EQ(model.Transmit(0.39), "");
  EXPECT_THAT(model.received_commands(), ElementsAre("A"));
  model.faults().no_ack = false;
  model.Transmit(0.55);
  model.Receive("A", 0.55);
  EXPECT_EQ(model.Transmit(0.6), kAck);
}

// ---- stored-sets text ----------------------------------------------------------

TEST(ParseSets, ReadsSetsSkippingCommentsAndBlankLines) {
  const auto sets = MeterModel::ParseSets(
      "# two sets\n"
      "\n"
      "1;2024/05/01 10:00:00;2;A;FAST;30-90;65.3 66.1 p:66 70.24\r\n"
      "  300 ; 2016/03/23 10:15:42 ; 1 ; C ; IMP ; 80-140 ;  \n"
      "   # indented comment\n");
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].number, 1);
  EXPECT_EQ(TimeText(sets[0].start), "2024/05/01 10:00:00");
  EXPECT_EQ(sets[0].interval, 2);
  EXPECT_EQ(sets[0].frequency_weighting, "A");
  EXPECT_EQ(sets[0].time_weighting, "FAST");
  EXPECT_EQ(sets[0].range, "30-90 ");
  std::vector<std::string> levels;
  std::vector<bool> pauses;
  for (const StoredRecord& r : sets[0].records) {
    levels.push_back(r.level);
    pauses.push_back(r.pause);
  }
  EXPECT_THAT(levels, ElementsAre("065.3", "066.1", "066.0", "070.2"));
  EXPECT_THAT(pauses, ElementsAre(false, false, true, false));

  EXPECT_EQ(sets[1].number, 300);
  EXPECT_EQ(sets[1].time_weighting, "IMP ");
  EXPECT_EQ(sets[1].range, "80-140");
  EXPECT_TRUE(sets[1].records.empty());
}

TEST(ParseSets, BadLinesAreReportedWithTheirNumber) {
  const char* good = "1;2024/05/01 10:00:00;1;A;FAST;30-90;65.3\n";
  const struct {
    const char* line;
    const char* says;
  } cases[] = {
      {"2;2024/05/01 10:00:00;1;A;FAST;30-90", "7 fields"},
      {"2;2024/05/01 10:00:00;1;A;FAST;30-90;1;2", "7 fields"},
      {"x;2024/05/01 10:00:00;1;A;FAST;30-90;65", "set number"},
      {"70000;2024/05/01 10:00:00;1;A;FAST;30-90;65", "set number"},
      {"1;2024/05/01 10:00:00;1;A;FAST;30-90;65", "twice"},
      {"2;2024/02/30 10:00:00;1;A;FAST;30-90;65", "start"},
      {"2;2024-05-01 10:00:00;1;A;FAST;30-90;65", "start"},
      {"2;2024/05/01 24:00:00;1;A;FAST;30-90;65", "start"},
      {"2;2024/05/01 10:00:00;0;A;FAST;30-90;65", "interval"},
      {"2;2024/05/01 10:00:00;256;A;FAST;30-90;65", "interval"},
      {"2;2024/05/01 10:00:00;1;B;FAST;30-90;65", "frequency weighting"},
      {"2;2024/05/01 10:00:00;1;A;MEDIUM;30-90;65", "time weighting"},
      {"2;2024/05/01 10:00:00;1;A;FAST;30-100;65", "range"},
      {"2;2024/05/01 10:00:00;1;A;FAST;30-90;65 loud", "level 'loud'"},
      {"2;2024/05/01 10:00:00;1;A;FAST;30-90;p:", "level 'p:'"},
      {"2;2024/05/01 10:00:00;1;A;FAST;30-90;-1", "level '-1'"},
  };
  for (const auto& c : cases) {
    try {
      MeterModel::ParseSets(std::string("# sets\n") + good + c.line + "\n");
      ADD_FAILURE() << "accepted: " << c.line;
    } catch (const std::runtime_error& e) {
      EXPECT_THAT(e.what(), StartsWith("line 3: ")) << c.line;
      EXPECT_THAT(e.what(), HasSubstr(c.says)) << c.line;
    }
  }
}

TEST(ParseSets, ParsedSetsDownloadAsWritten) {
  MeterModel model = QuietMeter();
  model.SetSets(MeterModel::ParseSets("12;2024/05/01 10:00:00;3;Z;SLOW;50-110;p:85.3 90\n"));
  model.Receive(MakeBytes({'O', 12, 0}), 0.05);
  const Bytes reply = model.Transmit(1.0);
  ASSERT_EQ(reply.size(), 363u + 76);
  EXPECT_EQ(BytesToText(reply, 20, 1), "3");
  EXPECT_EQ(BytesToText(reply, 40, 1), "Z");
  EXPECT_EQ(BytesToText(reply, 77, 6), "50-110");
  EXPECT_EQ(BytesToText(reply, 364, 7), "[pause]");
  EXPECT_EQ(BytesToText(reply, 364 + 28, 5), "085.3");
  EXPECT_EQ(BytesToText(reply, 402 + 8, 19), "2024/05/01 10:00:03");
  EXPECT_EQ(BytesToText(reply, 402 + 28, 5), "090.0");
}

}  // namespace
}  // namespace slm::sim
