// slmtool report, run as a user runs it: the report as text and as a PDF,
// and the ways it refuses or stops. The report's lines are tested in
// core_tests (list_report_test).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/list_report.h"
#include "files/data_file_writer.h"
#include "support/sample_lists.h"
#include "support/tool_run.h"

namespace slm {
namespace {

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

class SlmtoolReport : public test::ToolTest {
 protected:
  std::string Input(const RecordList& list) {
    return Write("list.dlgr", FormatListFile(list, Separator::kTab));
  }
  const RecordList list_ = test::SampleRealTimeList();
};

TEST_F(SlmtoolReport, PrintsTheReportAsTextOrIntoAPdf) {
  const std::string input = Input(list_);
  for (const int per : {1, 3}) {
    std::vector<std::string> args{"report", input};
    if (per != 1) args.insert(args.end(), {"--per", std::to_string(per)});
    const test::ToolRun run = Run(args);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, Joined(BuildListReport(list_, per).lines)) << per;
  }
  const std::string pdf = dir_.File("report.pdf");
  const test::ToolRun run = Run({"report", input, "--per", "5", "-o", pdf});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(test::ReadBytes(pdf).substr(0, 4), "%PDF");
  EXPECT_EQ(run.out, "15 lines on 1 page written to " + pdf + "\n");
}

TEST_F(SlmtoolReport, AFieldTooLongPrintsTheLinesBeforeItAndSaysWhy) {
  RecordList list = list_;
  list.Append("5", "2016/03/23 14:07:29", "1234567890");
  const test::ToolRun run = Run({"report", Input(list), "--per", "3"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, Joined(BuildListReport(list, 3).lines));
  EXPECT_NE(run.out.find("             1  2016/03/23 14:05:09"), std::string::npos) << run.out;
  EXPECT_EQ(run.err, ReportStopText({5, "dB", "1234567890", 9}) + "\n");
}

TEST_F(SlmtoolReport, RefusesWhatItCannotDo) {
  const std::string input = Input(list_);
  const test::ToolRun missing = Run({"report", dir_.File("none.dlgr")});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("none.dlgr"), std::string::npos) << missing.err;
  for (const char* per : {"0", "6", "abc"}) {
    EXPECT_EQ(Run({"report", input, "--per", per}).exit_code, 2) << '"' << per << '"';
  }
  EXPECT_EQ(Run({"report", input, "-o", dir_.File("report.txt")}).exit_code, 2);
}

}  // namespace
}  // namespace slm
