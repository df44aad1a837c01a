#include "base/calendar.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace slm {
namespace {

TEST(ClockText, ReadsAndWritesTheSecondsOfRealDatesAndTimes) {
  struct Case {
    const char* text;
    std::int64_t seconds;
  };
  const Case cases[] = {
      {"1970/01/01 00:00:00", 0},
      {"1969/12/31 23:59:59", -1},
      {"2000/02/29 12:00:00", 951825600},  // a leap day of a year divisible by 400
      {"2024/05/01 07:30:15", 1714548615},
      {"2100/03/01 00:00:00", 4107542400},  // 2100 has no 29th of February
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseClockText(c.text), c.seconds) << c.text;
    EXPECT_EQ(ClockText(c.seconds), c.text);
  }
  EXPECT_EQ(ParseClockText(" 2024/05/01 07:30:15\t"), 1714548615);
  EXPECT_EQ(DateText(1714548615), "2024/05/01");
}

TEST(ClockText, RefusesOtherFormsAndDatesThatDoNotExist) {
  for (const char* text : {"", "2024/05/01", "2024/5/01 07:30:15", "2024-05-01 07:30:15",
                           "2024/05/01 07:30:1x", "2023/02/29 00:00:00", "2100/02/29 00:00:00",
                           "2024/13/01 00:00:00", "2024/04/31 00:00:00", "2024/05/01 24:00:00",
                           "2024/05/01 00:60:00", "2024/05/01 00:00:60", "2024/05/01 07:30:15x"}) {
    EXPECT_EQ(ParseClockText(text), std::nullopt) << text;
  }
}

TEST(DayOf, CountsWholeDaysDownwardBefore1970) {
  EXPECT_EQ(DayOf(0), 0);
  EXPECT_EQ(DayOf(86399), 0);
  EXPECT_EQ(DayOf(86400), 1);
  EXPECT_EQ(DayOf(-1), -1);
  EXPECT_EQ(DayOf(-86400), -1);
  EXPECT_EQ(DayOf(-86401), -2);
  EXPECT_EQ(MidnightOf(1714548615), 1714521600);
}

}  // namespace
}  // namespace slm
