#include "analysis/list_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/sample_lists.h"

namespace slm {
namespace {

using ::testing::ElementsAreArray;

// A memory set of `levels`, one record a second from 10:00:00.
RecordList ListOf(const std::vector<std::string>& levels) {
  RecordList list = test::ListOf(levels, "2024/03/01 10:00:00");
  ListHeader& h = list.header();
  h.frequency_weighting = "A";
  h.time_weighting = "FAST";
  h.range = "30-130";
  h.max_level = "91.4";
  h.max_time = "2024/03/01 10:00:04";
  h.sel = "99.9";
  h.leq = "72.5";
  return list;
}

const std::vector<std::string> kSevenLevels = {"60.1", "61.2", "62.3*", "--",
                                               "91.4", "65.0", "100.0"};

// Every copy's head, written out by hand.
const std::vector<std::string> kHead = {
    " ",
    " ",
    " ",
    " ",
    "-         Freq Weight : A",
    "-         Time Weight : FAST",
    "-         Level Range : 30-130",
    "-         Max dB : 91.4 - 2024/03/01 10:00:04",
    "-         Level Range : 30-130",
    "-         SEL : 99.9",
    "-         Leq : 72.5",
    "-",
    "          No.s            Date Time     (dB)",
    "         -----------------------------------------------------------------------",
};

std::vector<std::string> HeadThen(const std::vector<std::string>& rows) {
  std::vector<std::string> lines = kHead;
  lines.insert(lines.end(), rows.begin(), rows.end());
  return lines;
}

TEST(ListReport, RecordsAreGroupedFromTheFirstInColumnsOfFixedWidths) {
  const ListReport report = BuildListReport(ListOf(kSevenLevels), 3);
  EXPECT_FALSE(report.stop.has_value());
  EXPECT_THAT(report.lines, ElementsAreArray(HeadThen({
                                "             1  2024/03/01 10:00:00     60.1     61.2    62.3*",
                                "             4  2024/03/01 10:00:03       --     91.4     65.0",
                                "             7  2024/03/01 10:00:06    100.0",
                            })));
  // The columns keep their widths for every count per line.
  const RecordList list = ListOf(kSevenLevels);
  for (int per = 1; per <= 5; ++per) {
    const ListReport report = BuildListReport(list, per);
    const std::size_t rows = (7 + per - 1) / per;
    ASSERT_EQ(report.lines.size(), kHead.size() + rows) << per;
    for (std::size_t r = 0; r < rows; ++r) {
      const std::size_t levels = std::min<std::size_t>(per, 7 - r * per);
      EXPECT_EQ(report.lines[kHead.size() + r].size(), 14 + 21 + 9 * levels) << per << " " << r;
    }
  }
}

TEST(ListReport, EachCopyRepeatsTheWholeReportAndAnEmptyListItsHeadOnly) {
  const RecordList list = ListOf({"60.1", "61.2"});
  const ListReport one = BuildListReport(list, 2);
  const ListReport two = BuildListReport(list, 2, 2);
  std::vector<std::string> twice = one.lines;
  twice.insert(twice.end(), one.lines.begin(), one.lines.end());
  EXPECT_EQ(one.lines.size(), kHead.size() + 1);
  EXPECT_EQ(two.lines, twice);
  // An empty list prints its head only.
  int calls = 0;
  const ListReport report = BuildListReport(ListOf({}), 3, 1, [&](std::size_t) { ++calls; });
  EXPECT_EQ(report.lines, kHead);
  EXPECT_EQ(calls, 0);
}

TEST(ListReport, ATextTooLongForItsFieldStopsTheReportBeforeItsLine) {
  const std::string long_number(15, '9');
  const std::string long_time(22, '0');
  const struct {
    int record;  // 0-based record whose field is too long
    int field;   // 0 number, 1 date time, 2 level
    std::string text;
    int per;
    std::size_t stop_row;
    const char* field_name;
    std::size_t width;
    std::size_t rows_kept;
  } cases[] = {
      {3, 0, long_number, 1, 4, "No.s", 14, 3},
      {6, 1, long_time, 3, 7, "Date Time", 21, 2},
      {4, 2, "1234567890", 3, 5, "dB", 9, 1},  // the second line, at its second level
      {0, 2, "1234567890", 2, 1, "dB", 9, 0},
  };
  for (const auto& c : cases) {
    RecordList list;
    list.header() = ListOf({}).header();
    for (int i = 0; i < 7; ++i) {
      Record r{std::to_string(i + 1), "2024/03/01 10:00:0" + std::to_string(i), kSevenLevels[i]};
      if (i == c.record) (c.field == 0 ? r.number : c.field == 1 ? r.date_time : r.level) = c.text;
      list.Append(r);
    }
    const ListReport report = BuildListReport(list, c.per, 2);
    ASSERT_TRUE(report.stop.has_value()) << c.field_name;
    EXPECT_EQ(report.stop->row, c.stop_row);
    EXPECT_EQ(report.stop->field, c.field_name);
    EXPECT_EQ(report.stop->text, c.text);
    EXPECT_EQ(report.stop->width, c.width);
    // The lines before it stay; the second copy never starts.
    const ListReport before = BuildListReport(ListOf(kSevenLevels), c.per);
    ASSERT_EQ(report.lines.size(), kHead.size() + c.rows_kept) << c.field_name;
    EXPECT_TRUE(std::equal(report.lines.begin(), report.lines.end(), before.lines.begin()));
  }
}

TEST(ListReport, AFieldExactlyAsWideAsItsColumnFitsAndOneWiderIsNamedInTheStopText) {
  const ListReport report = BuildListReport(ListOf({"123456789"}), 1);  // nine characters in nine
  EXPECT_FALSE(report.stop.has_value());
  EXPECT_EQ(report.lines.back(), "             1  2024/03/01 10:00:00123456789");
  EXPECT_EQ(ReportStopText({12, "Date Time", "2024/03/01 10:00:00 extra", 21}),
            "The report stopped at record 12: its Date Time \"2024/03/01 10:00:00 extra\" is "
            "longer than the 21 characters of its column. The lines before it were printed.");
}

TEST(ListReport, ProgressStartsAtTheFirstLineAndEndsAtTheLastLineOfTheLastCopy) {
  std::vector<std::size_t> rows;
  BuildListReport(ListOf(kSevenLevels), 3, 2, [&](std::size_t row) { rows.push_back(row); });
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows.front(), 1u);
  EXPECT_EQ(rows.back(), 7u);
  EXPECT_LE(rows.size(), 6u);  // at most once a line
}

// The leading number is read as everywhere (number_text_test); here its range.
TEST(RecordsPerLine, TakesTheWholePartOfALeadingNumberFromOneToFive) {
  for (const auto& [answer, per] : {std::pair{"1", 1}, {"5", 5}, {"2.7", 2}, {"4 records", 4}}) {
    EXPECT_EQ(ParseRecordsPerLine(answer), per) << answer;
  }
  for (const char* answer : {"0", "6", "5.5", "0.9", "abc"}) {
    EXPECT_EQ(ParseRecordsPerLine(answer), std::nullopt) << answer;
  }
}

}  // namespace
}  // namespace slm
