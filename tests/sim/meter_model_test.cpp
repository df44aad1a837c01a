#include "sim/meter_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "base/calendar.h"
#include "link/meter.h"

namespace slm::sim {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const Bytes kAck = MakeBytes({2, 255, 255, 255, 255, 3});
constexpr double kByte = 1.0 / 3840;
const MeterTime kNewYear{2024, 1, 1, 0, 0, 0};

int LevelWord(const Bytes& frame) { return ByteAt(frame, 4) * 256 + ByteAt(frame, 5); }

// Splits output that must hold live frames only.
std::vector<Bytes> Frames(const Bytes& output) {
  EXPECT_EQ(output.size() % 6, 0u) << "not whole frames";
  std::vector<Bytes> frames;
  for (size_t i = 0; i + 6 <= output.size(); i += 6) frames.push_back(output.substr(i, 6));
  for (const Bytes& frame : frames) EXPECT_TRUE(TailIsFrame(frame)) << "not a frame";
  return frames;
}

// Its first frame has left and the next is far off: what follows is replies.
MeterModel QuietMeter() {
  MeterModel model(MeterOptions{.rate_hz = 1e-6, .catch_up_limit = 1e12});
  model.Transmit(0.01);
  return model;
}

// A "p:" prefix marks a pause record.
StoredSet MakeSet(int number, MeterTime start, int interval, std::vector<std::string> levels) {
  StoredSet set{.number = number, .start = start, .interval = interval, .records = {}};
  for (const std::string& level : levels) {
    const bool pause = level.starts_with("p:");
    set.records.push_back({level.substr(pause ? 2 : 0), pause});
  }
  return set;
}

Bytes Key(int code) { return MakeBytes({'K', 0, 0, code}); }

// Expects each text at its 1-based position in `reply`.
using At = std::pair<int, std::string>;
void ExpectTexts(const Bytes& reply, std::vector<At> texts) {
  for (const auto& [at, text] : texts) {
    EXPECT_EQ(BytesToText(reply, at, static_cast<int>(text.size())), text) << "at " << at;
  }
}

std::vector<int> Words(const Bytes& output) {
  std::vector<int> words;
  for (const Bytes& frame : Frames(output)) words.push_back(LevelWord(frame));
  return words;
}

// The little-endian number of `count` bytes from the 1-based `at`.
uint32_t Le(const Bytes& bytes, int at, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | ByteAt(bytes, at + i);
  return value;
}

Bytes DirectoryOf(std::vector<StoredSet> sets, uint32_t memory = 8000) {
  MeterModel model = QuietMeter();
  model.SetMemorySize(memory);
  model.SetSets(std::move(sets));
  model.Receive("N", 0.05);
  return model.Transmit(0.1);
}

Bytes Download(MeterModel& model, const StoredSet& set, double t = 0.05) {
  model.SetSets({set});
  model.Receive(MakeBytes({'O', set.number & 0xFF, set.number >> 8}), t);
  return model.Transmit(t + 1.0);
}

// Number, start, interval, weightings and range, then the records.
std::string Describe(const StoredSet& set) {
  std::string text = std::to_string(set.number) + " " + PcDateTimeText(set.start) + " " +
                     std::to_string(set.interval) + " " + set.frequency_weighting +
                     set.time_weighting + set.range;
  for (const StoredRecord& r : set.records) text += (r.pause ? " p:" : " ") + r.level;
  return text;
}

TEST(LiveFrame, EncodesLevelMarkerRangeOverUnderAndMode) {
  // 65.3 dB, FAST, A, RUN; below 80-140, so UNDER.
  EXPECT_EQ(MeterModel().CurrentFrame(), MakeBytes({2, 0x00, 0x84, 2, 141, 3}));
  using Word = std::tuple<double, bool, int>;  // level, marker, level word
  for (auto [level, marker, word] :
       {Word{65.36, false, 654}, Word{-3, false, 0}, Word{5000, false, 32767},
        Word{65.3, true, 0x8000 + 653}, Word{5000, true, 0xFFFF}}) {
    MeterModel model;
    model.SetLevel(level);
    model.SetMarker(marker);
    EXPECT_EQ(LevelWord(model.CurrentFrame()), word) << level << " marker " << marker;
  }
  // Range code, level, status byte, UNDER; codes 6 and 7 name no range.
  using Range = std::tuple<int, double, int, bool>;
  for (auto [code, level, status, under] :
       {Range{0, 140.0, 0x00, false}, Range{0, 140.1, 0x80, false}, Range{0, 80.0, 0x00, false},
        Range{0, 79.9, 0x00, true}, Range{1, 130.5, 0x81, false}, Range{2, 59.9, 0x02, true},
        Range{4, 100.1, 0x84, false}, Range{5, 29.0, 0x05, true}, Range{5, 30.0, 0x05, false},
        Range{6, 200, 0x06, false}, Range{7, 1, 0x07, false}}) {
    MeterModel model;
    model.SetRangeCode(code);
    model.SetLevel(level);
    EXPECT_EQ(ByteAt(model.CurrentFrame(), 2), status) << "code " << code << " level " << level;
    EXPECT_EQ(ByteAt(model.CurrentFrame(), 3) >= 0x80, under) << "code " << code << " " << level;
  }
  // Time code, frequency code, run, pause, stop, mode byte (level inside the range).
  using Mode = std::tuple<int, int, bool, bool, bool, int>;
  for (auto [time, frequency, run, pause, stop, mode] :
       {Mode{0, 0, false, false, false, 0x00}, Mode{1, 0, true, false, false, 0x05},
        Mode{2, 0, false, true, false, 0x0A}, Mode{3, 0, false, false, true, 0x13},
        Mode{0, 1, false, false, false, 0x20}, Mode{0, 2, false, false, false, 0x40},
        Mode{0, 3, false, false, false, 0x60}}) {
    MeterModel model;
    model.SetLevel(100);
    model.SetTimeCode(time);
    model.SetFrequencyCode(frequency);
    model.SetRun(run);
    model.SetPause(pause);
    model.SetStop(stop);
    EXPECT_EQ(ByteAt(model.CurrentFrame(), 3), mode) << "mode " << mode;
  }
  MeterModel forced;
  forced.SetLevel(150);  // OVER by its level
  forced.ForceOver(false);
  forced.ForceUnder(true);
  EXPECT_EQ(forced.CurrentFrame().substr(1, 2), MakeBytes({0x00, 0x84}));
  forced.ForceOver(std::nullopt);
  EXPECT_EQ(ByteAt(forced.CurrentFrame(), 2), 0x80);
}

TEST(LiveStream, SendsOneFramePerPeriodAtTheLineRate) {
  MeterModel model;
  std::vector<size_t> sizes;
  for (double t : {0.0, 2.5 * kByte, 5.5 * kByte, 6.5 * kByte, 0.099}) {
    sizes.push_back(model.Transmit(t).size());
  }
  EXPECT_THAT(sizes, ElementsAre(0, 2, 3, 1, 0));
  EXPECT_NEAR(model.NextEventTime(0.099), 0.1 + kByte, 1e-9);
  EXPECT_DOUBLE_EQ(model.NextEventTime(0.2), 0.2);  // bytes due now
  model.Transmit(0.1 + 2.5 * kByte);
  EXPECT_NEAR(model.NextEventTime(0.1 + 2.5 * kByte), 0.1 + 3 * kByte, 1e-9);
  EXPECT_EQ(model.Transmit(0.1 + 6.5 * kByte).size(), 4u);
  const std::vector<Bytes> frames = Frames(model.Transmit(1.05));
  EXPECT_EQ(frames.size(), 9u);
  for (const Bytes& frame : frames) EXPECT_EQ(frame, model.CurrentFrame());
  MeterModel fast(MeterOptions{.rate_hz = 50});
  EXPECT_EQ(Frames(fast.Transmit(0.99)).size(), 50u);
}

TEST(LiveStream, LevelListCyclesAndRandomWalkIsRepeatableStepwiseAndBounded) {
  MeterModel list;
  list.SetLevels({50.0, 60.0, 70.5});
  EXPECT_THAT(Words(list.Transmit(0.45)), ElementsAre(500, 600, 705, 500, 600));
  auto walk = [](MeterOptions options, double start, double step) {
    MeterModel model(options);
    model.SetRandomWalk(start, step);
    std::vector<int> words;
    for (double t = 0.5; t <= 20; t += 0.5) {
      for (int word : Words(model.Transmit(t))) words.push_back(word);
    }
    return words;
  };
  const std::vector<int> a = walk({.seed = 7}, 100, 1.0);
  EXPECT_EQ(a, walk({.seed = 7}, 100, 1.0));
  EXPECT_NE(a, walk({.seed = 8}, 100, 1.0));
  for (size_t i = 1; i < a.size(); ++i) EXPECT_LE(std::abs(a[i] - a[i - 1]), 10);
  const std::vector<int> wide = walk({.rate_hz = 500}, 25, 20);  // reaches 20 and 150 dB only
  EXPECT_EQ(*std::min_element(wide.begin(), wide.end()), 200);
  EXPECT_EQ(*std::max_element(wide.begin(), wide.end()), 1500);
}

TEST(LiveStream, AClockThatJumpedGetsNoBurstOfMissedFrames) {
  MeterModel model;
  model.Transmit(0.05);
  const Bytes resumed = model.Transmit(10.0);
  EXPECT_EQ(Frames(resumed + model.Transmit(10.05)).size(), 1u);
  EXPECT_EQ(Frames(model.Transmit(11.05)).size(), 10u);
}

TEST(Commands, RepliesArePacedAtTheLineRateAndTheStreamPausesAfterThem) {
  MeterModel model;
  model.SetSets({MakeSet(3, kNewYear, 1, {"060.0", "061.0", "062.0"})});
  model.Transmit(2.5 * kByte);  // two bytes of the first frame have left
  model.Receive("A", 2.5 * kByte);
  EXPECT_EQ(model.Transmit(0.01), MakeBytes({0x84, 2, 141, 3}) + kAck);
  const double quiet_end = 12 * kByte + MeterOptions{}.quiet_after_reply;
  EXPECT_EQ(model.Transmit(quiet_end - 0.001), "");
  EXPECT_EQ(Frames(model.Transmit(quiet_end + 0.1)).size(), 1u);
  const double t = 1.05;
  model.Transmit(t);
  model.Receive(MakeBytes({'O', 3, 0}), t);
  // 363 + 38 * 3 = 477 bytes.
  EXPECT_EQ(model.Transmit(t + 476.5 * kByte).size(), 476u);
  EXPECT_EQ(model.Transmit(t + 477 * kByte + 1e-6).size(), 1u);
  EXPECT_EQ(model.Transmit(t + 477 * kByte + 0.3), "");
  EXPECT_EQ(Frames(model.Transmit(t + 477 * kByte + 0.5)).size(), 1u);
}

TEST(Commands, StreamStopsFromTheFirstByteAndShowsTheNewStateAfter) {
  MeterModel model(MeterOptions{.quiet_after_reply = 0.05, .command_timeout = 1.0});
  model.SetLevel(100);
  model.Transmit(0.05);
  model.Receive(MakeBytes({'K', 0}), 0.05);
  EXPECT_EQ(model.Transmit(0.6), "");
  model.Receive(MakeBytes({0, 10, 'G'}), 0.6);
  EXPECT_EQ(model.Transmit(0.649), "");  // no reply: quiet after the command
  const std::vector<Bytes> frames = Frames(model.Transmit(0.75));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].substr(1, 2), MakeBytes({1, 0x24}));  // range 1; C, RUN
}

