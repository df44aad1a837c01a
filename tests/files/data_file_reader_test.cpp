#include "files/data_file_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "base/calendar.h"
#include "files/data_file_writer.h"
#include "files/list_summary.h"
#include "support/sample_lists.h"

namespace slm {
namespace {

DataFile Read(const std::string& text, const ReadProgressFn& progress = {}) {
  std::istringstream in(text);
  return OpenDataFile(in, "test.dlgr", progress);
}

// A plain list of `count` records numbered from 1.
std::string PlainList(std::size_t count) {
  std::string text = "No.s\tDate Time\tdB\t\r\n";
  for (std::size_t i = 1; i <= count; ++i) text += std::to_string(i) + "\t2016/03/23\t65.3\t\r\n";
  return text;
}

TEST(KindOfFirstLine, TestsForContainmentAndAsksForTheNewerSetFirst) {
  using enum ListKind;
  using Case = std::pair<const char*, ListKind>;
  for (const auto& [line, kind] :
       {Case{"Real Time", kRealTime}, Case{"Data Logger 2", kDataLogger2},
        Case{"Data Logger 20", kDataLogger2}, Case{"Data Logger", kDataLogger},
        Case{"Old Data Logger v1", kDataLogger}, Case{"Data Logger2", kDataLogger},
        Case{"data logger 2", kPlain}, Case{"No.s\tDate Time\tdB\t", kPlain}, Case{"", kPlain}}) {
    EXPECT_EQ(KindOfFirstLine(line), kind) << line;
  }
}

TEST(SplitRecordLine, TakesThreeFieldsAtTabsOrElseCommas) {
  const std::pair<const char*, Record> good[] = {
      {"12\t2016/03/23 14:05:09\t65.3\t", {"12", "2016/03/23 14:05:09", "65.3"}},
      {"12,2016/03/23 14:05:09,65.3,", {"12", "2016/03/23 14:05:09", "65.3"}},
      {"12,2016/03/23 14:05:09,80.0*", {"12", "2016/03/23 14:05:09", "80.0*"}},
      {"  7\tdate, with comma\t--\textra\t", {"7", "date, with comma", "--"}},
      {"1\t\t\t", {"1", "", ""}},
      // Quoted fields, as a CSV file holds a level with a decimal comma.
      {"2,2016/03/22 09:00:20,\"65,3\",", {"2", "2016/03/22 09:00:20", "65,3"}},
      {"2,2016/03/22 09:00:20,\"65,3\"", {"2", "2016/03/22 09:00:20", "65,3"}},
      {"\"3\",\"say \"\"loud\"\"\",\"\"", {"3", "say \"loud\"", ""}},
      {"4\t\"a\tb\"\t65.3\t", {"4", "a\tb", "65.3"}},
      {"5,\"a\tb\tc\",65.3,", {"5", "a\tb\tc", "65.3"}},  // tabs inside quotes split nothing
      {"6,\"line\rend\",65.3", {"6", "line\rend", "65.3"}},
      {"\" 7\"\tx\ty\t", {" 7", "x", "y"}},
      {"8\tx\ty\t\"open", {"8", "x", "y"}}};  // past the third field nothing is looked at
  for (const auto& [line, expected] : good) {
    Record fields;
    EXPECT_TRUE(SplitRecordLine(line, fields) && fields == expected) << line;
  }
  Record fields;
  for (const char* line : {"", "   ", "65.3", "1\t2016/03/23 14:05:09\t", "1,2016/03/23 14:05:09,",
                           "1;2016/03/23 14:05:09;65.3", "\t", "1,\"never closed,65.3,",
                           "1,\"a\"b,65.3,", "1\t2016\t80\"\t", "1,2016,\"65,3\"x"}) {
    EXPECT_FALSE(SplitRecordLine(line, fields)) << '"' << line << '"';
  }
}

TEST(HeaderValueFrom, SkipsLeadingBlanksOnlyAndDropsQuotes) {
  const struct {
    const char* line;
    std::size_t k;
    const char* value;
  } cases[] = {
      {"L05  91.0", 5, "91.0"},
      {"L05 91.0", 5, "91.0"},
      {"Max dB 84.7 ", 8, "84.7 "},
      {"L05 \t91.0", 5, "\t91.0"},
      {"\t80-140", 1, "\t80-140"},
      {"  Leq 72.3", 5, "q 72.3"},
      {"SET 3", 4, "3"},
      {"SE", 4, ""},
      {"L05 \"78,1\"", 5, "78,1"},
      {"\"a \"\"b\"\"\"", 1, "a \"b\""},
      {"  \" 65.3\"", 1, " 65.3"},
      {"\"never closed", 1, "\"never closed"},
      {"\"65\".3", 1, "65.3"},
      {"", 1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(HeaderValueFrom(c.line, c.k), c.value) << c.line;
}

// Each form as a file, documented by the files in tests/data.
TEST(OpenDataFile, ReadsEachFormFromItsExampleFile) {
  using enum ListKind;
  const struct {
    const char* name;
    ListKind kind;
    const char* header;  // second value | range | l05 | max level | leq
    std::size_t records;
    const char* last;  // number | date time | level
  } cases[] = {
      {"real_time.dlgr", kRealTime, "10|80-140||92.4|75.2", 4, "4|2016/03/23 14:07:19|92.4"},
      {"cr_only.dlgr", kRealTime, "10|80-140||92.4|75.2", 4, "4|2016/03/23 14:07:19|92.4"},
      {"data_logger_2.dlgr", kDataLogger2, "3|70-130|78.1|84.7|72.3", 3,
       "3|2016/03/22 09:00:40|84.7"},
      {"data_logger.dlgr", kDataLogger, "5|60-120|71.0|88.8|66.6", 2, "2|2015/01/02 03:04:06|88.8"},
      {"plain_list.dlgr", kPlain, "||||", 3, "3|2016/03/23 14:05:11|65.5"},
      {"mixed_line_ends.dlgr", kPlain, "||||", 4, "4|2016/03/23 14:05:12|65.6"},
      {"export.csv", kDataLogger2, "3|70-130|78,1|84.7|72.3", 3, "3|2016/03/22 09:00:40|84.7"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = std::string(SLM_TEST_DATA_DIR) + "/" + c.name;
    const DataFile file = OpenDataFile(path);
    // A summary keeps no record and says what the whole read says.
    EXPECT_EQ(DataFileSummary(ReadDataFileSummary(path)), DataFileSummary(file));
    const ListHeader& h = file.list.header();
    EXPECT_EQ(h.kind, c.kind);
    EXPECT_EQ(h.second_value + "|" + h.range + "|" + h.l05 + "|" + h.max_level + "|" + h.leq,
              c.header);
    EXPECT_EQ(file.skipped_lines, 0u);
    ASSERT_EQ(file.list.size(), c.records);
    EXPECT_EQ(file.list.record(0).number, "1");
    const Record last = file.list.record(c.records - 1).ToRecord();
    EXPECT_EQ(last.number + "|" + last.date_time + "|" + last.level, c.last);
  }
}

TEST(OpenDataFile, CrLfAndCrEachEndALineAndALoneCrMergesNothing) {
  // (The example files show whole lists with CR and mixed line ends.) A CR inside a field breaks
  // its line in two, and both halves are reported.
  const DataFile stray =
      Read("No.s\tDate Time\tdB\t\n1\t2016/03/23 14:05:09\t65.3\t\n2\t2016/03\r/23\t65.4\t\n");
  EXPECT_EQ(stray.list.size(), 1u);
  EXPECT_EQ(stray.skipped_lines, 2u);

  // Lines counted exactly: CR LF is one line end, CR CR two, LF CR two.
  EXPECT_EQ(Read("a\r\nb\r\nc").lines, 3u);
  EXPECT_EQ(Read("a\r\rb").lines, 3u);
  EXPECT_EQ(Read("a\n\rb").lines, 3u);
  EXPECT_EQ(Read("a\r").lines, 1u);
}

TEST(OpenDataFile, CrLfSplitBetweenTwoChunksIsOneLineEnd) {
  // Records of 32 bytes (CR LF included) from the title line on: a line end
  // falls on the chunk boundary of 1 MB with its CR in one chunk, its LF in the next.
  std::string text = "No.s\tDate Time\tdB\t\r\n";
  text.insert(0, 32 - text.size(), ' ');
  while (text.size() < (1u << 20) + 64) {
    text += "0000001\t2016/03/23 14:05\t65.3\t\r\n";
  }
  ASSERT_EQ(text.size() % 32, 0u);
  ASSERT_EQ(text[(1u << 20) - 2], '\r');
  // Move the boundary one byte later so that the CR is the chunk's last byte.
  text.insert(0, " ");
  ASSERT_EQ(text[(1u << 20) - 1], '\r');
  const DataFile file = Read(text);
  EXPECT_EQ(file.lines, (text.size() - 1) / 32);
  EXPECT_EQ(file.list.size(), (text.size() - 1) / 32 - 1);
  EXPECT_EQ(file.skipped_lines, 0u);
}

TEST(OpenDataFile, AHeaderCutShortKeepsTheValuesItHas) {
  EXPECT_TRUE(Read("").list.empty());
  const DataFile short_file =
      Read("Real Time\n 10\nA\nFAST\n80-140\n  92.4\n");  // header cut short
  const ListHeader& r = short_file.list.header();
  EXPECT_EQ(r.kind, ListKind::kRealTime);
  EXPECT_EQ(r.second_value + "|" + r.frequency_weighting + "|" + r.max_level, "10|A|92.4");
  EXPECT_TRUE(short_file.list.empty());
  EXPECT_EQ(short_file.skipped_lines, 0u);
}

TEST(OpenDataFile, PlainListIgnoresItsFirstLineAndSkipsLinesThatDoNotSplit) {
  const DataFile file = Read(
      "1\t2016/03/23 14:05:08\t99.9\t\n1\t2016/03/23 14:05:09\t65.3\t\ngarbage\n"
      "2\t2016/03/23 14:05:10\t\n\n3;2016/03/23 14:05:11;65.5\n4,2016/03/23 14:05:12,65.6\n   \n");
  EXPECT_EQ(file.skipped_lines, 3u);  // blank lines lose no record and are not counted
  EXPECT_FALSE(file.last_line_cut);
  ASSERT_EQ(file.list.size(), 2u);
  EXPECT_EQ(file.list.record(0), (RecordView{"1", "2016/03/23 14:05:09", "65.3"}));
  EXPECT_EQ(file.list.record(1), (RecordView{"4", "2016/03/23 14:05:12", "65.6"}));
  ListHeader no_header;
  no_header.kind = ListKind::kPlain;
  EXPECT_EQ(file.list.header(), no_header);
}

TEST(OpenDataFile, ALastLineWithoutLineEndIsARecordOnlyWhenItsLevelIsWhole) {
  const std::string head = "No.s\tDate Time\tdB\t\r\n1\t2026/12/07 03:37:31\t62.1\t\r\n";
  const struct {
    const char* last;
    bool read;
  } cases[] = {
      {"4\t2026/12/07 03:37:32\t6", false},  // was 64.1 when it was cut
      {"4\t2026/12/07 03:37:32\t64.1\t", true},  {"4\t2026/12/07 03:3", false},
      {"4,2026/12/07 03:37:32,6", false},      // a CSV recording's line ends without a comma
      {"4,2026/12/07 03:37:32,64.1\r", true},  // its CR came after the level
      {"4,2026/12/07 03:37:32,\"64,1\"", false},
  };
  for (const auto& c : cases) {
    const DataFile file = Read(head + c.last);
    EXPECT_EQ(file.list.size(), c.read ? 2u : 1u) << c.last;
    EXPECT_EQ(file.skipped_lines, c.read ? 0u : 1u) << c.last;
    EXPECT_EQ(file.last_line_cut, !c.read) << c.last;
  }
}

TEST(OpenDataFile, ZeroBytesAtTheEndAreADamagedEndWithTheRecordsBeforeIt) {
  const std::string zeros(4096, '\0');
  const std::string title = "No.s\tDate Time\tdB\t\r\n";
  const std::string records =
      "1\t2026/12/07 03:37:31\t62.1\t\r\n2\t2026/12/07 03:37:32\t64.1\t\r\n3\t2026/12/07 03:3";
  // A saved recording, and a temporary recording file a crash left behind.
  for (const std::string& head :
       {"Real Time\r\n1\r\nA\r\nFAST\r\n30-90\r\n\r\n\r\n\r\n\r\n" + title, title}) {
    test::TempDir dir;
    test::WriteBytes(dir.File("cut.dlgr"), head + records + zeros);
    const DataFile file = OpenDataFile(dir.File("cut.dlgr"));
    EXPECT_EQ(file.list.size(), 2u) << head;
    EXPECT_EQ(file.damaged_bytes, zeros.size());
    EXPECT_EQ(file.skipped_lines, 1u);
    EXPECT_TRUE(file.last_line_cut);
  }
  test::TempDir dir;
  test::WriteBytes(dir.File("zeros.dlgr"), zeros);
  try {
    OpenDataFile(dir.File("zeros.dlgr"));
    ADD_FAILURE() << "a file of zero bytes was opened";
  } catch (const DataFileError& e) {
    EXPECT_EQ(std::string(e.what()), dir.File("zeros.dlgr") +
                                         " is damaged: it holds only zero bytes, as a power cut "
                                         "leaves a file that was never written");
  }
}

// Whole blocks of zero bytes inside a file (a damaged card, a file system
// that crashed) take the lines they touch, and the records around them are
// read; where and how much is said.
TEST(OpenDataFile, ZeroBlocksInsideAreReadAroundAndSaidWhere) {
  // Lines of 31 bytes, record r on line r: the block from byte 1024 to 1536
  // cuts record 33, takes records 34 to 48, and cuts record 49.
  std::string text = "Levels of a hundred seconds..\r\n";
  for (int r = 1; r <= 100; ++r) {
    char number[4];
    std::snprintf(number, sizeof number, "%03d", r);
    text += std::string(number) + "\t" + ClockText(*ParseClockText("2024/05/01 10:00:00") + r) +
            "\t65.3\t\r\n";
  }
  ASSERT_EQ(text.size(), 101u * 31);
  // The block cuts record 033, or, a byte later in the file, begins where it begins.
  for (const std::string lead : {"", " "}) {
    std::string damaged = lead + text;
    damaged.replace(1024, 512, 512, '\0');
    const DataFile file = Read(damaged);
    EXPECT_EQ(file.list.size(), 83u);
    EXPECT_EQ(file.list.number(31), "032");
    EXPECT_EQ(file.list.number(32), "050");
    EXPECT_EQ(file.skipped_lines, 0u) << lead.size();
    EXPECT_EQ(PartialReadNotes(file),
              std::vector<std::string>{
                  "The file is damaged inside: 512 zero bytes at line 34 took 17 lines between "
                  "record 032 (2024/05/01 10:00:32) and record 050 (2024/05/01 10:00:50). The "
                  "records around the damage were read."});
    test::TempDir dir;
    test::WriteBytes(dir.File("damaged.dlgr"), damaged);
    const DataFile summary = ReadDataFileSummary(dir.File("damaged.dlgr"));
    EXPECT_TRUE(summary.list.empty());
    EXPECT_EQ(summary.records, 83u);
    EXPECT_EQ(PartialReadNotes(summary), PartialReadNotes(file));
  }
  // Of many damaged blocks the first three say where.
  std::string blocks = text + text;
  for (std::size_t at = 512; at < 4096; at += 1024) blocks.replace(at, 512, 512, '\0');
  const std::string note = PartialReadNotes(Read(blocks)).at(0);
  EXPECT_EQ(std::count(note.begin(), note.end(), ';'), 3) << note;
  EXPECT_NE(note.find("; and 1 more such place"), std::string::npos) << note;
  text.replace(1024, 512, 512, '\0');
  // Zero bytes that are no whole blocks are no damage: the file is binary.
  EXPECT_THROW(Read("x" + text), DataFileError);  // a block's length, not at a block's start
  text.replace(1024, 1, "x");
  EXPECT_THROW(Read(text), DataFileError);
}

// A level is a plain decimal as the meter writes it, "--", an "L" or a "*"
// on one; a line with anything else is skipped like a line that does not
// split, and said with its first such level in printable characters.
TEST(OpenDataFile, LinesWithoutALevelAsTheMeterWritesItAreSkipped) {
  const std::vector<std::string> levels = {
      "65.3",  "-065.3", "85",   "--",  "L", "140.0L", "80.0*", "\x1b[2J", "7e1",   "+70",
      "1e308", "1e400",  "65,3", "abc", "",  "-",      ".",     "6.5.3",   "L65.3L"};
  std::string text = "No.s\tDate Time\tdB\t\r\n";
  for (const std::string& level : levels) text += "1\t2024/05/01 10:00:00\t" + level + "\t\r\n";
  const DataFile file = Read(text);
  ASSERT_EQ(file.list.size(), 7u);
  EXPECT_EQ(file.list.level(6), "80.0*");
  EXPECT_EQ(file.skipped_lines, 12u);
  EXPECT_EQ(PartialReadNotes(file),
            std::vector<std::string>{"12 lines were skipped (no level as the meter writes it; "
                                     "the first on line 9: \"?[2J\")."});
}

TEST(OpenDataFile, ALineOverTheLimitIsNoRecord) {
  const std::string long_field(kMaxLineBytes + 1, '7');
  const DataFile file = Read("Real Time\n" + long_field + "\nA\nFAST\n80-140\n\n\n\n\nNo.s\n" +
                             "1\t" + long_field + "\t65.3\t\n" + "2\tx\t65.4\t\n" + long_field);
  EXPECT_TRUE(file.list.header().second_value.empty());  // too long to be a value either
  EXPECT_EQ(file.list.header().frequency_weighting, "A");
  EXPECT_EQ(file.lines, 13u);
  EXPECT_EQ(file.skipped_lines, 2u);
  ASSERT_EQ(file.list.size(), 1u);
  EXPECT_EQ(file.list.number(0), "2");
  // Up to the limit a line is still read.
  EXPECT_EQ(Read("\n1\t" + std::string(kMaxLineBytes - 8, '7') + "\t65.3\t").list.size(), 1u);
}

// Serves `size` bytes `c` (no line end anywhere) and counts what was taken.
class Filler : public std::streambuf {
 public:
  Filler(std::size_t size, char c) : left_(size), c_(c) {}
  std::size_t served = 0;

 protected:
  std::streamsize xsgetn(char* to, std::streamsize n) override {
    const std::size_t give = std::min(left_, static_cast<std::size_t>(n));
    std::fill(to, to + give, c_);
    left_ -= give;
    served += give;
    return static_cast<std::streamsize>(give);
  }
  int_type underflow() override { return traits_type::eof(); }

 private:
  std::size_t left_;
  char c_;
};

TEST(OpenDataFile, ALineWithoutEndStopsTheReadWithAnErrorNamingTheFile) {
  // A terabyte: only the limit ends the read, of a line or of a damaged end.
  for (const char c : {'x', '\0'}) {
    Filler endless(std::size_t{1} << 40, c);
    std::istream in(&endless);
    try {
      OpenDataFile(in, "zero.dlgr");
      ADD_FAILURE() << "no error";
    } catch (const DataFileError& e) {
      EXPECT_EQ(e.path(), "zero.dlgr");
      EXPECT_NE(std::string(e.what()).find("\"zero.dlgr\""), std::string::npos) << e.what();
    }
    EXPECT_LE(endless.served, kMaxSkippedBytes + (std::size_t{2} << 20));
  }

  // Less than the limit is one long line that is no record.
  Filler some(3 * kMaxLineBytes, 'x');
  std::istream short_in(&some);
  const DataFile file = OpenDataFile(short_in, "zero.dlgr");
  EXPECT_EQ(file.lines, 1u);
  EXPECT_TRUE(file.list.empty());
}

TEST(OpenDataFile, MemoryFollowsTheRecordsNotTheFileSize) {
  std::string text = PlainList(10);
  const std::string junk(kMaxLineBytes - 100, 'x');
  for (int i = 0; i < 40; ++i) text += junk + "\r\n";
  const DataFile file = Read(text);
  EXPECT_EQ(file.list.size(), 10u);
  EXPECT_EQ(file.skipped_lines, 40u);
  EXPECT_LT(file.list.MemoryBytes(), 4096u);
}

TEST(OpenDataFile, ReportsProgressCanBeCancelledAndStopsAtTheListLimit) {
  const std::string text = PlainList(20000);
  std::vector<ReadProgress> calls;
  const DataFile all = Read(text, [&](const ReadProgress& p) {
    calls.push_back(p);
    return true;
  });
  EXPECT_EQ(all.list.size(), 20000u);
  EXPECT_FALSE(all.cancelled);
  // A few updates, the first after kProgressLines lines and the last at the end.
  ASSERT_GE(calls.size(), 2u);
  EXPECT_LE(calls.size(), 20001u / kProgressLines + 1);
  EXPECT_EQ(calls.front().lines, kProgressLines);
  EXPECT_EQ(calls.front().records, kProgressLines - 1);
  EXPECT_EQ(calls.front().caption, std::to_string(kProgressLines - 1) + " Records Completed");
  EXPECT_EQ(calls.back().lines, 20001u);
  EXPECT_EQ(calls.back().bytes, text.size());
  EXPECT_EQ(calls.back().caption, "20000 Records Completed");

  const DataFile part = Read(text, [](const ReadProgress&) { return false; });
  EXPECT_TRUE(part.cancelled);
  EXPECT_EQ(part.list.size(), kProgressLines - 1);

  std::vector<std::string> small;
  Read(PlainList(3), [&](const ReadProgress& p) {
    small.push_back(p.caption);
    return true;
  });
  EXPECT_EQ(small, std::vector<std::string>{"3 Records Completed"});

  const DataFile file = Read(PlainList(kMaxRecords + 2));
  EXPECT_TRUE(file.truncated);
  ASSERT_EQ(file.list.size(), kMaxRecords);
  EXPECT_EQ(file.list.number(kMaxRecords - 1), std::to_string(kMaxRecords));
}

// Files that hold no list are refused by their absolute path; a plain list
// and a recording stopped before its first sample are lists.
TEST(OpenDataFile, FilesThatHoldNoListAreRefusedByTheirAbsolutePath) {
  test::TempDir dir;
  RecordList none = test::SampleRealTimeList();
  none.Clear();
  const struct {
    const char* name;
    std::string bytes;
    const char* refusal;  // nullptr: a list
  } cases[] = {
      {"empty.dlgr", "", " is empty"},
      {"notes.txt", "Shopping\r\nbread\r\nmilk and honey\r\n",
       " is not a data file: no record line found"},
      // Lines that split at tabs, but with NUL bytes among them.
      {"program.bin",
       std::string("\x7f"
                   "ELF\r\n1\t2\t3\r\n") +
           std::string(3, '\0') + "4\t5\t6\r\n",
       " is not a data file: no record line found"},
      {"plain.dlgr", "anything\r\n1\t2024/05/01 10:00:00\t65.3\t\r\n", nullptr},
      {"none.dlgr", FormatListFile(none, Separator::kTab), nullptr},
  };
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  for (const auto& c : cases) {
    test::WriteBytes(c.name, c.bytes);
    try {
      const DataFile file = OpenDataFile(std::string("./") + c.name);
      EXPECT_EQ(c.refusal, nullptr) << c.name;
      EXPECT_EQ(file.list.size(), c.name == std::string("plain.dlgr") ? 1u : 0u);
    } catch (const DataFileError& e) {
      EXPECT_EQ(e.what(), dir.File(c.name) + (c.refusal ? c.refusal : " opened"));
    }
  }
  std::filesystem::current_path(before);
}

TEST(OpenDataFile, FromDiskTakesTheFileTitleAndErrorsNameTheFile) {
  test::TempDir dir;
  test::WriteBytes(dir.File("night.dlgr"), "Real Time\r\n1\r\n");
  EXPECT_EQ(OpenDataFile(dir.File("night.dlgr")).title, "night.dlgr");
  for (const std::string& path : {dir.File("missing.dlgr"), dir.File("")}) {
    try {
      OpenDataFile(path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const DataFileError& e) {
      EXPECT_EQ(e.path(), path);
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
  std::istringstream broken("Real Time\r\n");
  broken.setstate(std::ios::badbit);
  EXPECT_THROW(OpenDataFile(broken, "stream.dlgr"), DataFileError);
}

}  // namespace
}  // namespace slm
