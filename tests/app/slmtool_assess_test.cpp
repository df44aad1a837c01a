// `slmtool assess` run as a user runs it: the forms of its output, the side
// files of exclusions, and its exit codes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "files/data_file_writer.h"
#include "files/record.h"
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
  // The survey described beside the earliest FILE goes with the figures.
  test::WriteBytes(dir_.File("first.survey"), "Site: Mill Lane 4\nWind: calm\n");

  const test::ToolRun json = Run({"assess", second, first, "--interval", "60", "--exclude",
                                  "2024/05/01 10:01:50..2024/05/01 10:02:00", "--json"});
  ASSERT_EQ(json.exit_code, 0) << json.err;
  EXPECT_NE(json.err.find("first.dlgr.exclusions"), std::string::npos) << json.err;
  EXPECT_NE(json.err.find("first.survey"), std::string::npos) << json.err;
  std::size_t at = 0;
  for (const char* key : {"{\n  \"survey\": {\"site\": \"Mill Lane 4\", \"address\": null",
                          "\"remarks\": null, \"other\": {\"Wind\": \"calm\"}},\n",
                          "\"period\": 1",
                          "\"total\": {\"start\": \"2024/05/01 10:00:10\"",
                          "\"end\": \"2024/05/01 10:01:50\"",
                          "\"count\": 100",
                          "\"paused\": 0",
                          "\"excluded\": {\"records\": 20}",
                          "\"rolling\": {\"window\": 3600, \"min_coverage\": 90.0, \"max\": null",
                          "\"above\": null",
                          "\"intervals\": [",
                          "\"count\": 50",
                          "\"leq\": 60.0",
                          "\"count\": 50",
                          "\"leq\": 70.0",
                          "\"percentiles\": {\"L1\": 70.0",
                          "\"days\": [",
                          "\"date\": \"2024/05/01\"",
                          "\"lden\": null",
                          "\"events\": null",
                          "\"exclusions\": [",
                          "\"reason\": \"talk\"",
                          "\"reason\": null"}) {
    const std::size_t found = json.out.find(key, at);
    EXPECT_NE(found, std::string::npos) << key << "\n" << json.out;
    if (found != std::string::npos) at = found;
  }

  // --csv writes the table asked for, the intervals unless --table says.
  const std::string csv = dir_.File("intervals.csv");
  const test::ToolRun run = Run({"assess", first, second, "--interval", "60", "--percentiles", "50",
                                 "--no-exclusions", "--csv", "-o", csv});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(test::ReadBytes(csv),
            "start,count,coverage,under_range,over_range,leq,lmax,lmax_time,lmin,sel,L50,note\r\n"
            "2024/05/01 10:00:00,60,100.0,0,0,60.0,60.0,2024/05/01 10:00:00,60.0,77.8,60.0,\r\n"
            "2024/05/01 10:01:00,60,100.0,0,0,70.0,70.0,2024/05/01 10:01:00,70.0,87.8,70.0,\r\n");
  EXPECT_EQ(Run({"assess", second, first})
                .out.rfind("Survey\nSite  Mill Lane 4\nWind  calm\n\nTotals\n", 0),
            0u);
  EXPECT_EQ(Run({"assess", first, "--csv", "--table", "exclusions"}).out,
            "from,to,duration,reason\r\n2024/05/01 10:00:00,2024/05/01 10:00:10,10,talk\r\n");
}

// A recording at one record a minute from `first` for `minutes`: a level that
// swells over the day, a loud stretch every fifth hour, a few "--".
void SaveMinutes(const std::string& path, std::int64_t first, int minutes) {
  RecordList list;
  list.header() = test::SampleRealTimeList().header();
  for (int i = 0; i < minutes; ++i) {
    const std::int64_t t = first + 60 * i;
    const double hour = static_cast<double>(t % kSecondsPerDay) / 3600;
    double level = 52 + 9 * std::sin(hour / 24 * 6.283) + (i % 7) * 0.37;
    if ((t / 3600) % 5 == 0 && t % 3600 < 600) level = 74.2 + (i % 3);
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", level);
    list.Append(std::to_string(i + 1), ClockText(t), i % 500 == 7 ? "--" : text);
  }
  SaveRecordList(path, list, Separator::kTab);
}

// True when a line of `text` holds `values` in this order.
bool LineHolds(const std::string& text, const std::vector<std::string>& values) {
  for (const std::string& line : test::Lines(text)) {
    std::size_t at = 0;
    for (const std::string& v : values) {
      at = line.find(v, at);
      if (at == std::string::npos) break;
      at += v.size();
    }
    if (at != std::string::npos) return true;
  }
  return false;
}

