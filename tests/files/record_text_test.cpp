#include "files/record_text.h"

#include <gtest/gtest.h>

#include "files/data_file_writer.h"

namespace slm {
namespace {

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