TEST(Commands, HalfACommandIsDroppedAfterTheTimeout) {
  MeterModel model;
  model.Transmit(0.05);
  model.Receive(MakeBytes({'K', 0}), 0.05);
  model.Receive(MakeBytes({0, 9}), 0.6);  // dropped at 0.55; these start nothing
  EXPECT_EQ(model.range_code(), 0);
  EXPECT_TRUE(model.received_commands().empty());
  EXPECT_EQ(Frames(model.Transmit(0.75)).size(), 2u);
  model.Receive(MakeBytes({'K', 0}), 1.0);
  model.Receive(MakeBytes({0, 10}), 1.49);
  EXPECT_EQ(model.range_code(), 1);
}

TEST(Commands, StrayBytesAreIgnoredAndCommandsRecordedAsWritten) {
  MeterModel model;
  model.Receive(MakeBytes({0, 255, 'x', 'Z', 'A', 'G'}), 0.05);
  EXPECT_EQ(model.frequency_code(), 1);
  EXPECT_EQ(model.Transmit(0.06), MakeBytes({2, 0, 0x84, 2, 141, 3}) + kAck);
  model.Receive(MakeBytes({'K', 0, 0, 2, 'C', 0}), 0.5);
  model.Receive(MakeBytes({7, 'P', 1, 0}), 0.5);
  EXPECT_THAT(model.received_commands(),
              ElementsAre("A", "G", Key(2), MakeBytes({'C', 0, 7}), MakeBytes({'P', 1, 0})));
  EXPECT_EQ(model.received_bytes(),
            MakeBytes({0, 255, 'x', 'Z', 'A', 'G', 'K', 0, 0, 2, 'C', 0, 7, 'P', 1, 0}));
}