// The report of two days: its tables over several pages, the intervals with
// many percentiles in parts that each begin with the start again, and every
// font embedded, so that it reads the same on any machine.
// Files given in any order are taken one at a time in time order; the
// calibrator's tones at the survey's ends are left out of every figure, and
// files of another weighting are refused unless allowed.
TEST_F(SlmtoolAssess, LeavesOutTheCalibrationTonesOfAFileStreamAndRefusesMixedWeightings) {
  auto file = [this](const std::string& name, const std::string& start,
                     std::vector<std::string> levels, const char* weighting = "A") {
    RecordList list = test::ListOf(levels, start);
    list.header() = test::SampleRealTimeList().header();
    list.header().frequency_weighting = weighting;
    test::WriteBytes(dir_.File(name), FormatListFile(list, Separator::kTab));
    return dir_.File(name);
  };
  std::vector<std::string> first(20, "94.0");
  first.insert(first.end(), 40, "60.0");
  std::vector<std::string> last(40, "60.0");
  last.insert(last.end(), 20, "94.2");
  const std::string a = file("z.dlgr", "2024/05/01 10:00:00", first);
  const std::string b = file("a.dlgr", "2024/05/01 10:01:00", std::vector<std::string>(60, "70.0"));
  const std::string c = file("m.dlgr", "2024/05/01 10:02:00", last);
  const test::ToolRun run = Run({"assess", c, a, b, "--json"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  std::size_t at = 0;
  for (const char* key : {"\"count\": 140",
                          "\"calibration\": {\"start\": {\"level\": 94.0, "
                          "\"from\": \"2024/05/01 10:00:00\", \"to\": \"2024/05/01 10:00:20\"}",
                          "\"end\": {\"level\": 94.2", "\"drift\": 0.2", "\"within\": \"yes\"",
                          "\"reason\": \"calibration check\"", "drift +0.2 dB, within 0.5 dB"}) {
    const std::size_t found = run.out.find(key, at);
    EXPECT_NE(found, std::string::npos) << key << "\n" << run.out;
    if (found != std::string::npos) at = found;
  }
  EXPECT_NE(
      Run({"assess", a, b, c, "--json", "--no-calibration"}).out.find("\"calibration\": null"),
      std::string::npos);

  const std::string louder = file("c.dlgr", "2024/05/01 10:03:00", {"60.0"}, "C");
  const test::ToolRun mixed = Run({"assess", a, louder});
  EXPECT_EQ(mixed.exit_code, 1);
  EXPECT_NE(mixed.err.find("frequency weighting A in \"" + a + "\" and C in \"" + louder +
                           "\"; --allow-mixed assesses them together"),
            std::string::npos)
      << mixed.err;
  const test::ToolRun allowed = Run({"assess", a, louder, "--allow-mixed"});
  EXPECT_EQ(allowed.exit_code, 0) << allowed.err;
  EXPECT_NE(allowed.out.find("Files measured differently are assessed together"),
            std::string::npos);
}

TEST_F(SlmtoolAssess, WritesTheReportAsOnePdfWithItsFontsEmbedded) {
  const std::string day1 = dir_.File("day1.dlgr");
  const std::string day2 = dir_.File("day2.dlgr");
  const std::int64_t may1 = *ParseClockText("2024/05/01 00:00:00");
  SaveMinutes(day1, may1, 1440);
  SaveMinutes(day2, may1 + kSecondsPerDay, 900);
  test::WriteBytes(day1 + ".exclusions", "2024/05/01 13:00:00..2024/05/01 13:20:00 road works\n");
  const std::string survey =
      Write("mill.txt",
            "Site: Mill Lane 4\nClient: Town of Ashby\nRemarks: Rain from 14:00.\n"
            "  A dog barked.\n");
  const std::string pdf = dir_.File("report.pdf");
  const std::vector<std::string> args = {"assess",
                                         day2,
                                         day1,
                                         "--threshold",
                                         "70",
                                         "--percentiles",
                                         "0,1,2,3,4,5,10,20,30,40,50,60,70,80,90,95,96,97,99"};
  std::vector<std::string> with_csv = args;
  with_csv.insert(with_csv.end(), {"--csv"});
  const test::ToolRun csv = Run(with_csv);
  std::vector<std::string> with_pdf = args;
  with_pdf.insert(with_pdf.end(), {"-o", pdf, "--survey", survey});
  const test::ToolRun report = Run(with_pdf);
  ASSERT_EQ(report.exit_code, 0) << report.err;
  EXPECT_NE(report.out.find("written to " + pdf), std::string::npos) << report.out;
  // The first page: the survey, the report's date and the files by their names only.
  const std::string first_page =
      test::RunProgram("/usr/bin/pdftotext", {"-layout", "-l", "1", pdf, "-"}, dir_.path()).out;
  for (const std::string& said :
       {std::string("Town of Ashby"), std::string("A dog barked."),
        "Report made on " + DateText(LinearSeconds(PcDateTime())), std::string("day1.dlgr")}) {
    EXPECT_NE(first_page.find(said), std::string::npos) << said << "\n" << first_page;
  }
  EXPECT_TRUE(LineHolds(first_page, {"Site", "Mill Lane 4"})) << first_page;
  const test::ToolRun text =
      test::RunProgram("/usr/bin/pdftotext", {"-layout", pdf, "-"}, dir_.path());
  ASSERT_EQ(text.exit_code, 0) << text.err;
  // The last interval: its start, its records and its L99 (the last field).
  const std::string row = test::Lines(csv.out).back();
  const std::string start = row.substr(0, row.find(','));
  const std::string l99 = row.substr(row.rfind(',') + 1);
  EXPECT_TRUE(LineHolds(text.out, {start, "60", "100.0"})) << row << "\n" << text.out;
  EXPECT_TRUE(LineHolds(text.out, {start, l99})) << row;
  EXPECT_TRUE(
      LineHolds(text.out, {"2024/05/01 13:00:00", "2024/05/01 13:20:00", "1200", "road works"}));
  EXPECT_TRUE(LineHolds(text.out, {"Page 1 of "})) << text.out;
  EXPECT_EQ(text.out.find(dir_.path()), std::string::npos) << text.out;
  // Many events: their counts, the ten loudest, and not all of them.
  with_pdf[4] = "60";
  ASSERT_EQ(Run(with_pdf).exit_code, 0);
  const std::string events =
      test::RunProgram("/usr/bin/pdftotext", {"-layout", pdf, "-"}, dir_.path()).out;
  for (const char* said : {"Events per day", "23:00-24:00", "The 10 loudest events, by Lmax",
                           "is left out of this report"}) {
    EXPECT_NE(events.find(said), std::string::npos) << said << "\n" << events;
  }
  const test::ToolRun fonts = test::RunProgram("/usr/bin/pdffonts", {pdf}, dir_.path());
  std::istringstream lines(fonts.out);
  int embedded = 0;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
    // name, type..., encoding, emb, sub, uni, object, generation
    if (w.size() < 6 || w[0] == "name" || w[0].front() == '-') continue;
    EXPECT_EQ(w[w.size() - 5], "yes") << line;
    ++embedded;
  }
  EXPECT_GT(embedded, 0) << fonts.out;
}

TEST_F(SlmtoolAssess, BadInputExitsTwoAndAFileThatCannotBeReadOne) {
  const std::string file = dir_.File("day.dlgr");
  const std::string later = dir_.File("later.dlgr");
  test::WriteBytes(file, Recording("2024/05/01 10:00:00", 30, "60.0"));
  test::WriteBytes(later, Recording("2024/05/01 10:00:00", 10, "60.0"));
  const std::string side = "2024/05/01 10:00:10..2024/05/01 10:00:20 siren\n";
  test::WriteBytes(file + ".exclusions", side);
  // A side file that is a pipe, and one of binary bytes.
  const std::string piped = Write("piped.dlgr", Recording("2024/05/01 10:00:00", 3, "60.0"));
  ASSERT_EQ(::mkfifo((piped + ".exclusions").c_str(), 0600), 0);
  const std::string binary = Write("binary.dlgr", Recording("2024/05/01 10:00:00", 3, "60.0"));
  Write("binary.dlgr.exclusions",
        "\x7f"
        "ELF\x02\x01\x01" +
            std::string(200, '\xfe'));
  struct Case {
    std::vector<std::string> args;
    int exit_code;
    std::string said;
  };
  const Case cases[] = {
      {{"assess", file, "--threshold", "loud"}, 2, "the threshold is a level in dB"},
      {{"assess", file, "--csv", "--table", "nights"}, 2, "--table takes intervals, days"},
      {{"assess", file, "--interval", "7000"}, 2, "divide a day"},
      {{"assess", file, "--exclude", "2024/05/01 10:00:20..2024/05/01 10:00:10"},
       2,
       "ends before it starts"},
      {{"assess", file, "--hold", "5"}, 2, "go with --threshold"},
      {{"assess"}, 2, "one or more FILEs"},
      {{"assess", dir_.File("missing.dlgr")}, 1, "missing.dlgr"},
      {{"assess", file, later}, 1, "overlap"},
      {{"assess", later, file, "--csv", "-o", file}, 2, "this command reads (one of its files)"},
      {{"assess", later, "--csv", "-o", later + ".exclusions"}, 2, "the side file of " + later},
      {{"assess", piped}, 1, piped + ".exclusions cannot be read: it is a pipe, not a file."},
      {{"assess", binary},
       1,
       "line 1: \"?ELF???" + std::string(33, '?') + "...\" is no stretch of time"},
      {{"assess", file, "--json", "-o", dir_.File("report.pdf")}, 2, "writes the report"},
      {{"assess", file, "--all-events"}, 2, "--all-events goes with -o FILE.pdf"},
      {{"assess", file, "--csv", "-o", dir_.File("day.survey")}, 2, "the side file of " + file},
      {{"assess", file, "--survey", dir_.File("none.survey")}, 1, "none.survey cannot be read"},
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
  EXPECT_EQ(test::ReadBytes(file + ".exclusions"), side);
}

}  // namespace
}  // namespace slm
