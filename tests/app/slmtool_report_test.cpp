// slmtool report, stats and plot, run as a user runs them: the report as
// text and as a PDF and the ways it refuses or stops (its lines are tested
// in core_tests, list_report_test); the statistics table of the resolution
// asked for, from the table the file's window takes it from; a list with
// pauses drawn into each kind of file plot writes.
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
  // A set in the older form is a memory set as well.
  const test::ToolRun old =
      Run({"stats", SLM_TEST_DATA_DIR "/data_logger.dlgr", "--resolution", "1"});
  EXPECT_NE(old.out.find("ClassHigh\t88\nL(00)\t88.8\t"), std::string::npos) << old.out;
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
