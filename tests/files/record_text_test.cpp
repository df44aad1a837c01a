#include "files/record_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "files/data_file_writer.h"

namespace slm {
namespace {

TEST(OneDecimalText, CutsTowardZeroInsteadOfRounding) {
  EXPECT_EQ(OneDecimalText(65.27), "65.2");
  EXPECT_EQ(OneDecimalText(65.29), "65.2");
  EXPECT_EQ(OneDecimalText(75.27), "75.2");
  EXPECT_EQ(OneDecimalText(100.0), "100.0");
  EXPECT_EQ(OneDecimalText(-1.25), "-1.2");
}

TEST(OneDecimalText, ValuesBelowOneHaveNoLeadingZero) {
  EXPECT_EQ(OneDecimalText(0.5), ".5");
  EXPECT_EQ(OneDecimalText(0.04), ".0");
  EXPECT_EQ(OneDecimalText(0.0), ".0");
  EXPECT_EQ(OneDecimalText(-0.5), "-.5");
}

TEST(OneDecimalText, NoNumberGivesTheNoValueText) {
  EXPECT_EQ(OneDecimalText(-std::numeric_limits<double>::infinity()), "--");
  EXPECT_EQ(OneDecimalText(std::nan("")), "--");
  EXPECT_EQ(OneDecimalText(1e300), "--");
}

TEST(PlainNumberText, IsShortestPlainDecimal) {
  EXPECT_EQ(PlainNumberText(65.3), "65.3");
  EXPECT_EQ(PlainNumberText(653 / 10.0), "65.3");
  EXPECT_EQ(PlainNumberText(80.0), "80");
  EXPECT_EQ(PlainNumberText(86400), "86400");
  EXPECT_EQ(PlainNumberText(1e-7), "0.0000001");
}

TEST(PcTexts, DateTimeAndAutoSaveNamePadEveryField) {
  const DateTime t{2016, 3, 23, 14, 5, 9};
  EXPECT_EQ(PcDateTimeText(t), "2016/03/23 14:05:09");
  EXPECT_EQ(AutoSaveFileName(t), "0323140509.dlgr");
  EXPECT_EQ(PcDateTimeText(DateTime{987, 12, 1, 0, 0, 0}), "0987/12/01 00:00:00");
  EXPECT_EQ(AutoSaveFileName(DateTime{2016, 12, 31, 23, 59, 58}), "1231235958.dlgr");
}

TEST(SeparatorForFilter, OnlyTheCsvFilterGivesTheComma) {
  EXPECT_EQ(SeparatorForFilter(1), Separator::kTab);
  EXPECT_EQ(SeparatorForFilter(2), Separator::kComma);
  EXPECT_EQ(SeparatorForFilter(3), Separator::kTab);
}

}  // namespace
}  // namespace slm
