#include <gtest/gtest.h>

#include <string>

#include "files/record.h"

namespace slm {
namespace {

TEST(RecordList, KeepsEachFieldApartAndInOrder) {
  RecordList list;
  list.Append("1", "2016/03/23 14:05:09", "65.3");
  list.Append("", "", "");  // empty fields must not swallow their neighbours
  list.Append(Record{"3", "2016/03/23 14:05:11", "80.0*"});
  list.Append(RecordView{"348000", "x", "--"});

  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list.record(0), (RecordView{"1", "2016/03/23 14:05:09", "65.3"}));
  EXPECT_EQ(list.record(1), (RecordView{"", "", ""}));
  EXPECT_EQ(list.record(2).ToRecord(), (Record{"3", "2016/03/23 14:05:11", "80.0*"}));
  EXPECT_EQ(list.number(3), "348000");
  EXPECT_EQ(list.date_time(3), "x");
  EXPECT_EQ(list.level(3), "--");
}

TEST(RecordList, ClearDropsRecordsButKeepsTheHeader) {
  RecordList list;
  list.header().leq = "72.3";
  list.Append("1", "2016/03/23 14:05:09", "65.3");
  list.Clear();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.header().leq, "72.3");
  list.Append("1", "d", "70.0");
  EXPECT_EQ(list.record(0), (RecordView{"1", "d", "70.0"}));
}

// Earlier records survive the storage growing.
TEST(RecordList, AFullListKeepsEveryRecordWithinTheMemoryBudget) {
  RecordList list;
  for (std::size_t i = 1; i <= kMaxRecords; ++i) {
    EXPECT_FALSE(list.full());
    list.Append(std::to_string(i), "2016/03/23 14:05:09", std::to_string(i % 997) + ".5");
  }
  EXPECT_TRUE(list.full());
  EXPECT_LT(list.MemoryBytes(), 80u * 1000 * 1000);
  EXPECT_EQ(list.record(0), (RecordView{"1", "2016/03/23 14:05:09", "1.5"}));
  EXPECT_EQ(list.number(12344), "12345");
  EXPECT_EQ(list.level(12344), std::to_string(12345 % 997) + ".5");
  EXPECT_EQ(list.number(kMaxRecords - 1), "348000");
}

}  // namespace
}  // namespace slm