// Frequency, time and range codes, the run flags set (R, P, S), readout, hold, clock shown.
std::string State(const MeterModel& m) {
  const std::string flags =
      std::string(m.run() ? "R" : "") + (m.pause() ? "P" : "") + (m.stop() ? "S" : "");
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d%d%d%s%d%d%d", m.frequency_code(), m.time_code(),
                m.range_code(), flags.c_str(), static_cast<int>(m.readout()),
                static_cast<int>(m.hold_mode()), m.showing_clock());
  return buf;
}

TEST(Keys, KeysAndLetterCommandsStepTheState) {
  using Step = std::pair<Bytes, std::string>;
  const Step steps[] = {
      Step{Key(1), "100R000"},  Step{"G", "000R000"},     Step{Key(2), "010R000"},
      Step{"D", "020R000"},     Step{Key(2), "000R000"},  Step{Key(10), "001R000"},
      Step{"F", "002R000"},     Step{Key(10), "003R000"}, Step{"F", "004R000"},
      Step{Key(10), "005R000"}, Step{"F", "005R000"},     Step{Key(9), "004R000"},
      Step{"E", "003R000"},     Step{Key(9), "002R000"},  Step{"E", "001R000"},
      Step{Key(9), "000R000"},  Step{"E", "000R000"},     Step{Key(5), "000P000"},
      Step{Key(5), "000S000"},  Step{Key(5), "000R000"},  Step{Key(3), "000R100"},
      Step{Key(4), "000R110"},  Step{Key(3), "000R210"},  Step{Key(4), "000R220"},
      Step{Key(3), "000R020"},  Step{Key(4), "000R000"},  Step{Key(7), "000R001"},
      Step{Key(7), "000R000"}};
  MeterModel model;
  for (size_t i = 0; i < std::size(steps); ++i) {
    model.Receive(steps[i].first, 0.05);
    EXPECT_EQ(State(model), steps[i].second) << "step " << i;
  }
  for (int from : {2, 3}) {  // Z and A with the filter
    model.SetFrequencyCode(from);
    model.Receive("G", 0.05);
    EXPECT_EQ(model.frequency_code(), 0) << "from " << from;
  }
  model.SetTimeCode(3);
  model.SetRun(false);
  model.Receive("D" + Key(5), 0.05);
  EXPECT_EQ(State(model), "000R000");
}

