#include "files/list_summary.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "files/data_file_reader.h"
#include "files/data_file_writer.h"
#include "files_test_support.h"

namespace slm {
namespace {

using Lines = std::vector<std::string>;

DataFile Read(const std::string& text) {
  std::istringstream in(text);
  return OpenDataFile(in, "test.dlgr");
}

TEST(ListSummary, KindsAndTheirWindows) {
  EXPECT_EQ(KindName(ListKind::kRealTime), "Real Time");
  EXPECT_EQ(KindName(ListKind::kDataLogger2), "Data Logger 2");
  EXPECT_EQ(KindName(ListKind::kDataLogger), "Data Logger");
  EXPECT_EQ(KindName(ListKind::kPlain), "plain list");
  EXPECT_EQ(WindowOfKind(ListKind::kRealTime), ListWindow::kFileListReal);
  EXPECT_EQ(WindowOfKind(ListKind::kPlain), ListWindow::kFileListReal);
  EXPECT_EQ(WindowOfKind(ListKind::kDataLogger2), ListWindow::kFileList);
  EXPECT_EQ(WindowOfKind(ListKind::kDataLogger), ListWindow::kFileList);
  EXPECT_EQ(WindowName(ListWindow::kFileListReal), "FileListReal");
  EXPECT_EQ(WindowName(ListWindow::kFileList), "FileList");
}

TEST(ListSummary, RealTimeFileShowsTheRealWindowsLabels) {
  const DataFile file = Read(FormatListFile(test::SampleRealTimeList(), Separator::kTab));
  EXPECT_EQ(DataFileSummary(file), (Lines{
                                       "Kind: Real Time",
                                       "Window: FileListReal",
                                       "Sampling period: 10 s",
                                       "Freq Weight: A",
                                       "Time Weight: FAST",
                                       "Level Range: 80-140",
                                       "Max dB: 92.4",
                                       "Max Time: 2016/03/23 14:07:19",
                                       "Leq: 75.2",
                                       "SEL: 101.3",
                                       "Records: 4",
                                   }));
}

TEST(ListSummary, MemorySetShowsTheValuesAfterTheirKeys) {
  // Blanks around values, as a file edited by hand may have them.
  const DataFile file = Read(
      "Data Logger 2\r\nSET 3\r\nC\r\nSLOW\r\nRange 70-130\r\nL05  78.1\r\nL10 76.0\r\n"
      "L50 70.4\r\nL90 66.2\r\nL95 65.9\r\nMax dB 84.7 \r\n2016/03/22 09:00:40\r\nSEL 96.1\r\n"
      "Leq 72.3\r\nNo.s\tDate Time\tdB\t\r\n1\t2016/03/22 09:00:00\t66.0\t\r\n"
      "2\t2016/03/22 09:00:20\t70.4\t\r\n");
  EXPECT_EQ(DataFileSummary(file), (Lines{
                                       "Kind: Data Logger 2",
                                       "Window: FileList",
                                       "Set: 3",
                                       "Freq Weight: C",
                                       "Time Weight: SLOW",
                                       "Level Range: 70-130",
                                       "Max dB: 84.7",
                                       "Max Time: 2016/03/22 09:00:40",
                                       "L 05: 78.1",
                                       "L 10: 76.0",
                                       "L 50: 70.4",
                                       "L 90: 66.2",
                                       "L 95: 65.9",
                                       "Leq: 72.3",
                                       "SEL: 96.1",
                                       "Records: 2",
                                   }));
}

TEST(ListSummary, OlderMemorySetOpensInTheSameWindow) {
  const DataFile file = Read(
      "Data Logger\n5\nA\nIMP\n60-120\n71.0\n70.0\n65.0\n60.0\n59.0\n80.2\n"
      "2015/01/02 03:04:05\n90.0\n68.8\nNo.s\tDate Time\tdB\t\n");
  const Lines lines = DataFileSummary(file);
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0], "Kind: Data Logger");
  EXPECT_EQ(lines[1], "Window: FileList");
  EXPECT_EQ(lines[2], "Set: 5");
  EXPECT_EQ(lines[5], "Level Range: 60-120");
  EXPECT_EQ(lines[8], "L 05: 71.0");
  EXPECT_EQ(lines[12], "L 95: 59.0");
  EXPECT_EQ(lines[13], "Leq: 68.8");
  EXPECT_EQ(lines[14], "SEL: 90.0");
  EXPECT_EQ(lines[15], "Records: 0");
}

TEST(ListSummary, PlainListHasNoHeaderToShow) {
  const DataFile file = Read(
      "No.s\tDate Time\tdB\t\n1\t2016/03/23 14:05:09\t65.3\t\n2\t2016/03/23 14:05:10\t66.1\t\n");
  EXPECT_EQ(DataFileSummary(file),
            (Lines{"Kind: plain list", "Window: FileListReal", "Records: 2"}));
  EXPECT_TRUE(ResultLabels(file.list.header()).empty());
  EXPECT_FALSE(SecondValueLabel(file.list.header()).has_value());
}

TEST(ListSummary, SkippedLinesAreCountedAfterTheRecords) {
  const DataFile file = Read(
      "header\n1\t2016/03/23 14:05:09\t65.3\t\n65.3\n\n2;2016/03/23 14:05:10;66.1\n"
      "3,2016/03/23 14:05:11,67.0\n");
  const Lines lines = DataFileSummary(file);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "Records: 2");
  EXPECT_EQ(lines[3], "Skipped lines: 2 (not three fields)");
}

TEST(ListSummary, NoSkippedLineWhenNothingWasSkipped) {
  const Lines lines = DataFileSummary(Read("header\n1\t2016/03/23 14:05:09\t65.3\t\n\n"));
  for (const std::string& line : lines) EXPECT_EQ(line.find("Skipped"), std::string::npos) << line;
}

TEST(ListSummary, EmptyValuesGetNoTrailingBlank) {
  const DataFile file = Read("Real Time\r\n\r\nA\r\n");
  const Lines lines = DataFileSummary(file);
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[2], "Sampling period:");
  EXPECT_EQ(lines[3], "Freq Weight: A");
  EXPECT_EQ(lines[4], "Time Weight:");
  EXPECT_EQ(lines[6], "Max dB:");
}

TEST(ListSummary, CutListIsSaidSo) {
  DataFile file = Read("header\n1\t2016/03/23 14:05:09\t65.3\t\n");
  file.truncated = true;
  const Lines lines = DataFileSummary(file);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "Truncated: a list holds at most 348000 records; the rest were not read");
}

TEST(ListSummary, EmptyFileOpensNoWindow) {
  EXPECT_EQ(DataFileSummary(Read("")),
            (Lines{"Kind: none (the file is empty)", "Window: none", "Records: 0"}));
}

}  // namespace
}  // namespace slm
