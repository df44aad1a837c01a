#include "files/exclusions_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "files/file_io.h"
#include "support/temp_dir.h"

namespace slm {
namespace {

std::int64_t At(const char* text) { return *ParseClockText(text); }

// Two clock times and a reason; other forms, and stretches that do not end
// after they start, are refused with a reason.
TEST(ParseExclusion, TakesTwoClockTimesAndAReasonOrSaysWhatIsWrong) {
  struct Case {
    const char* text;
    const char* said;  // the reason read, or a part of the problem
    bool read;
  };
  for (const Case& c : {
           Case{"2024/05/01 10:15:00..2024/05/01 10:17:30", "", true},
           Case{"  2024/05/01 10:15:00 .. 2024/05/01 10:17:30  siren passing ", "siren passing",
                true},
           Case{"2024/05/01 10:15:00", "is no stretch of time", false},
           Case{"2024/05/01 10:15..2024/05/01 10:17", "is no stretch of time", false},
           Case{"2024/05/01 10:15:00..2024/05/01 10:17:30x", "is no stretch of time", false},
           Case{"2024/05/01 10:17:30..2024/05/01 10:15:00", "ends before it starts", false},
           Case{"2024/05/01 10:15:00..2024/05/01 10:15:00", "ends where it starts", false},
       }) {
    std::string problem;
    const std::optional<Exclusion> e = ParseExclusion(c.text, problem);
    if (c.read) {
      EXPECT_EQ(e, (Exclusion{At("2024/05/01 10:15:00"), At("2024/05/01 10:17:30"), c.said}))
          << c.text << ": " << problem;
    } else {
      EXPECT_FALSE(e) << c.text;
      EXPECT_NE(problem.find(c.said), std::string::npos) << problem;
    }
  }
}

TEST(ExclusionsFile, IsWrittenBesideTheDataFileAndReadBackNamingALineItCannotRead) {
  test::TempDir dir;
  const std::string data = dir.File("day1.dlgr");
  const std::vector<Exclusion> kept = {
      {At("2024/05/01 10:15:00"), At("2024/05/01 10:17:30"), "siren passing"},
      {At("2024/05/01 12:00:00"), At("2024/05/01 12:05:00"), "talk\nnext to the meter"}};
  WriteExclusions(data, kept);
  EXPECT_EQ(ExclusionsPathFor(data), dir.File("day1.dlgr.exclusions"));
  const std::vector<Exclusion> read = ReadExclusions(ExclusionsPathFor(data));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0], kept[0]);
  EXPECT_EQ(read[1].reason, "talk next to the meter");  // one line each
  EXPECT_FALSE(std::filesystem::exists(ExclusionsPathFor(data) + ".part"));

  WriteExclusions(data, {});
  EXPECT_FALSE(std::filesystem::exists(ExclusionsPathFor(data)));
  EXPECT_TRUE(ReadExclusions(ExclusionsPathFor(data)).empty());  // no side file: nothing left out

  // A line that cannot be read is named with its file.
  const std::string path = ExclusionsPathFor(data);
  test::WriteBytes(path, "# comment\r\n\r\n2024/05/01 10:15:00..2024/05/01 10:17:30\r\nsiren\r\n");
  try {
    ReadExclusions(path);
    FAIL() << "read";
  } catch (const DataFileError& e) {
    EXPECT_NE(std::string(e.what()).find(path + "\" line 4"), std::string::npos) << e.what();
  }

  // Its editors take turns: while one holds the data file, another is told.
  test::WriteBytes(data, "");
  {
    const FileLock editing(data, 0);
    EXPECT_THROW(FileLock(data, 0), DataFileError);
  }
  EXPECT_NO_THROW(FileLock(data, 0));
}

}  // namespace
}  // namespace slm
