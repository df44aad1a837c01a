// `slmtool assess` run as a user runs it: the forms of its output, the side
// files of exclusions, and its exit codes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <iterator>
#include <regex>
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

  // A record a minute, under and over range, worked out by hand: 70 and 25 dB
  // give 10 log10((10^7 + 10^2.5) / 2) = 66.99, SEL + 10 log10(120 s) = 87.78;
  // 145 and 72 dB give 141.99 and 162.78. L50 of two records is the lower.
  const test::ToolRun minutes = Run({"assess",
                                     Write("minutes.dlgr",
                                           "No.s\tDate Time\tdB\t\r\n"
                                           "1\t2024/05/01 10:00:00\t70.0\t\r\n"
                                           "2\t2024/05/01 10:01:00\t--\t\r\n"
                                           "3\t2024/05/01 10:02:00\tL\t\r\n"
                                           "4\t2024/05/01 10:03:00\t72.0\t\r\n"),
                                     "--interval", "120", "--percentiles", "50", "--csv"});
  EXPECT_EQ(minutes.out,
            "start,count,under_range,over_range,coverage,leq,lmax,lmax_time,lmin,sel,L50\r\n"
            "2024/05/01 10:00:00,2,1,0,100.0,67.0,70.0,2024/05/01 10:00:00,25.0,87.8,25.0\r\n"
            "2024/05/01 10:02:00,2,0,1,100.0,142.0,145.0,2024/05/01 10:02:00,72.0,162.8,72.0\r\n");
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

// The values of `"key": value` pairs in one line of the JSON form, in order;
// null as "missing", as the report writes what could not be had.
std::vector<std::string> Values(const std::string& json_line) {
  static const std::regex pair("\"(\\w+)\": (\"([^\"]*)\"|null|[-0-9.]+)");
  std::vector<std::string> values;
  for (auto it = std::sregex_iterator(json_line.begin(), json_line.end(), pair);
       it != std::sregex_iterator(); ++it) {
    const std::string value = (*it)[3].matched ? (*it)[3].str() : (*it)[2].str();
    values.push_back(value == "null" ? "missing" : value);
  }
  return values;
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

TEST_F(SlmtoolAssess, TheReportCarriesEveryFigureOfTheJsonForm) {
  const std::string day1 = dir_.File("day1.dlgr");
  const std::string day2 = dir_.File("day2.dlgr");
  const std::int64_t may1 = *ParseClockText("2024/05/01 00:00:00");
  SaveMinutes(day1, may1, 1440);
  SaveMinutes(day2, may1 + kSecondsPerDay, 900);
  // The same stretch in two side files (the Assessment window writes one
  // that spans two files to both) counts once.
  for (const std::string& day : {day1, day2}) {
    test::WriteBytes(day + ".exclusions", "2024/05/01 13:00:00..2024/05/01 13:20:00 road works\n");
  }
  const std::vector<std::string> base = {"assess", day2, day1, "--threshold", "70", "--hold", "60"};
  std::vector<std::string> many = base;
  many.insert(many.end(), {"--percentiles", "0,1,2,3,4,5,10,20,30,40,50,60,70,80,90,95,96,97,99"});

  // With many percentiles the intervals are too wide for a page and go on in
  // parts, each row again with its start.
  for (const std::vector<std::string>& args : {base, many}) {
    const bool one_line = &args == &base;
    std::vector<std::string> with_json = args;
    with_json.push_back("--json");
    const test::ToolRun json = Run(with_json);
    ASSERT_EQ(json.exit_code, 0) << json.err;
    const std::string pdf = dir_.File("report.pdf");
    std::vector<std::string> with_pdf = args;
    with_pdf.insert(with_pdf.end(), {"-o", pdf});
    const test::ToolRun report = Run(with_pdf);
    ASSERT_EQ(report.exit_code, 0) << report.err;
    EXPECT_NE(report.out.find("written to " + pdf), std::string::npos) << report.out;
    const test::ToolRun text =
        test::RunProgram("/usr/bin/pdftotext", {"-layout", pdf, "-"}, dir_.path());
    ASSERT_EQ(text.exit_code, 0) << text.err;

    // The JSON form has one interval, day or event to a line.
    std::string section;
    int rows = 0;
    for (const std::string& line : test::Lines(json.out)) {
      const bool head = line.rfind("  \"", 0) == 0;
      if (head) section = line.substr(3, line.find('"', 3) - 3);
      std::vector<std::string> v = Values(line);
      if (head && (section == "above" || section == "rolling" || section == "excluded")) {
        ASSERT_GE(v.size(), section == "rolling" ? 3u : section == "above" ? 2u : 1u) << line;
      }
      if (!head && line.rfind("    {", 0) != 0) continue;
      if (section == "total") {
        // start, end, count, paused, under, over, leq, lmax, its time, lmin, sel, L1 ... L99
        ASSERT_GE(v.size(), 12u) << line;
        EXPECT_TRUE(LineHolds(text.out, {"Measured", v[0] + " to " + v[1]})) << line;
        EXPECT_TRUE(LineHolds(text.out, {"Records", v[2] + " counted, " + v[3] + " paused"}));
        EXPECT_TRUE(LineHolds(text.out, {"Leq", v[6] + " dB"}));
        EXPECT_TRUE(LineHolds(text.out, {"Lmax", v[7] + " dB at " + v[8]}));
        EXPECT_TRUE(LineHolds(text.out, {"Lmin", v[9] + " dB"}));
        EXPECT_TRUE(LineHolds(text.out, {"SEL", v[10] + " dB"}));
        EXPECT_TRUE(LineHolds(text.out, {"L99", v.back() + " dB"}));
      } else if (section == "above") {
        EXPECT_TRUE(LineHolds(text.out, {"Events", v[1] + " at or above", v[0] + " s above"}));
      } else if (section == "rolling") {
        EXPECT_TRUE(LineHolds(text.out, {"Worst rolling Leq", v[1] + " dB", v[2]})) << line;
      } else if (section == "excluded") {
        EXPECT_TRUE(LineHolds(text.out, {v[0] + " records were left out"})) << line;
      } else if (!head) {
        // The report's columns: intervals without the out-of-range counts
        // after the coverage; days with each part's coverage after its level.
        if (section == "intervals") v.erase(v.begin() + 3, v.begin() + 5);
        if (section == "days") v = {v[0], v[1], v[5], v[2], v[6], v[3], v[7], v[4]};
        if (one_line || section != "intervals") {
          EXPECT_TRUE(LineHolds(text.out, v)) << section << ": " << line << "\n" << text.out;
        } else {
          EXPECT_TRUE(LineHolds(text.out, {v.begin(), v.begin() + 8})) << line;
          for (std::size_t k = 8; k < v.size(); ++k) {
            EXPECT_TRUE(LineHolds(text.out, {v[0], v[k]})) << v[k] << " in " << line;
          }
        }
        ++rows;
      }
    }
    EXPECT_GT(rows, 40);
    EXPECT_TRUE(
        LineHolds(text.out, {"2024/05/01 13:00:00", "2024/05/01 13:20:00", "1200", "road works"}));
    EXPECT_TRUE(LineHolds(text.out, {"Exclusions", "1 stretch left out"})) << text.out;
    EXPECT_TRUE(LineHolds(text.out, {"Page 1 of "})) << text.out;
  }
  // Every font is in the file, so that it reads the same on any machine.
  const test::ToolRun fonts =
      test::RunProgram("/usr/bin/pdffonts", {dir_.File("report.pdf")}, dir_.path());
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
      {{"assess", file, "--threshold", "loud"}, 2, "--threshold takes a number"},
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
