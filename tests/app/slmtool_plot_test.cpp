// slmtool plot, run as a user runs it: a list with pauses drawn into each
// kind of file it writes.
#include <gtest/gtest.h>

#include <string>

#include "files/data_file_writer.h"
#include "support/sample_lists.h"
#include "support/tool_run.h"

namespace slm {
namespace {

using test::RunProgram;

// A plain list with a pause from record 2 to 3.
RecordList Paused() {
  RecordList list = test::ListOf({"60.0", "61.0*", "62.0*", "63.0", "64.0"});
  list.header().kind = ListKind::kPlain;
  return list;
}

class SlmtoolPlot : public test::ToolTest {
 protected:
  const std::string input_ = Write("paused.dlgr", FormatListFile(Paused(), Separator::kTab));
  test::ToolRun Plot(const std::string& out) { return Run({"plot", input_, "-o", out}); }
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
  const test::ToolRun run = Run({"plot", input_, "--time", "-o", out});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  const std::string svg = test::ReadBytes(out);
  EXPECT_NE(svg.find("Date Time"), std::string::npos);
  EXPECT_NE(svg.find("10:00:02"), std::string::npos);

  // A record without a readable time is left out, said, and no success.
  test::WriteBytes(input_,
                   "No.s\tDate Time\tdB\t\r\n1\t2024/05/01 10:00:00\t60.0\t\r\n"
                   "2\tgarbled\t61.0\t\r\n");
  const test::ToolRun part = Run({"plot", input_, "--time", "-o", out});
  EXPECT_EQ(part.exit_code, 1);
  EXPECT_NE(part.err.find("1 records of"), std::string::npos) << part.err;
}

TEST_F(SlmtoolPlot, AFileThatCannotBeReadIsNamedAndOnlyImagesAreDrawn) {
  const test::ToolRun missing = Run({"plot", dir_.File("none.dlgr"), "-o", dir_.File("x.pdf")});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("none.dlgr"), std::string::npos) << missing.err;

  EXPECT_EQ(Plot(dir_.File("plot.txt")).exit_code, 2);  // not a kind it draws
}

}  // namespace
}  // namespace slm
