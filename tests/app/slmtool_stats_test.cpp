// `slmtool stats` run as a user runs it: the table of the resolution asked
// for, from the table the file's window takes it from.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/data_file_writer.h"
#include "support/sample_lists.h"
#include "support/tool_run.h"

namespace slm {
namespace {

// Four rows, three counted: a quarter of the shares fall on the low level,
// half on the high one, and the top quarter is out of reach.
const std::vector<std::string> kLevels = {"60.4", "70.6", "70.6", "80.0*"};

// The expected output: the head, then `low` in L75..L99 and `high` in L25..L74.
std::string Expected(const std::string& head, const std::string& low, const std::string& high) {
  std::string out = head;
  for (int q = 0; q < 10; ++q) {
    out += "L(" + std::to_string(q) + "0)";
    for (int entry = 10 * q; entry < 10 * q + 10; ++entry) {
      out += "\t" + std::string(entry >= 75 ? low : entry >= 25 ? high : "");
    }
    out += "\n";
  }
  return out;
}

class SlmtoolStats : public test::ToolTest {
 protected:
  // A file `name` of the kind of `sample` holding `levels`.
  std::string File(const std::string& name, RecordList sample,
                   const std::vector<std::string>& levels) {
    RecordList list = test::ListOf(levels);
    list.header() = sample.header();
    return Write(name, FormatListFile(list, Separator::kTab));
  }
};

// A memory set takes its percentiles from the fine table for both resolutions.
TEST_F(SlmtoolStats, GivesTheTableOfTheResolutionAskedFromTheTableTheWindowUses) {
  const std::string recording = File("rec.dlgr", test::SampleRealTimeList(), kLevels);
  const std::string memory_set = File("set.dlgr", test::SampleMemorySet(), kLevels);
  const std::string tenth =
      Expected("StatRecordCount\t4\nClassLow\t604\nClassHigh\t706\n", "60.4", "70.6");
  const std::string whole_head = "StatRecordCount\t4\nClassLow\t60\nClassHigh\t70\n";
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"stats", recording}, tenth},
      {{"stats", recording, "--resolution", "0.1"}, tenth},
      {{"stats", recording, "--resolution", "1"}, Expected(whole_head, "60", "70")},
      {{"stats", memory_set, "--resolution", "1"}, Expected(whole_head, "60.4", "70.6")},
  };
  for (const auto& c : cases) {
    const test::ToolRun run = Run(c.args);
    EXPECT_EQ(run.exit_code, 0) << c.args.back() << run.err;
    EXPECT_EQ(run.out, c.out) << c.args.back();
  }
}

TEST_F(SlmtoolStats, AListWithNoLevelToCountOrWrongArgumentsAreSaid) {
  const std::string marked = File("list.dlgr", test::SampleRealTimeList(), {"80.0*", "*"});
  const test::ToolRun run = Run({"stats", marked});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "StatRecordCount\t2\n");
  EXPECT_NE(run.err.find("no level to count"), std::string::npos) << run.err;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"stats", marked, "--resolution", "0.5"},
        std::vector<std::string>{"stats", marked, "--resolution"},
        std::vector<std::string>{"stats"}, std::vector<std::string>{"stats", marked, marked}}) {
    const test::ToolRun wrong = Run(args);
    EXPECT_EQ(wrong.exit_code, 2) << args.size() << ": " << wrong.err;
    EXPECT_EQ(wrong.out, "");
  }
}

}  // namespace
}  // namespace slm
