#include "files/data_file_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "files_test_support.h"

namespace slm {
namespace {

DataFile Read(const std::string& text, const ReadProgressFn& progress = {}) {
  std::istringstream in(text);
  return OpenDataFile(in, "test.dlgr", progress);
}

// A plain list of `count` records numbered from 1.
std::string PlainList(std::size_t count) {
  std::string text = "No.s\tDate Time\tdB\t\r\n";
  for (std::size_t i = 1; i <= count; ++i) text += std::to_string(i) + "\t2016/03/23\t65.3\t\r\n";
  return text;
}

TEST(KindOfFirstLine, TestsForContainmentAndAsksForTheNewerSetFirst) {
  using enum ListKind;
  using Case = std::pair<const char*, ListKind>;
  for (const auto& [line, kind] :
       {Case{"Real Time", kRealTime}, Case{"Data Logger 2", kDataLogger2},
        Case{"Data Logger 20", kDataLogger2}, Case{"Data Logger", kDataLogger},
        Case{"Old Data Logger v1", kDataLogger}, Case{"Data Logger2", kDataLogger},
        Case{"data logger 2", kPlain}, Case{"No.s\tDate Time\tdB\t", kPlain}, Case{"", kPlain}}) {
    EXPECT_EQ(KindOfFirstLine(line), kind) << line;
  }
}

TEST(SplitRecordLine, TakesThreeFieldsAtTabsOrElseCommas) {
  const std::pair<const char*, RecordView> good[] = {
      {"12\t2016/03/23 14:05:09\t65.3\t", {"12", "2016/03/23 14:05:09", "65.3"}},
      {"12,2016/03/23 14:05:09,65.3,", {"12", "2016/03/23 14:05:09", "65.3"}},
      {"12,2016/03/23 14:05:09,80.0*", {"12", "2016/03/23 14:05:09", "80.0*"}},
      {"  7\tdate, with comma\t--\textra\t", {"7", "date, with comma", "--"}},
      {"1\t\t\t", {"1", "", ""}}};
  for (const auto& [line, expected] : good) {
    RecordView fields;
    EXPECT_TRUE(SplitRecordLine(line, fields) && fields == expected) << line;
  }
  RecordView fields;
  for (const char* line : {"", "   ", "65.3", "1\t2016/03/23 14:05:09\t", "1,2016/03/23 14:05:09,",
                           "1;2016/03/23 14:05:09;65.3", "\t"}) {
    EXPECT_FALSE(SplitRecordLine(line, fields)) << '"' << line << '"';
  }
}

// Files saved by us read back whole (round_trip_test.cpp); these are edited by hand.
TEST(OpenDataFile, HeaderValuesOfEachKindLoseKeysAndBlanks) {
  EXPECT_TRUE(Read("").list.empty());
  const DataFile short_file =
      Read("Real Time\n 10 \nA\nFAST\n80-140\n  92.4\n");  // header cut short
  const ListHeader& r = short_file.list.header();
  EXPECT_EQ(r.kind, ListKind::kRealTime);
  EXPECT_EQ(r.second_value + "|" + r.frequency_weighting + "|" + r.max_level, "10|A|92.4");
  EXPECT_TRUE(short_file.list.empty());
  EXPECT_EQ(short_file.skipped_lines, 0u);

  const DataFile set = Read(
      "Data Logger 2\nSET 3\nC\nSLOW\nRange 70-130\nL05  78.1\nL10 76.0\nL50 70.4\n"
      "L90 66.2\nL95 65.9\nMax dB 84.7 \n2016/03/22 09:00:40\nSEL 96.1\n  Leq 72.3\n"
      "No.s\tDate Time\tdB\t\n1\t2016/03/22 09:00:00\t66.0\t\n");
  const ListHeader& h = set.list.header();
  EXPECT_EQ(h.second_value + "|" + h.range + "|" + h.l05 + "|" + h.max_level + "|" + h.leq,
            "3|70-130|78.1|84.7|72.3");
  EXPECT_EQ(set.list.size(), 1u);

  const DataFile older = Read(
      "Data Logger v1\r\n5\r\nA\r\nIMP\r\n60-120\r\n71.0\r\n70.0\r\n65.0\r\n60.0\r\n59.0\r\n"
      "88.8\r\n2015/01/02 03:04:06\r\n90.0\r\n66.6\r\nNo.s\tDate Time\tdB\t\r\n"
      "1\t2015/01/02 03:04:00\t61.2\t\r\n");
  const ListHeader& o = older.list.header();
  EXPECT_EQ(o.kind, ListKind::kDataLogger);
  EXPECT_EQ(o.second_value + "|" + o.range + "|" + o.l05 + "|" + o.l95 + "|" + o.max_level + "|" +
                o.max_time + "|" + o.leq,
            "5|60-120|71.0|59.0|88.8|2015/01/02 03:04:06|66.6");
  EXPECT_EQ(older.list.size(), 1u);
}

TEST(OpenDataFile, PlainListIgnoresItsFirstLineAndSkipsLinesThatDoNotSplit) {
  const DataFile file = Read(
      "1\t2016/03/23 14:05:08\t99.9\t\n1\t2016/03/23 14:05:09\t65.3\t\ngarbage\n"
      "2\t2016/03/23 14:05:10\t\n\n3;2016/03/23 14:05:11;65.5\n4,2016/03/23 14:05:12,65.6\n   \n"
      "5\t2016/03/23 14:05:13\t65.7");  // the last line may lack its line end
  EXPECT_EQ(file.skipped_lines, 3u);    // blank lines lose no record and are not counted
  ASSERT_EQ(file.list.size(), 3u);
  EXPECT_EQ(file.list.record(0), (RecordView{"1", "2016/03/23 14:05:09", "65.3"}));
  EXPECT_EQ(file.list.record(1), (RecordView{"4", "2016/03/23 14:05:12", "65.6"}));
  EXPECT_EQ(file.list.record(2), (RecordView{"5", "2016/03/23 14:05:13", "65.7"}));
  ListHeader no_header;
  no_header.kind = ListKind::kPlain;
  EXPECT_EQ(file.list.header(), no_header);
}

TEST(OpenDataFile, ReportsProgressCanBeCancelledAndStopsAtTheListLimit) {
  const std::string text = PlainList(20000);
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

  const DataFile file = Read(PlainList(kMaxRecords + 2));
  EXPECT_TRUE(file.truncated);
  ASSERT_EQ(file.list.size(), kMaxRecords);
  EXPECT_EQ(file.list.number(kMaxRecords - 1), std::to_string(kMaxRecords));
}

TEST(OpenDataFile, FromDiskTakesTheFileTitleAndErrorsNameTheFile) {
  test::TempDir dir;
  test::WriteBytes(dir.File("night.dlgr"), "Real Time\r\n1\r\n");
  EXPECT_EQ(OpenDataFile(dir.File("night.dlgr")).title, "night.dlgr");
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