TEST(Keys, IntegrationTimeCyclesAndDisplayOrUnknownKeysLeaveTheFrame) {
  MeterModel model;
  const Bytes frame = model.CurrentFrame();
  std::vector<int> seen{model.integration_seconds()};
  for (int i = 0; i < 20 && (seen.size() == 1 || seen.back() != seen[0]); ++i) {
    model.Receive(Key(8), 0.05);
    seen.push_back(model.integration_seconds());
  }
  EXPECT_GT(seen.size(), 3u);
  EXPECT_EQ(seen.back(), seen[0]) << "key 8 never comes back to the first integration time";
  model.Receive(Key(3) + Key(4) + Key(7) + Key(0) + Key(11) + Key(255), 0.05);
  EXPECT_EQ(model.CurrentFrame(), frame);
  EXPECT_EQ(model.received_commands().size(), seen.size() - 1 + 6);
}

TEST(MeterClock, SetClockAndSamplingTimeAreReadBackAndNonsenseIsIgnored) {
  MeterModel model = QuietMeter();
  // "B" is 0x42; then 42 s, 15 min, 10 h, the 23rd, March, (20)16.
  model.Receive(MakeBytes({0x42, 0x42, 0x15, 0x10, 0x23, 0x03, 0x16, 'I'}), 2.0);
  EXPECT_EQ(model.Transmit(2.1), MakeBytes({0x42, 0x15, 0x10, 0x23, 0x03, 0x16}));
  model.Receive("I", 3622.5);  // an hour and 20.5 s later
  EXPECT_EQ(model.Transmit(3622.6), MakeBytes({0x02, 0x16, 0x11, 0x23, 0x03, 0x16}));
  model.Receive(MakeBytes({'B', 0, 0, 0, 0x31, 0x02, 0x24}), 3623);     // 31 February
  model.Receive(MakeBytes({'B', 0, 0, 0x25, 0x01, 0x01, 0x24}), 3623);  // hour 25
  EXPECT_EQ(PcDateTimeText(model.ClockAt(3623)), "2016/03/23 11:16:03");
  // The calendar's own tests show its leap years.
  EXPECT_EQ(PcDateTimeText(MeterModel().ClockAt(59.99)), "2024/01/01 00:00:59");
  model.SetClock({2099, 12, 31, 23, 59, 30}, 0);
  EXPECT_EQ(PcDateTimeText(model.ClockAt(45)), "2100/01/01 00:00:15");
  // The sampling time, read and set with its high byte first; outside 1..255 it is kept.
  model.Receive("J", 3700);
  EXPECT_EQ(model.Transmit(3700.1), MakeBytes({0, 1}));
  model.Receive(MakeBytes({'C', 0, 200, 'J'}), 3701);
  EXPECT_EQ(model.Transmit(3701.1), MakeBytes({0, 200}));
  model.Receive(MakeBytes({'C', 1, 0, 'C', 0, 0}), 3702);
  EXPECT_EQ(model.sampling_time(), 200);
}

