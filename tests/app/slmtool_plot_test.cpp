// slmtool plot, run as a user runs it: a list with pauses drawn into each
// kind of file it writes.
#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace slm {
namespace {

using test::RunProgram;
using test::TempDir;

class SlmtoolPlot : public ::testing::Test {
 protected:
  void SetUp() override {
    input_ = dir_.File("paused.dlgr");
    test::WriteBytes(input_,
                     "No.s\tDate Time\tdB\t\r\n"
                     "1\t2024/05/01 10:00:00\t60.0\t\r\n"
                     "2\t2024/05/01 10:00:01\t61.0*\t\r\n"
                     "3\t2024/05/01 10:00:02\t62.0*\t\r\n"
                     "4\t2024/05/01 10:00:03\t63.0\t\r\n"
                     "5\t2024/05/01 10:00:04\t64.0\t\r\n");
  }
  test::ToolRun Plot(const std::string& out) {
    return RunProgram(SLMTOOL_PATH, {"plot", input_, "-o", out}, dir_.path());
  }
  TempDir dir_;
  std::string input_;
};

TEST_F(SlmtoolPlot, DrawsTheTraceAndItsMarksIntoEachKindOfFile) {
  const struct {
    const char* name;
    std::string magic;
  } files[] = {{"plot.pdf", "%PDF"}, {"plot.png", "\x89PNG"}, {"plot.svg", "<?xml"}};
  for (const auto& f : files) {
    const std::string out = dir_.File(f.name);
    const test::ToolRun run = Plot(out);
    EXPECT_EQ(run.exit_code, 0) << f.name << run.err;
    EXPECT_NE(run.out.find("5 records and 2 marks"), std::string::npos) << run.out;
    EXPECT_EQ(test::ReadBytes(out).substr(0, f.magic.size()), f.magic) << f.name;
  }
  // The marks and the axis captions are drawn as text.
  const std::string svg = test::ReadBytes(dir_.File("plot.svg"));
  EXPECT_NE(svg.find("Pause"), std::string::npos);
  EXPECT_NE(svg.find("Start"), std::string::npos);
  EXPECT_NE(svg.find("No.s"), std::string::npos);
  // The PDF is a vector drawing with its title line and both captions.
  const test::ToolRun text =
      RunProgram("/usr/bin/pdftotext", {dir_.File("plot.pdf"), "-"}, dir_.path());
  EXPECT_NE(text.out.find("paused.dlgr - plain list - 2024/05/01 10:00:00 to 2024/05/01 10:00:04"),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("No.s"), std::string::npos);
  EXPECT_NE(text.out.find("dB"), std::string::npos);
}

TEST_F(SlmtoolPlot, TimeDrawsAgainstTheClockAndSaysWhatHasNoTime) {
  const std::string out = dir_.File("time.svg");
  const test::ToolRun run =
      RunProgram(SLMTOOL_PATH, {"plot", input_, "--time", "-o", out}, dir_.path());
  EXPECT_EQ(run.exit_code, 0) << run.err;
  const std::string svg = test::ReadBytes(out);
  EXPECT_NE(svg.find("Date Time"), std::string::npos);
  EXPECT_NE(svg.find("10:00:02"), std::string::npos);

  // A record without a readable time is left out, said, and no success.
  test::WriteBytes(input_,
                   "No.s\tDate Time\tdB\t\r\n1\t2024/05/01 10:00:00\t60.0\t\r\n"
                   "2\tgarbled\t61.0\t\r\n");
  const test::ToolRun part =
      RunProgram(SLMTOOL_PATH, {"plot", input_, "--time", "-o", out}, dir_.path());
  EXPECT_EQ(part.exit_code, 1);
  EXPECT_NE(part.err.find("1 records of"), std::string::npos) << part.err;
}

TEST_F(SlmtoolPlot, AFileThatCannotBeReadIsNamedAndOnlyImagesAreDrawn) {
  const test::ToolRun missing = RunProgram(
      SLMTOOL_PATH, {"plot", dir_.File("none.dlgr"), "-o", dir_.File("x.pdf")}, dir_.path());
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("none.dlgr"), std::string::npos) << missing.err;

  EXPECT_EQ(Plot(dir_.File("plot.txt")).exit_code, 2);  // not a kind it draws
}

}  // namespace
}  // namespace slm
