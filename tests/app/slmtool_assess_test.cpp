// `slmtool assess` run as a user runs it: the forms of its output, the side
// files of exclusions, and its exit codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/data_file_writer.h"
#include "support/sample_lists.h"
#include "support/tool_run.h"

namespace slm {
namespace {

// A recording of `count` seconds from `start`, all at `level`.
std::string Recording(const std::string& start, int count, const std::string& level) {
  RecordList list =
      test::ListOf(std::vector<std::string>(static_cast<std::size_t>(count), level), start);
  list.header() = test::SampleRealTimeList().header();
  return FormatListFile(list, Separator::kTab);
}

using SlmtoolAssess = test::ToolTest;

TEST_F(SlmtoolAssess, MergesFilesAppliesTheirExclusionsAndWritesJsonOrCsv) {
  const std::string first = dir_.File("first.dlgr");
  const std::string second = dir_.File("second.dlgr");
  test::WriteBytes(first, Recording("2024/05/01 10:00:00", 60, "60.0"));
  test::WriteBytes(second, Recording("2024/05/01 10:01:00", 60, "70.0"));
  test::WriteBytes(first + ".exclusions",
                   "# kept by the windows\n2024/05/01 10:00:00..2024/05/01 10:00:10 talk\n");

  const test::ToolRun json = Run({"assess", second, first, "--interval", "60", "--exclude",
                                  "2024/05/01 10:01:50..2024/05/01 10:02:00", "--json"});
  ASSERT_EQ(json.exit_code, 0) << json.err;
  EXPECT_NE(json.err.find("first.dlgr.exclusions"), std::string::npos) << json.err;
  std::size_t at = 0;
  for (const char* key :
       {"\"period\": 1", "\"total\": {\"start\": \"2024/05/01 10:00:10\"",
        "\"end\": \"2024/05/01 10:01:50\"", "\"count\": 100", "\"paused\": 0", "\"intervals\": [",
        "\"count\": 50", "\"leq\": 60.0", "\"count\": 50", "\"leq\": 70.0",
        "\"percentiles\": {\"L1\": 70.0", "\"days\": [", "\"date\": \"2024/05/01\"",
        "\"lden\": null", "\"events\": null", "\"above\": null",
        "\"rolling\": {\"window\": 3600, \"max\": null", "\"excluded\": {\"records\": 20}"}) {
    const std::size_t found = json.out.find(key, at);
    EXPECT_NE(found, std::string::npos) << key << "\n" << json.out;
    if (found != std::string::npos) at = found;
  }

  const std::string csv = dir_.File("intervals.csv");
  const test::ToolRun run = Run({"assess", first, second, "--interval", "60", "--percentiles", "50",
                                 "--no-exclusions", "--csv", "-o", csv});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(test::ReadBytes(csv),
            "start,count,under_range,over_range,coverage,leq,lmax,lmax_time,lmin,sel,L50\r\n"
            "2024/05/01 10:00:00,60,0,0,100.0,60.0,60.0,2024/05/01 10:00:00,60.0,77.8,60.0\r\n"
            "2024/05/01 10:01:00,60,0,0,100.0,70.0,70.0,2024/05/01 10:01:00,70.0,87.8,70.0\r\n");
}

TEST_F(SlmtoolAssess, BadInputExitsTwoAndAFileThatCannotBeReadOne) {
  const std::string file = dir_.File("day.dlgr");
  const std::string later = dir_.File("later.dlgr");
  test::WriteBytes(file, Recording("2024/05/01 10:00:00", 30, "60.0"));
  test::WriteBytes(later, Recording("2024/05/01 10:00:00", 10, "60.0"));
  struct Case {
    std::vector<std::string> args;
    int exit_code;
    std::string said;
  };
  const Case cases[] = {
      {{"assess", file, "--threshold", "loud"}, 2, "--threshold takes a number"},
      {{"assess", file, "--interval", "7000"}, 2, "divide a day"},
      {{"assess", file, "--exclude", "2024/05/01 10:00:20..2024/05/01 10:00:10"},
       2,
       "ends before it starts"},
      {{"assess", file, "--hold", "5"}, 2, "go with --threshold"},
      {{"assess"}, 2, "one or more FILEs"},
      {{"assess", dir_.File("missing.dlgr")}, 1, "missing.dlgr"},
      {{"assess", file, later}, 1, "overlap"},
      {{"assess", file, "-o", dir_.File("gone/out.txt")},
       1,
       dir_.File("gone/out.txt") + " could not be written"},
  };
  for (const Case& c : cases) {
    const test::ToolRun run = Run(c.args);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.said << ": " << run.err;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace slm