TEST(Directory, RemainingMemoryShrinksWithTheSetsButNotBelowZero) {
  auto remaining = [](uint32_t memory, size_t records) {
    const Bytes reply =
        DirectoryOf({MakeSet(1, kNewYear, 1, std::vector<std::string>(records, "050.0"))}, memory);
    EXPECT_EQ(Le(reply, 2, 4), memory);
    return Le(reply, 6, 4);
  };
  EXPECT_LT(remaining(8000, 10000), remaining(8000, 10));
  EXPECT_EQ(remaining(1, 10000), 0u);
  const uint32_t empty_set = remaining(70000, 0);  // takes its header's room
  EXPECT_LT(empty_set, 70000u);
  EXPECT_GT(empty_set, 69000u);
}

TEST(SetReply, HeaderFieldsAndRecordsAreAtTheirPositionsWithPercentilesOfTheTime) {
  MeterModel model = QuietMeter();
  StoredSet set =
      MakeSet(0x0107, {2024, 12, 31, 23, 59, 57}, 2, {"060.0", "070.0", "p:099.0", "065.0"});
  set.frequency_weighting = "C";
  set.time_weighting = "SLOW";
  set.range = "50-110";
  const Bytes reply = Download(model, set);
  ASSERT_EQ(reply.size(), 363u + 38 * 4);
  // The pause record does not count; Leq is the energy mean of 60, 70 and 65
  // dB, SEL over 3 records of 2 s.
  ExpectTexts(reply,
              {At{20, "2"}, At{40, "C"}, At{57, "SLOW"}, At{77, "50-110"},
               At{116, "2024/12/31 23:59:57"}, At{145, "070.0 "}, At{155, "2024/12/31 23:59:59"},
               At{201, "066.7 "}, At{217, "074.5 "}, At{233, "070.0 "}, At{249, "070.0 "},
               At{265, "065.0 "}, At{281, "060.0 "}, At{297, "060.0 "}});
  for (char c : reply.substr(0, 363)) {
    EXPECT_TRUE((c >= 32 && c < 127) || c == '\r' || c == '\n') << "byte " << int(c);
  }
  EXPECT_EQ(reply.substr(363),
            "        2024/12/31 23:59:57 060.0 dB\r\n"
            "        2024/12/31 23:59:59 070.0 dB\r\n"
            "[pause] 2025/01/01 00:00:01 099.0 dB\r\n"
            "        2025/01/01 00:00:03 065.0 dB\r\n");
  model.Receive(MakeBytes({'O', 7, 7}), 2.0);
  EXPECT_EQ(model.Transmit(3.0), "") << "no reply for an unknown set";

  // The percentiles are the levels exceeded that share of the time.
  std::vector<std::string> levels;
  for (int i = 20; i >= 1; --i) levels.push_back(std::to_string(40 + i) + ".0");
  ExpectTexts(Download(model, MakeSet(1, kNewYear, 12, levels), 4.0),
              {At{20, "9"},  // the interval as one digit
               At{145, "060.0 "}, At{155, "2024/01/01 00:00:00"}, At{233, "060.0 "},
               At{249, "059.0 "}, At{265, "051.0 "}, At{281, "043.0 "}, At{297, "042.0 "}});
}

