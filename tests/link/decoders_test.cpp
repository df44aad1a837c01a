#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "link/meter.h"
#include "live/reading.h"

namespace slm {
namespace {

Reading Decoded(int status, int mode, int high, int low) {
  Reading r;
  DecodeFrame(r, status, mode, high, low);
  return r;
}

TEST(RangeByte, CodesOverAndIgnoredBits) {
  // Applied in turn to one reading: codes 6 and 7 keep the range before them
  // but still set OVER from bit 7; bits 3 to 6 carry nothing.
  const struct {
    int byte;
    bool over;
    int top, bottom;
  } steps[] = {{0x00, false, 140, 80}, {0x01, false, 130, 70}, {0x02, false, 120, 60},
               {0x03, false, 110, 50}, {0x04, false, 100, 40}, {0x05, false, 90, 30},
               {0x86, true, 90, 30},   {0x07, false, 90, 30},  {0x80, true, 140, 80},
               {0x7B, false, 110, 50}};
  Reading r;
  for (const auto& s : steps) {
    DecodeRangeByte(r, s.byte);
    EXPECT_EQ(r.over, s.over) << s.byte;
    EXPECT_EQ(r.range_top, s.top) << s.byte;
    EXPECT_EQ(r.range_bottom, s.bottom) << s.byte;
  }
}

TEST(ModeByte, WeightingsAndFlags) {
  // Time and frequency weighting, then R(un), P(ause), S(top) and U(nder) where set.
  const std::pair<int, const char*> cases[] = {
      {0x00, "FAST A"},  {0x05, "SLOW A R"}, {0x0A, "IMP A P"},
      {0x13, " A S"},    {0x20, "FAST C"},   {0x40, "FAST Z"},
      {0x60, "FAST AA"}, {0x80, "FAST A U"}, {0xFF, " AA RPSU"},
  };
  for (const auto& [mode, expected] : cases) {
    Reading r;
    DecodeModeByte(r, mode);
    const std::string flags = std::string(r.run ? "R" : "") + (r.pause ? "P" : "") +
                              (r.stop ? "S" : "") + (r.under ? "U" : "");
    EXPECT_EQ(r.time_weighting + " " + r.frequency_weighting + (flags.empty() ? "" : " " + flags),
              expected)
        << mode;
  }
}

TEST(LevelWord, PlainMarkedAndSmallValues) {
  const struct {
    int high, low;
    double level;
    const char* text;
  } cases[] = {
      {2, 141, 65.3, "65.3"},
      {130, 141, 65.3, "65.3*"},
      {0, 5, 0.5, ".5"},
      {0, 0, 0.0, ".0"},
      {0x80, 0, 0.0, ".0*"},           // marker on a zero level
      {5, 220, 150.0, "150.0"},        // 1500 tenths
      {0x7F, 0xFF, 3276.7, "3276.7"},  // the largest level word
  };
  for (const auto& c : cases) {
    const Reading r = Decoded(0, 0, c.high, c.low);
    EXPECT_DOUBLE_EQ(r.level, c.level) << c.text;
    EXPECT_EQ(r.level_text, c.text);
  }
}

TEST(MeterDateTime, EveryFieldAtItsEdgesFromItsOwnBits) {
  // Packed by hand: years since 1980 in bits 25-31, month 21-24, day 16-20,
  // hour 11-15, minute 5-10, halved seconds 0-4.
  const std::pair<uint32_t, const char*> cases[] = {
      {(20u << 25) | (1u << 21) | (1u << 16), "2000/01/01  00:00:00"},
      {(36u << 25) | (3u << 21) | (23u << 16) | (10u << 11) | (15u << 5) | 21u,
       "2016/03/23  10:15:42"},
      {(44u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u,
       "2024/12/31  23:59:58"},
      {(119u << 25) | (6u << 21) | (15u << 16) | (12u << 11) | (30u << 5) | 15u,
       "2099/06/15  12:30:30"},
      {(26u << 25) | (2u << 21) | (28u << 16) | (1u << 11) | (1u << 5) | 1u,
       "2006/02/28  01:01:02"},
  };
  for (const auto& [packed, text] : cases) EXPECT_EQ(DecodeMeterDateTime(packed), text);
  // Encoded, an odd second comes back one lower.
  EXPECT_EQ(EncodeMeterDateTime(2024, 12, 31, 23, 59, 59), cases[2].first);
  EXPECT_EQ(EncodeMeterDateTime(2016, 3, 23, 10, 15, 42), cases[1].first);
}

TEST(BytesToText, CutsByPositionAndClipsAtTheEnd) {
  const Bytes reply = "0123456789";
  EXPECT_EQ(BytesToText(reply, 1, 3), "012");
  EXPECT_EQ(BytesToText(reply, 9, 5), "89");
  EXPECT_EQ(BytesToText(reply, 11, 2), "");
  EXPECT_EQ(BytesToText("", 1, 5), "");
  EXPECT_EQ(BytesToText(MakeBytes({0, 255, 'A'}), 2, 2), MakeBytes({255, 'A'}));
}

TEST(Clock, BcdBothWays) {
  for (int v = 0; v < 100; ++v) EXPECT_EQ(FromBcd(ToBcd(v)), v);
  EXPECT_EQ(ToBcd(23), 0x23);
  EXPECT_EQ(ToBcd(2016), 0x16);

  const DateTime t{2016, 3, 23, 10, 15, 42};
  EXPECT_EQ(SetClockCommand(t), MakeBytes({'B', 0x42, 0x15, 0x10, 0x23, 0x03, 0x16}));
  EXPECT_EQ(SetClockCommand({2009, 1, 2, 3, 4, 5}),
            MakeBytes({'B', 0x05, 0x04, 0x03, 0x02, 0x01, 0x09}));

  EXPECT_EQ(ClockReplyText(MakeBytes({0x42, 0x15, 0x10, 0x23, 0x03, 0x16})), "2016/03/23 10:15:42");
  // Bytes that are not BCD show as the meter sent them.
  EXPECT_EQ(ClockReplyText(MakeBytes({0x0A, 0, 0, 1, 1, 0xFF})), "20FF/01/01 00:00:0A");
  EXPECT_EQ(ClockReplyText(MakeBytes({1, 2, 3})), "");
}

TEST(Frames, TailRecognition) {
  const Bytes frame = MakeBytes({2, 0, 0, 2, 141, 3});
  const Bytes ack = MakeBytes({2, 255, 255, 255, 255, 3});
  EXPECT_TRUE(TailIsFrame(frame));
  EXPECT_TRUE(TailIsFrame(MakeBytes({9, 9, 9}) + frame));
  EXPECT_FALSE(TailIsFrame(frame + MakeBytes({2})));
  EXPECT_FALSE(TailIsFrame(MakeBytes({2, 0, 3})));
  EXPECT_FALSE(TailIsAcknowledgement(frame));
  EXPECT_TRUE(TailIsAcknowledgement(frame + frame + ack));
  EXPECT_FALSE(TailIsAcknowledgement(MakeBytes({2, 255, 255, 254, 255, 3})));
  EXPECT_EQ(KeyCommand(9), MakeBytes({0x4B, 0, 0, 9}));
}

}  // namespace
}  // namespace slm
