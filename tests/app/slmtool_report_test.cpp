// slmtool report, run as a user runs it: the report as text and as a PDF,
// and the ways it refuses or stops.
#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace slm {
namespace {

using test::RunProgram;
using test::TempDir;

// A real-time file of seven records; `seventh_level` is the last record's level.
std::string SevenRecords(const std::string& seventh_level = "66.6") {
  return "Real Time\r\n1\r\nA\r\nFAST\r\n40-100\r\n91.4\r\n2024/05/01 10:00:04\r\n"
         "99.9\r\n72.5\r\nNo.s\tDate Time\tdB\t\r\n"
         "1\t2024/05/01 10:00:00\t60.1\t\r\n"
         "2\t2024/05/01 10:00:01\t61.2*\t\r\n"
         "3\t2024/05/01 10:00:02\t--\t\r\n"
         "4\t2024/05/01 10:00:03\t63.4\t\r\n"
         "5\t2024/05/01 10:00:04\t91.4\t\r\n"
         "6\t2024/05/01 10:00:05\t65.5\t\r\n"
         "7\t2024/05/01 10:00:06\t" +
         seventh_level + "\t\r\n";
}

constexpr const char* kHead =
    " \n \n \n \n"
    "-         Freq Weight : A\n"
    "-         Time Weight : FAST\n"
    "-         Level Range : 40-100\n"
    "-         Max dB : 91.4 - 2024/05/01 10:00:04\n"
    "-         Level Range : 40-100\n"
    "-         SEL : 99.9\n"
    "-         Leq : 72.5\n"
    "-\n"
    "          No.s            Date Time     (dB)\n"
    "         -----------------------------------------------------------------------\n";

class SlmtoolReport : public ::testing::Test {
 protected:
  test::ToolRun Report(std::vector<std::string> args) {
    args.insert(args.begin(), "report");
    return RunProgram(SLMTOOL_PATH, args, dir_.path());
  }
  std::string Input(const std::string& bytes) {
    const std::string path = dir_.File("list.dlgr");
    test::WriteBytes(path, bytes);
    return path;
  }
  TempDir dir_;
};

TEST_F(SlmtoolReport, PrintsTheReportThreeRecordsToALine) {
  const test::ToolRun run = Report({Input(SevenRecords()), "--per", "3"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, std::string(kHead) +
                         "             1  2024/05/01 10:00:00     60.1    61.2*       --\n"
                         "             4  2024/05/01 10:00:03     63.4     91.4     65.5\n"
                         "             7  2024/05/01 10:00:06     66.6\n");
}

TEST_F(SlmtoolReport, PrintsOneRecordALineUnlessToldOtherwise) {
  const test::ToolRun run = Report({Input(SevenRecords())});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, std::string(kHead).size()), kHead);
  EXPECT_NE(run.out.find("\n             2  2024/05/01 10:00:01    61.2*\n"), std::string::npos)
      << run.out;
}

TEST_F(SlmtoolReport, WritesAPdf) {
  const std::string out = dir_.File("report.pdf");
  const test::ToolRun run = Report({Input(SevenRecords()), "--per", "5", "-o", out});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(test::ReadBytes(out).substr(0, 4), "%PDF");
  EXPECT_NE(run.out.find("16 lines on 1 page"), std::string::npos) << run.out;
}

TEST_F(SlmtoolReport, AFieldTooLongPrintsTheLinesBeforeItAndSaysWhy) {
  const test::ToolRun run = Report({Input(SevenRecords("1234567890")), "--per", "3"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.out.find("             4  2024/05/01 10:00:03"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("10:00:06"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("record 7"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("dB \"1234567890\""), std::string::npos) << run.err;
}

TEST_F(SlmtoolReport, RefusesWhatItCannotDo) {
  const std::string input = Input(SevenRecords());
  const test::ToolRun missing = Report({dir_.File("none.dlgr")});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("none.dlgr"), std::string::npos) << missing.err;

  for (const char* per : {"0", "6", "abc", ""}) {
    EXPECT_EQ(Report({input, "--per", per}).exit_code, 2) << '"' << per << '"';
  }
  EXPECT_EQ(Report({input, "--per", "2.7"}).exit_code, 0);
  EXPECT_EQ(Report({input, "-o", dir_.File("report.txt")}).exit_code, 2);
}

}  // namespace
}  // namespace slm