std::vector<int> Numbers(const MeterModel& model) {
  std::vector<int> numbers;
  for (const StoredSet& set : model.sets()) numbers.push_back(set.number);
  return numbers;
}

TEST(Erase, OneSetByNumberOrAllSets) {
  MeterModel model = QuietMeter();
  model.SetSets(
      {MakeSet(1, kNewYear, 1, {}), MakeSet(258, kNewYear, 1, {}), MakeSet(3, kNewYear, 1, {})});
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
  model.SetSets({MakeSet(4, kNewYear, 1, {"050.0"})});
  model.SetClock({2024, 5, 1, 10, 0, 0}, 0);
  model.SetSamplingTime(2);
  model.SetLevel(70);
  model.Receive(Key(6), 1.0);
  EXPECT_TRUE(model.logging());
  for (double t = 1.0; t < 7.5; t += 0.1) {
    if (t > 4.5) model.SetLevel(72.3);
    model.Transmit(t);
  }
  model.Receive(Key(6), 7.5);
  EXPECT_FALSE(model.logging());
  model.Transmit(20);
  ASSERT_THAT(Numbers(model), ElementsAre(4, 5));
  // Records at 1, 3, 5 and 7 s.
  EXPECT_EQ(Describe(model.sets()[1]),
            "5 2024/05/01 10:00:01 2 AFAST80-140 070.0 070.0 072.3 072.3");
}

