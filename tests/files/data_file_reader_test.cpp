#include "files/data_file_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "files_test_support.h"

namespace slm {
namespace {

using test::TempDir;
using test::WriteBytes;

DataFile Read(const std::string& text, const ReadProgressFn& progress = {}) {
  std::istringstream in(text);
  return OpenDataFile(in, "test.dlgr", progress);
}

TEST(KindOfFirstLine, TestsForContainmentAndAsksForTheNewerSetFirst) {
  EXPECT_EQ(KindOfFirstLine("Real Time"), ListKind::kRealTime);
  EXPECT_EQ(KindOfFirstLine("Data Logger 2"), ListKind::kDataLogger2);
  EXPECT_EQ(KindOfFirstLine("Data Logger"), ListKind::kDataLogger);
  EXPECT_EQ(KindOfFirstLine("  Data Logger 2 (copy)"), ListKind::kDataLogger2);
  EXPECT_EQ(KindOfFirstLine("Data Logger 20"), ListKind::kDataLogger2);
  EXPECT_EQ(KindOfFirstLine("Old Data Logger v1"), ListKind::kDataLogger);
  EXPECT_EQ(KindOfFirstLine("Data Logger 3"), ListKind::kDataLogger);
  EXPECT_EQ(KindOfFirstLine("Data Logger2"), ListKind::kDataLogger);
  EXPECT_EQ(KindOfFirstLine("data logger 2"), ListKind::kPlain);
  EXPECT_EQ(KindOfFirstLine("No.s\tDate Time\tdB\t"), ListKind::kPlain);
  EXPECT_EQ(KindOfFirstLine(""), ListKind::kPlain);
}

TEST(SplitRecordLine, TakesTabsOrElseCommas) {
  RecordView f;
  ASSERT_TRUE(SplitRecordLine("12\t2016/03/23 14:05:09\t65.3\t", f));
  EXPECT_EQ(f, (RecordView{"12", "2016/03/23 14:05:09", "65.3"}));
  ASSERT_TRUE(SplitRecordLine("12,2016/03/23 14:05:09,65.3,", f));  // saved grid
  EXPECT_EQ(f, (RecordView{"12", "2016/03/23 14:05:09", "65.3"}));
  ASSERT_TRUE(SplitRecordLine("12,2016/03/23 14:05:09,80.0*", f));  // recording
  EXPECT_EQ(f, (RecordView{"12", "2016/03/23 14:05:09", "80.0*"}));
  ASSERT_TRUE(SplitRecordLine("  7\tdate, with comma\t--\textra\t", f));
  EXPECT_EQ(f, (RecordView{"7", "date, with comma", "--"}));
  ASSERT_TRUE(SplitRecordLine("1\t\t\t", f));  // three fields, all present and empty
  EXPECT_EQ(f, (RecordView{"1", "", ""}));
}

TEST(SplitRecordLine, RefusesLinesWithoutThreeFields) {
  RecordView f;
  for (const char* line : {"", "   ", "65.3", "1\t2016/03/23 14:05:09\t", "1,2016/03/23 14:05:09,",
                           "1;2016/03/23 14:05:09;65.3", "\t"}) {
    EXPECT_FALSE(SplitRecordLine(line, f)) << '"' << line << '"';
  }
}

// Files saved by us read back whole (round_trip_test.cpp); these are edited by hand.
TEST(OpenDataFile, HeaderValuesLoseTheBlanksAroundThem) {
  const DataFile real_time = Read("Real Time\n 10 \nA\nFAST\n80-140\n  92.4\n");
  EXPECT_EQ(real_time.list.header().second_value, "10");
  EXPECT_EQ(real_time.list.header().max_level, "92.4");

  const DataFile set = Read(
      "Data Logger 2\nSET 3\nC\nSLOW\nRange 70-130\nL05  78.1\nL10 76.0\nL50 70.4\n"
      "L90 66.2\nL95 65.9\nMax dB 84.7 \n2016/03/22 09:00:40\nSEL 96.1\n  Leq 72.3\n"
      "No.s\tDate Time\tdB\t\n1\t2016/03/22 09:00:00\t66.0\t\n");
  const ListHeader& h = set.list.header();
  EXPECT_EQ(h.second_value, "3");
  EXPECT_EQ(h.range, "70-130");
  EXPECT_EQ(h.l05, "78.1");
  EXPECT_EQ(h.max_level, "84.7");
  EXPECT_EQ(h.leq, "72.3");
  ASSERT_EQ(set.list.size(), 1u);
  EXPECT_EQ(set.list.record(0), (RecordView{"1", "2016/03/22 09:00:00", "66.0"}));
}

TEST(OpenDataFile, OlderMemorySetTakesBareValues) {
  const DataFile file = Read(
      "Data Logger v1\r\n5\r\nA\r\nIMP\r\n60-120\r\n71.0\r\n70.0\r\n65.0\r\n60.0\r\n59.0\r\n"
      "88.8\r\n2015/01/02 03:04:06\r\n90.0\r\n66.6\r\nNo.s\tDate Time\tdB\t\r\n"
      "1\t2015/01/02 03:04:00\t61.2\t\r\n");
  const ListHeader& h = file.list.header();
  EXPECT_EQ(h.kind, ListKind::kDataLogger);
  EXPECT_EQ(h.second_value, "5");
  EXPECT_EQ(h.range, "60-120");
  EXPECT_EQ(h.l05, "71.0");
  EXPECT_EQ(h.l95, "59.0");
  EXPECT_EQ(h.max_level, "88.8");
  EXPECT_EQ(h.max_time, "2015/01/02 03:04:06");
  EXPECT_EQ(h.leq, "66.6");
  ASSERT_EQ(file.list.size(), 1u);
  EXPECT_EQ(file.list.level(0), "61.2");
}

TEST(OpenDataFile, PlainListOfTwelveLinesGivesElevenRecords) {
  std::string text = "1\t2016/03/23 14:05:09\t99.9\t\r\n";  // line 1 is ignored, whatever it holds
  for (int i = 1; i <= 11; ++i) {
    text += std::to_string(i) + "\t2016/03/23 14:05:" + std::to_string(10 + i) + "\t6" +
            std::to_string(i % 10) + ".0\t\r\n";
  }
  const DataFile file = Read(text);
  EXPECT_EQ(file.list.kind(), ListKind::kPlain);
  ASSERT_EQ(file.list.size(), 11u);
  EXPECT_EQ(file.list.record(0), (RecordView{"1", "2016/03/23 14:05:11", "61.0"}));
  EXPECT_EQ(file.list.record(10), (RecordView{"11", "2016/03/23 14:05:21", "61.0"}));
  ListHeader no_header;
  no_header.kind = ListKind::kPlain;
  EXPECT_EQ(file.list.header(), no_header);
}

TEST(OpenDataFile, SkipsAndCountsLinesThatDoNotSplit) {
  const DataFile file = Read(
      "No.s\tDate Time\tdB\t\n"
      "1\t2016/03/23 14:05:09\t65.3\t\n"
      "garbage\n"
      "2\t2016/03/23 14:05:10\t\n"
      "\n"
      "3;2016/03/23 14:05:11;65.5\n"
      "4,2016/03/23 14:05:12,65.6\n"
      "   \n"
      "5\t2016/03/23 14:05:13\t65.7");  // the last line may lack its line end
  EXPECT_EQ(file.skipped_lines, 3u);    // blank lines lose no record and are not counted
  ASSERT_EQ(file.list.size(), 3u);
  EXPECT_EQ(file.list.number(0), "1");
  EXPECT_EQ(file.list.record(1), (RecordView{"4", "2016/03/23 14:05:12", "65.6"}));
  EXPECT_EQ(file.list.record(2), (RecordView{"5", "2016/03/23 14:05:13", "65.7"}));
}

TEST(OpenDataFile, ShortFilesGiveWhatTheyHold) {
  EXPECT_TRUE(Read("").list.empty());
  const DataFile header_only = Read("Real Time\r\n1\r\nA\r\n");
  EXPECT_EQ(header_only.list.kind(), ListKind::kRealTime);
  EXPECT_EQ(header_only.list.header().frequency_weighting, "A");
  EXPECT_TRUE(header_only.list.empty());
  EXPECT_EQ(header_only.skipped_lines, 0u);
}

TEST(OpenDataFile, ReportsProgressAndCanBeCancelled) {
  std::string text = "No.s\tDate Time\tdB\t\r\n";
  for (int i = 1; i <= 20000; ++i) text += std::to_string(i) + "\t2016/03/23 14:05:09\t65.3\t\r\n";

  std::vector<ReadProgress> calls;
  const DataFile all = Read(text, [&](const ReadProgress& p) {
    calls.push_back(p);
    return true;
  });
  EXPECT_EQ(all.list.size(), 20000u);
  EXPECT_FALSE(all.cancelled);
  ASSERT_EQ(calls.size(), 20001u / kProgressLines);
  EXPECT_EQ(calls[0].lines, kProgressLines);
  EXPECT_EQ(calls[0].records, kProgressLines - 1);
  EXPECT_EQ(calls[1].lines, 2 * kProgressLines);
  EXPECT_LT(calls[0].bytes, calls[1].bytes);

  const DataFile part = Read(text, [](const ReadProgress&) { return false; });
  EXPECT_TRUE(part.cancelled);
  EXPECT_EQ(part.list.size(), kProgressLines - 1);
}

TEST(OpenDataFile, StopsAtTheListLimit) {
  std::string text = "No.s\tDate Time\tdB\t\r\n";
  text.reserve(14'000'000);
  for (std::size_t i = 1; i <= kMaxRecords + 2; ++i) {
    text += std::to_string(i) + "\t2016/03/23 14:05:09\t65.3\t\r\n";
  }
  const DataFile file = Read(text);
  EXPECT_TRUE(file.truncated);
  ASSERT_EQ(file.list.size(), kMaxRecords);
  EXPECT_EQ(file.list.number(kMaxRecords - 1), std::to_string(kMaxRecords));
}

TEST(OpenDataFile, FromDiskNamesTheViewByTheFileTitle) {
  TempDir dir;
  WriteBytes(dir.File("night.dlgr"), "Real Time\r\n1\r\n");
  EXPECT_EQ(OpenDataFile(dir.File("night.dlgr")).title, "night.dlgr");
}

TEST(OpenDataFile, FilesThatCannotBeReadNameThemselves) {
  TempDir dir;
  for (const std::string& path : {dir.File("missing.dlgr"), dir.File("")}) {
    try {
      OpenDataFile(path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const DataFileError& e) {
      EXPECT_EQ(e.path(), path);
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
  std::istringstream broken("Real Time\r\n");
  broken.setstate(std::ios::badbit);
  EXPECT_THROW(OpenDataFile(broken, "stream.dlgr"), DataFileError);
}

}  // namespace
}  // namespace slm
