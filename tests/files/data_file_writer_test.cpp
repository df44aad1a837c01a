#include "files/data_file_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "files/file_io.h"
#include "support/sample_lists.h"

namespace slm {
namespace {

using test::Lines;
using test::ReadBytes;
using test::SampleMemorySet;
using test::SampleRealTimeList;
using test::TempDir;

// The bytes of SampleMemorySet() saved as a data file.
const char kMemorySetFile[] =
    "Data Logger 2\r\nSET 3\r\nC\r\nSLOW\r\nRange 70-130\r\nL05 78.1\r\nL10 76.0\r\n"
    "L50 70.4\r\nL90 66.2\r\nL95 65.9\r\nMax dB 84.7\r\n2016/03/22 09:00:40\r\nSEL 96.1\r\n"
    "Leq 72.3\r\nNo.s\tDate Time\tdB\t\r\n1\t2016/03/22 09:00:00\t66.0\t\r\n"
    "2\t2016/03/22 09:00:20\t70.4\t\r\n3\t2016/03/22 09:00:40\t84.7\t\r\n";

TEST(ListFile, EachKindHasItsHeaderLinesThenTabRows) {
  EXPECT_EQ(FormatListFile(SampleRealTimeList(), Separator::kTab),
            "Real Time\r\n10\r\nA\r\nFAST\r\n80-140\r\n92.4\r\n2016/03/23 14:07:19\r\n"
            "101.3\r\n75.2\r\n"
            "No.s\tDate Time\tdB\t\r\n"
            "1\t2016/03/23 14:05:09\t65.3\t\r\n"
            "2\t2016/03/23 14:05:19\t80.0*\t\r\n"
            "3\t2016/03/23 14:05:29\t--\t\r\n"
            "4\t2016/03/23 14:07:19\t92.4\t\r\n");
  // An older memory set is saved in the current form.
  RecordList older = SampleMemorySet();
  older.header().kind = ListKind::kDataLogger;
  EXPECT_EQ(FormatListFile(older, Separator::kTab), kMemorySetFile);
}

TEST(ListFile, FieldsAreQuotedOnlyWhereRfc4180AsksAndThePartSetNoteFollowsTheKind) {
  RecordList list;
  ListHeader& h = list.header();
  h.kind = ListKind::kDataLogger2;
  h.second_value = " 3";
  h.l05 = "\"78\"";
  h.l10 = "76,0";
  h.max_level = "84.7 ";
  h.l90 = " 90.1 ";
  h.note = "incomplete: 3 of 9 records";
  list.Append("1", "2016/03/22 09:00:00", "65,3");
  list.Append(" 2", "say \"loud\"", "a\tb");
  list.Append("3", "line\r\nend", "");
  EXPECT_EQ(FormatListFile(list, Separator::kComma),
            "Data Logger 2  incomplete: 3 of 9 records\r\nSET  3\r\n\r\n\r\nRange \r\n"
            "L05 \"\"\"78\"\"\"\r\nL10 76,0\r\nL50 \r\nL90  90.1 \r\nL95 \r\nMax dB 84.7 \r\n"
            "\r\nSEL \r\nLeq \r\n"
            "No.s,Date Time,dB,\r\n"
            "1,2016/03/22 09:00:00,\"65,3\",\r\n"
            "\" 2\",\"say \"\"loud\"\"\",\"a\tb\",\r\n"
            "3,\"line\r\nend\",,\r\n");
  const std::vector<std::string> tab = Lines(FormatListFile(list, Separator::kTab));
  ASSERT_EQ(tab.size(), 19u);  // 18 lines, the last split once more at its quoted CR LF
  EXPECT_EQ(tab[15], "1\t2016/03/22 09:00:00\t65,3\t");
  EXPECT_EQ(tab[16], "\" 2\"\t\"say \"\"loud\"\"\"\t\"a\tb\"\t");
}

TEST(WriteRecordRows, TellsTheRowWrittenAndAlwaysTheLast) {
  for (const std::size_t rows : {std::size_t{0}, std::size_t{3}, std::size_t{20000}}) {
    RecordList list;
    for (std::size_t i = 1; i <= rows; ++i) list.Append(std::to_string(i), "d", "65.3");
    std::vector<WriteProgress> calls;
    std::string out;
    WriteRecordRows(list, Separator::kTab, out,
                    [&](const WriteProgress& p) { calls.push_back(p); });
    ASSERT_FALSE(calls.empty());
    EXPECT_LE(calls.size(), rows / 4096 + 1);
    for (std::size_t i = 1; i < calls.size(); ++i) EXPECT_LT(calls[i - 1].row, calls[i].row);
    EXPECT_EQ(calls.back().row, rows);
    EXPECT_EQ(calls.back().rows, rows);
    EXPECT_EQ(calls.back().caption, std::to_string(rows) + "Records Completed");
  }
}

TEST(SaveRecordList, WritesTheFileBytesAndReplacesAnOlderFile) {
  TempDir dir;
  std::string csv = kMemorySetFile;
  std::replace(csv.begin(), csv.end(), '\t', ',');
  test::WriteBytes(dir.File("set.csv"), std::string(4096, 'x'));
  std::vector<std::string> captions;
  SaveRecordList(dir.File("set.csv"), SampleMemorySet(), Separator::kComma,
                 [&](const WriteProgress& p) { captions.push_back(p.caption); });
  EXPECT_EQ(ReadBytes(dir.File("set.csv")), csv);
  EXPECT_EQ(captions, std::vector<std::string>{"3Records Completed"});
  SaveRecordList(dir.File("set.dlgr"), SampleMemorySet(), Separator::kTab);
  EXPECT_EQ(ReadBytes(dir.File("set.dlgr")), kMemorySetFile);

#ifndef _WIN32  // symbolic links and permission bits as Unix has them
  // The new file takes the old one's permissions, and a link keeps pointing
  // at the file it named, which is the one replaced.
  namespace fs = std::filesystem;
  fs::permissions(dir.File("set.dlgr"), fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("set.dlgr", dir.File("link.dlgr"));
  SaveRecordList(dir.File("link.dlgr"), SampleRealTimeList(), Separator::kTab);
  EXPECT_TRUE(fs::is_symlink(dir.File("link.dlgr")));
  EXPECT_EQ(ReadBytes(dir.File("set.dlgr")), FormatListFile(SampleRealTimeList(), Separator::kTab));
  EXPECT_EQ(fs::status(dir.File("set.dlgr")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
#endif
}

}  // namespace
}  // namespace slm
