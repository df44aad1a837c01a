#include <gtest/gtest.h>

#include <cmath>

#include "link/meter.h"
#include "panel/reading.h"

namespace slm {
namespace {

Reading Decoded(int status, int mode, int high, int low) {
  Reading r;
  DecodeFrame(r, status, mode, high, low);
  return r;
}

TEST(RangeByte, CodesOverAndIgnoredBits) {
  Reading r;
  DecodeRangeByte(r, 0x80);
  EXPECT_TRUE(r.over);
  EXPECT_EQ(r.range_top, 140);
  EXPECT_EQ(r.range_bottom, 80);

  DecodeRangeByte(r, 0x05);
  EXPECT_FALSE(r.over);
  EXPECT_EQ(r.range_top, 90);
  EXPECT_EQ(r.range_bottom, 30);

  // Codes 6 and 7 keep the range but still set OVER from bit 7.
  DecodeRangeByte(r, 0x86);
  EXPECT_TRUE(r.over);
  EXPECT_EQ(r.range_top, 90);
  DecodeRangeByte(r, 0x07);
  EXPECT_FALSE(r.over);
  EXPECT_EQ(r.range_bottom, 30);

  // Bits 3 to 6 carry nothing.
  DecodeRangeByte(r, 0x7B);
  EXPECT_FALSE(r.over);
  EXPECT_EQ(r.range_top, 110);
  EXPECT_EQ(r.range_bottom, 50);
}

TEST(RangeByte, EveryCodeSpansSixtyDecibels) {
  const int tops[] = {140, 130, 120, 110, 100, 90};
  for (int code = 0; code < 6; ++code) {
    Reading r;
    DecodeRangeByte(r, code);
    EXPECT_EQ(r.range_top, tops[code]) << code;
    EXPECT_EQ(r.range_bottom, tops[code] - 60) << code;
  }
}

TEST(ModeByte, WeightingsAndFlags) {
  struct Case {
    int mode;
    const char* time;
    const char* frequency;
    bool run, pause, stop, under;
  };
  const Case cases[] = {
      {0x00, "FAST", "A", false, false, false, false},
      {0x05, "SLOW", "A", true, false, false, false},
      {0x0A, "IMP", "A", false, true, false, false},
      {0x13, "", "A", false, false, true, false},
      {0x20, "FAST", "C", false, false, false, false},
      {0x40, "FAST", "Z", false, false, false, false},
      {0x60, "FAST", "AA", false, false, false, false},
      {0x80, "FAST", "A", false, false, false, true},
      {0xFF, "", "AA", true, true, true, true},
  };
  for (const Case& c : cases) {
    Reading r;
    DecodeModeByte(r, c.mode);
    EXPECT_EQ(r.time_weighting, c.time) << c.mode;
    EXPECT_EQ(r.frequency_weighting, c.frequency) << c.mode;
    EXPECT_EQ(r.run, c.run) << c.mode;
    EXPECT_EQ(r.pause, c.pause) << c.mode;
    EXPECT_EQ(r.stop, c.stop) << c.mode;
    EXPECT_EQ(r.under, c.under) << c.mode;
  }
}

TEST(LevelWord, PlainMarkedAndSmallValues) {
  Reading r = Decoded(0, 0, 2, 141);
  EXPECT_DOUBLE_EQ(r.level, 65.3);
  EXPECT_EQ(r.level_text, "65.3");

  r = Decoded(0, 0, 130, 141);
  EXPECT_DOUBLE_EQ(r.level, 65.3);
  EXPECT_EQ(r.level_text, "65.3*");

  r = Decoded(0, 0, 0, 5);
  EXPECT_DOUBLE_EQ(r.level, 0.5);
  EXPECT_EQ(r.level_text, ".5");

  r = Decoded(0, 0, 0, 0);
  EXPECT_EQ(r.level_text, ".0");

  r = Decoded(0, 0, 0x80, 0);  // marker on a zero level
  EXPECT_DOUBLE_EQ(r.level, 0.0);
  EXPECT_EQ(r.level_text, ".0*");

  r = Decoded(0, 0, 5, 220);  // 1500 tenths
  EXPECT_DOUBLE_EQ(r.level, 150.0);
  EXPECT_EQ(r.level_text, "150.0");

  r = Decoded(0, 0, 0x7F, 0xFF);  // the largest level word
  EXPECT_EQ(r.level_text, "3276.7");
}

TEST(Reading, StartsEmptyAndFrameOverwritesInPlace) {
  Reading r;
  EXPECT_EQ(r.level_text, "");
  EXPECT_EQ(r.range_top, 0);
  EXPECT_FALSE(r.run);
  DecodeFrame(r, 0x01, 0x05, 2, 141);
  DecodeFrame(r, 0x06, 0x13, 0, 5);
  EXPECT_EQ(r.range_top, 130);  // code 6 kept the earlier range
  EXPECT_FALSE(r.run);
  EXPECT_TRUE(r.stop);
  EXPECT_EQ(r.time_weighting, "");
  EXPECT_EQ(r.level_text, ".5");
}

TEST(MeterDateTime, PackedFatValue) {
  EXPECT_EQ(DecodeMeterDateTime(EncodeMeterDateTime(2016, 3, 23, 10, 15, 42)),
            "2016/03/23  10:15:42");
  // Seconds are kept halved: an odd second comes back one lower.
  EXPECT_EQ(DecodeMeterDateTime(EncodeMeterDateTime(2024, 12, 31, 23, 59, 59)),
            "2024/12/31  23:59:58");
  // The packed layout itself: 2016-03-23 10:15:42.
  const uint32_t packed = (36u << 25) | (3u << 21) | (23u << 16) | (10u << 11) | (15u << 5) | 21u;
  EXPECT_EQ(DecodeMeterDateTime(packed), "2016/03/23  10:15:42");
  EXPECT_EQ(DecodeMeterDateTime(EncodeMeterDateTime(2000, 1, 1, 0, 0, 0)), "2000/01/01  00:00:00");
}

TEST(MeterDateTime, EveryFieldAtItsEdgesFromItsOwnBits) {
  // Packed by hand: years since 1980 in bits 25-31, month 21-24, day 16-20,
  // hour 11-15, minute 5-10, halved seconds 0-4.
  struct Case {
    uint32_t packed;
    const char* text;
  };
  const Case cases[] = {
      {(20u << 25) | (1u << 21) | (1u << 16), "2000/01/01  00:00:00"},
      {(44u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u,
       "2024/12/31  23:59:58"},
      {(119u << 25) | (6u << 21) | (15u << 16) | (12u << 11) | (30u << 5) | 15u,
       "2099/06/15  12:30:30"},
      {(26u << 25) | (2u << 21) | (28u << 16) | (1u << 11) | (1u << 5) | 1u,
       "2006/02/28  01:01:02"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeMeterDateTime(c.packed), c.text) << c.text;
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

TEST(Log10, MatchesTheCommonLogarithm) {
  EXPECT_NEAR(Log10(1000.0), 3.0, 1e-12);
  EXPECT_NEAR(Log10(std::pow(10.0, 6.53)), 6.53, 1e-12);
}

}  // namespace
}  // namespace slm
