// `slmtool stats` run as a user runs it, on data files in a fresh folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/tool_run.h"

namespace slm {
namespace {

const std::string kRealTimeHeader =
    "Real Time\r\n1\r\nA\r\nFAST\r\n40-100\r\n99.9\r\n2016/03/27 00:40:00\r\n130.2\r\n74.8\r\n"
    "No.s\tDate Time\tdB\t\r\n";
const std::string kSetHeader =
    "Data Logger 2\r\nSET 2\r\nC\r\nSLOW\r\nRange 70-130\r\nL05 78.1\r\nL10 76.0\r\nL50 70.4\r\n"
    "L90 66.2\r\nL95 65.9\r\nMax dB 84.7\r\n2024/04/30 09:00:40\r\nSEL 96.1\r\nLeq 72.3\r\n"
    "No.s\tDate Time\tdB\t\r\n";

std::string Records(const std::vector<std::string>& levels) {
  std::string text;
  for (std::size_t i = 0; i < levels.size(); ++i) {
    text += std::to_string(i + 1) + "\t2024/04/30 09:00:00\t" + levels[i] + "\t\r\n";
  }
  return text;
}

// Four rows, three counted: a quarter of the shares fall on the low level,
// half on the high one, and the top quarter is out of reach.
const std::vector<std::string> kLevels = {"60.4", "70.6", "70.6", "80.0*"};

// The expected output for entries `low` (L75..L99) and `high` (L25..L74).
std::string Expected(const std::string& count_low_high, const std::string& low,
                     const std::string& high) {
  std::string out = count_low_high;
  for (int q = 0; q < 10; ++q) {
    out += "L(" + std::to_string(q) + "0)";
    for (int r = 0; r < 10; ++r) {
      const int entry = 10 * q + r;
      out += "\t" + std::string(entry >= 75 ? low : entry >= 25 ? high : "");
    }
    out += "\n";
  }
  return out;
}

class SlmtoolStats : public ::testing::Test {
 protected:
  SlmtoolStats() { std::filesystem::create_directories(dir_); }
  ~SlmtoolStats() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  test::ToolRun Run(const std::vector<std::string>& args) {
    return test::RunProgram(SLMTOOL_PATH, args, dir_);
  }

  const std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() /
      ("slmtool_stats_test_" + std::to_string(::getpid()) + "_" +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(SlmtoolStats, ARecordingGivesTheTableOfTheResolutionAsked) {
  const std::string path = Write("recording.dlgr", kRealTimeHeader + Records(kLevels));

  const test::ToolRun tenth = Run({"stats", path});
  EXPECT_EQ(tenth.exit_code, 0) << tenth.err;
  EXPECT_EQ(tenth.out,
            Expected("StatRecordCount\t4\nClassLow\t604\nClassHigh\t706\n", "60.4", "70.6"));
  EXPECT_EQ(Run({"stats", path, "--resolution", "0.1"}).out, tenth.out);

  const test::ToolRun whole = Run({"stats", path, "--resolution", "1"});
  EXPECT_EQ(whole.exit_code, 0) << whole.err;
  EXPECT_EQ(whole.out, Expected("StatRecordCount\t4\nClassLow\t60\nClassHigh\t70\n", "60", "70"));
}

TEST_F(SlmtoolStats, AMemorySetTakesItsPercentilesFromTheFineTableForBothResolutions) {
  const std::string path = Write("set.dlgr", kSetHeader + Records(kLevels));
  const test::ToolRun whole = Run({"stats", path, "--resolution", "1"});
  EXPECT_EQ(whole.exit_code, 0) << whole.err;
  EXPECT_EQ(whole.out,
            Expected("StatRecordCount\t4\nClassLow\t60\nClassHigh\t70\n", "60.4", "70.6"));
}

TEST_F(SlmtoolStats, AListWithNoLevelToCountSaysSo) {
  for (const std::string& list : {kRealTimeHeader + Records({"80.0*", "*"}), kRealTimeHeader}) {
    const std::string path = Write("marked.dlgr", list);
    const test::ToolRun run = Run({"stats", path});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, list == kRealTimeHeader ? "StatRecordCount\t0\n" : "StatRecordCount\t2\n");
    EXPECT_NE(run.err.find("no level to count"), std::string::npos) << run.err;
  }
}

TEST_F(SlmtoolStats, AFileThatCannotBeReadIsNamed) {
  const std::string path = (dir_ / "no-such-file.dlgr").string();
  const test::ToolRun run = Run({"stats", path});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("no-such-file.dlgr"), std::string::npos) << run.err;
}

TEST_F(SlmtoolStats, AnotherResolutionOrAMissingFileArgumentIsRefused) {
  const std::string path = Write("recording.dlgr", kRealTimeHeader + Records(kLevels));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"stats", path, "--resolution", "0.5"},
        std::vector<std::string>{"stats", path, "--resolution", "10"},
        std::vector<std::string>{"stats", path, "--resolution", ""},
        std::vector<std::string>{"stats", path, "--resolution"}, std::vector<std::string>{"stats"},
        std::vector<std::string>{"stats", path, path}}) {
    const test::ToolRun run = Run(args);
    EXPECT_EQ(run.exit_code, 2) << args.size() << ": " << run.err;
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace slm
