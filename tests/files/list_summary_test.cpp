#include "files/list_summary.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "files/data_file_reader.h"
#include "files/data_file_writer.h"
#include "support/sample_lists.h"

namespace slm {
namespace {

// The summary of `text` read as a file, its lines ended by '|'.
std::string Summary(const std::string& text) {
  std::istringstream in(text);
  const DataFile file = OpenDataFile(in, "test.dlgr");
  std::string joined;
  for (const std::string& line : DataFileSummary(file)) joined += line + "|";
  return joined;
}

TEST(ListSummary, EachKindShowsItsWindowAndThatWindowsLabels) {
  EXPECT_EQ(Summary(FormatListFile(test::SampleRealTimeList(), Separator::kTab)),
            "Kind: Real Time|Window: FileListReal|Sampling period: 10 s|Freq Weight: A|"
            "Time Weight: FAST|Level Range: 80-140|Max dB: 92.4|Max Time: 2016/03/23 14:07:19|"
            "Leq: 75.2|SEL: 101.3|Records: 4|");
  // Blanks around values, as a file edited by hand may have them.
  EXPECT_EQ(Summary("Data Logger 2\r\nSET 3\r\nC\r\nSLOW\r\nRange 70-130\r\nL05  78.1\r\n"
                    "L10 76.0\r\nL50 70.4\r\nL90 66.2\r\nL95 65.9\r\nMax dB 84.7\r\n"
                    "2016/03/22 09:00:40\r\nSEL 96.1\r\nLeq 72.3\r\nNo.s\tDate Time\tdB\t\r\n"
                    "1\t2016/03/22 09:00:00\t66.0\t\r\n2\t2016/03/22 09:00:20\t70.4\t\r\n"),
            "Kind: Data Logger 2|Window: FileList|Set: 3|Freq Weight: C|Time Weight: SLOW|"
            "Level Range: 70-130|Max dB: 84.7|Max Time: 2016/03/22 09:00:40|L 05: 78.1|"
            "L 10: 76.0|L 50: 70.4|L 90: 66.2|L 95: 65.9|Leq: 72.3|SEL: 96.1|Records: 2|");
  EXPECT_EQ(Summary("Data Logger\n5\nA\nIMP\n60-120\n71.0\n70.0\n65.0\n60.0\n59.0\n80.2\n"
                    "2015/01/02 03:04:05\n90.0\n68.8\nNo.s\tDate Time\tdB\t\n"),
            "Kind: Data Logger|Window: FileList|Set: 5|Freq Weight: A|Time Weight: IMP|"
            "Level Range: 60-120|Max dB: 80.2|Max Time: 2015/01/02 03:04:05|L 05: 71.0|"
            "L 10: 70.0|L 50: 65.0|L 90: 60.0|L 95: 59.0|Leq: 68.8|SEL: 90.0|Records: 0|");
  EXPECT_EQ(Summary("No.s\tDate Time\tdB\t\n1\t2016/03/23 14:05:09\t65.3\t\n"),
            "Kind: plain list|Window: FileListReal|Records: 1|");
  EXPECT_EQ(Summary(""), "Kind: none (the file is empty)|Window: none|Records: 0|");
  // Empty values get no trailing blank.
  EXPECT_EQ(Summary("Real Time\r\n\r\nA\r\n"),
            "Kind: Real Time|Window: FileListReal|Sampling period:|Freq Weight: A|Time Weight:|"
            "Level Range:|Max dB:|Max Time:|Leq:|SEL:|Records: 0|");
}

TEST(PartialReadNotes, SayWhatOfTheFileWasNotRead) {
  const struct {
    std::size_t damaged_bytes, skipped_lines;
    bool last_line_cut, truncated;
    std::string notes;
  } cases[] = {
      {0, 0, false, false, ""},
      {0, 2, false, false, "2 lines were skipped (not three fields).|"},
      {4096, 1, true, false,
       "The end of the file was damaged: 4096 zero bytes, as a power cut leaves them, were left "
       "out; the records before them were read.|1 line was skipped: the last one, cut off before "
       "its end.|"},
      {0, 3, true, false,
       "3 lines were skipped: 2 not three fields, and the last one, cut off before its end.|"},
      {0, 0, false, true, "Only the first 348000 records were read: a list holds no more.|"},
  };
  for (const auto& c : cases) {
    DataFile file;
    file.damaged_bytes = c.damaged_bytes;
    file.skipped_lines = c.skipped_lines;
    file.last_line_cut = c.last_line_cut;
    file.truncated = c.truncated;
    std::string joined;
    for (const std::string& note : PartialReadNotes(file)) joined += note + "|";
    EXPECT_EQ(joined, c.notes);
  }
}

}  // namespace
}  // namespace slm