TEST(Logging, PauseMarksRecordsAndStopOrErasingEndsIt) {
  MeterModel model;
  model.Receive(Key(6), 0.0);
  model.Transmit(1.5);
  model.Receive(Key(5), 1.5);  // PAUSE
  model.Transmit(3.5);
  model.Receive(Key(5), 3.5);  // STOP
  model.Transmit(10);
  EXPECT_FALSE(model.logging());
  model.Receive(Key(6), 10);  // not running: no new set
  ASSERT_EQ(model.sets().size(), 1u);
  EXPECT_EQ(Describe(model.sets()[0]),
            "1 2024/01/01 00:00:00 1 AFAST80-140 065.3 065.3 p:065.3 p:065.3");
  // The record key ends a paused set too, and so does erasing it.
  for (const Bytes& end : {Key(5) + Key(6), Bytes("H"), MakeBytes({'P', 1, 0})}) {
    MeterModel ended;
    ended.Receive(Key(6), 0.0);
    ended.Receive(end, 0.5);
    ended.Transmit(5);
    EXPECT_FALSE(ended.logging()) << end;
    EXPECT_EQ(ended.sets().empty(), end != Key(5) + Key(6)) << end;
  }
}

// The faults the link and logger tests use (silence, short replies, a missing
// acknowledgement, trailing bytes, ignored commands) are shown there by what
// they do to the program; these are the ones only the emulator's user sees.
TEST(Faults, ASilentMeterActsOnNothingItHearsAndGarbageGoesBetweenFrames) {
  MeterModel model;
  model.faults().silent = true;
  model.Receive("A" + Key(10), 0.1);
  EXPECT_EQ(model.Transmit(3.05), "");
  EXPECT_EQ(model.range_code(), 0);
  EXPECT_EQ(model.received_bytes(), "A" + Key(10));
  MeterModel garbage;
  garbage.faults().garbage_between = 5;
  const Bytes out = garbage.Transmit(0.95);
  ASSERT_EQ(out.size(), 10u * 11);
  for (size_t i = 0; i < out.size(); i += 11) EXPECT_EQ(out.substr(i, 6), garbage.CurrentFrame());
  EXPECT_NE(out.substr(6, 5), out.substr(17, 5));
}

TEST(Faults, RepliesNoisySlowInBurstsLateOrCutByAVanishingPort) {
  const StoredSet set = MakeSet(3, kNewYear, 1, {"060.0", "061.0"});  // 439 bytes
  MeterModel plain = QuietMeter();
  const Bytes whole = Download(plain, set);
  auto reply_of = [&](const std::function<void(Faults&)>& fault, double until) {
    MeterModel model = QuietMeter();
    fault(model.faults());
    model.SetSets({set});
    model.Receive(MakeBytes({'O', 3, 0}), 0.05);
    return model.Transmit(until);
  };
  const Bytes noise = reply_of([](Faults& f) { f.garbage_replies = true; }, 2);
  EXPECT_EQ(noise.size(), whole.size());
  EXPECT_NE(noise, whole);
  EXPECT_EQ(reply_of([](Faults& f) { f.reply_cut = 20; }, 2), whole.substr(0, 20));

  // Paced: the last byte leaves at the slow rate, after the start and the pauses.
  const double rate = 1000, start = 0.4, pause = 0.25;
  auto paced = [&](double until) {
    return reply_of(
        [&](Faults& f) {
          f.line_rate = rate;
          f.slow_start = start;
          f.burst_bytes = 100;
          f.burst_pause = pause;
        },
        until);
  };
  const double last = 0.05 + start + 4 * pause + whole.size() / rate;
  EXPECT_EQ(paced(0.05 + start - 0.001), "");
  EXPECT_EQ(paced(0.05 + start + 100 / rate + pause / 2), whole.substr(0, 100));
  EXPECT_EQ(paced(last - 0.0005).size(), whole.size() - 1);
  EXPECT_EQ(paced(last + 0.0005), whole);

  MeterModel vanishing = QuietMeter();
  vanishing.faults().vanish_after = 100;
  vanishing.SetSets({set});
  vanishing.Receive(MakeBytes({'O', 3, 0}), 0.05);
  EXPECT_FALSE(vanishing.Vanished(0.05 + 99 * kByte));
  EXPECT_EQ(vanishing.Transmit(5), whole.substr(0, 100));
  EXPECT_TRUE(vanishing.Vanished(0.05 + 100 * kByte + 1e-6));
  vanishing.Receive("N", 5);
  EXPECT_EQ(vanishing.Transmit(6), "");
}

