#include "base/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <utility>

namespace slm {
namespace {

// Cut toward zero, no leading zero below one, "--" for no number.
TEST(OneDecimalText, Table) {
  const std::pair<double, const char*> cases[] = {
      {65.27, "65.2"},  {65.29, "65.2"},      {75.27, "75.2"},
      {100.0, "100.0"}, {-1.25, "-1.2"},      {0.5, ".5"},
      {0.04, ".0"},     {0.0, ".0"},          {-0.5, "-.5"},
      {1e300, "--"},    {std::nan(""), "--"}, {-std::numeric_limits<double>::infinity(), "--"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(OneDecimalText(value), text) << value;
}

TEST(NumberTexts, AreTheShortestThatReadBackTheSameValue) {
  EXPECT_EQ(PlainNumberText(65.3), "65.3");
  EXPECT_EQ(PlainNumberText(653 / 10.0), "65.3");
  EXPECT_EQ(PlainNumberText(80.0), "80");
  EXPECT_EQ(PlainNumberText(86400), "86400");
  EXPECT_EQ(PlainNumberText(1e-7), "0.0000001");
  for (double v : {65.3, 80.0, 0.1, 1e-7, -2.5, 86400.0, 123456.789}) {
    EXPECT_EQ(ParseNumber(NumberText(v)), v) << v;
  }
  EXPECT_EQ(NumberText(65.3), "65.3");
  EXPECT_EQ(NumberText(2.0), "2");
}

TEST(ParseNumber, TakesWholeDecimalNumbersOnly) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"65.3", 65.3},         {"-2", -2.0},
      {"+1e3", 1000.0},       {".5", 0.5},
      {"80", 80.0},           {"65,3", std::nullopt},
      {" 7", std::nullopt},   {"7 ", std::nullopt},
      {"", std::nullopt},     {"inf", std::nullopt},
      {"nan", std::nullopt},  {"1e999", std::nullopt},
      {"0x10", std::nullopt}, {"+-1", std::nullopt},
      {"abc", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;
  }
}

TEST(ParseInteger, TakesWholeIntegersThatFit) {
  EXPECT_EQ(ParseInteger("12"), 12);
  EXPECT_EQ(ParseInteger("+3"), 3);
  EXPECT_EQ(ParseInteger("-3"), -3);
  for (const char* bad : {"", "5x", "abc", "1.5", "99999999999999999999", "+", " 1"}) {
    EXPECT_EQ(ParseInteger(bad), std::nullopt) << bad;
  }
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartAfterBlanks) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"65.3*", 65.3}, {" 91.0", 91.0},  {"\t 80", 80.0}, {"65,3", 65.0},
      {"--", 0.0},     {"", 0.0},        {"abc", 0.0},    {"inf", 0.0},
      {"nan", 0.0},    {"-1.5dB", -1.5}, {"1e999", 0.0},  {".5", 0.5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LeadingNumber(c.text), c.value) << c.text;
  }
}

TEST(DurationText, TwoDigitsEachAndHoursBeyondADay) {
  EXPECT_EQ(DurationText(0), "00:00:00");
  EXPECT_EQ(DurationText(59), "00:00:59");
  EXPECT_EQ(DurationText(3725), "01:02:05");
  EXPECT_EQ(DurationText(36L * 3600 + 600), "36:10:00");
  EXPECT_EQ(DurationText(360000), "100:00:00");
  EXPECT_EQ(DurationText(-5), "00:00:00");
}

}  // namespace
}  // namespace slm