// It carries the command out, then hears and sends nothing until it thaws.
TEST(Faults, AMeterFrozenAfterACommandIsDeafAndMuteForAWhile) {
  MeterModel model;
  model.SetSets({MakeSet(1, kNewYear, 1, {}), MakeSet(2, kNewYear, 1, {})});
  model.faults().freeze_after = "P";
  model.faults().freeze_seconds = 2;
  model.Transmit(0.05);
  model.Receive(MakeBytes({'P', 1, 0}), 0.05);
  model.Receive("N", 1.0);
  EXPECT_EQ(model.sets().size(), 1u);
  EXPECT_TRUE(model.Frozen(2.04));
  EXPECT_EQ(model.Transmit(2.04), "");
  EXPECT_FALSE(model.Frozen(2.05));
  EXPECT_EQ(Frames(model.Transmit(2.2)).size(), 1u);
  EXPECT_THAT(model.received_commands(), ElementsAre(MakeBytes({'P', 1, 0})));
}

TEST(ParseSets, ReadsSetsSkippingCommentsAndBlankLines) {
  const auto sets = MeterModel::ParseSets(
      "# two sets\n\n"
      "1;2024/05/01 10:00:00;2;A;FAST;30-90;65.3 66.1 p:66 70.24\r\n"
      "  300 ; 2016/03/23 10:15:42 ; 1 ; Z ; IMP ; 80-140 ;  \n"
      "   # indented comment\n");
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(Describe(sets[0]), "1 2024/05/01 10:00:00 2 AFAST30-90  065.3 066.1 p:066.0 070.2");
  EXPECT_EQ(Describe(sets[1]), "300 2016/03/23 10:15:42 1 ZIMP 80-140");
}

TEST(ParseSets, BadLinesAreReportedWithTheirNumber) {
  // Each case changes the first `from` of a good line into `to`.
  const struct {
    const char *from, *to, *says;
  } cases[] = {
      {";65", "", "7 fields"},        {"2;", "x;", "set number"},
      {"2;", "70000;", "set number"}, {"2;", "1;", "twice"},
      {"05/01", "02/30", "start"},    {"/05/", "-05-", "start"},
      {";1;", ";0;", "interval"},     {";1;", ";256;", "interval"},
      {";A;", ";B;", "frequency"},    {"FAST", "MEDIUM", "time weighting"},
      {"30-90", "30-100", "range"},   {";65", ";65 loud", "level 'loud'"},
      {";65", ";-1", "level '-1'"},
  };
  for (const auto& c : cases) {
    std::string line = "2;2024/05/01 10:00:00;1;A;FAST;30-90;65";
    line.replace(line.find(c.from), std::string(c.from).size(), c.to);
    try {
      MeterModel::ParseSets("# sets\n1;2024/05/01 10:00:00;1;A;FAST;30-90;65.3\n" + line);
      ADD_FAILURE() << "accepted: " << line;
    } catch (const std::runtime_error& e) {
      EXPECT_THAT(e.what(), StartsWith("line 3: ")) << line;
      EXPECT_THAT(e.what(), HasSubstr(c.says)) << line;
    }
  }
}

}  // namespace
}  // namespace slm::sim
