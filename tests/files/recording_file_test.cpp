#include "files/recording_file.h"

#include <gtest/gtest.h>

#include <string>

#include "files/file_io.h"
#include "files_test_support.h"

namespace slm {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(RecordingLines, CsvHasNoCommaAtTheEndButTabLinesEndWithATab) {
  EXPECT_EQ(RecordingTitleLine(Separator::kComma), "No.s,Date Time,dB\r\n");
  EXPECT_EQ(RecordingTitleLine(Separator::kTab), "No.s\tDate Time\tdB\t\r\n");
  EXPECT_EQ(RecordingLine(12, "2016/03/23 14:05:09", "65.3", Separator::kComma),
            "12,2016/03/23 14:05:09,65.3\r\n");
  EXPECT_EQ(RecordingLine(348000, "2016/03/23 14:05:09", "80.0*", Separator::kTab),
            "348000\t2016/03/23 14:05:09\t80.0*\t\r\n");
}

TEST(RecordingFileWriter, EachLineIsOnDiskAsSoonAsItIsWritten) {
  TempDir dir;
  const std::string fake = dir.File(kRecordingTempFile);
  WriteBytes(fake, "an earlier recording\r\n");
  RecordingFileWriter writer(fake, Separator::kComma);
  writer.Append(1, "2016/03/23 14:05:09", "65.3");
  // Not closed yet: a program that ends here leaves these lines behind.
  EXPECT_EQ(ReadBytes(fake), "No.s,Date Time,dB\r\n1,2016/03/23 14:05:09,65.3\r\n");
  writer.Append(2, "2016/03/23 14:05:10", "65.4");
  writer.Close();
  EXPECT_EQ(ReadBytes(fake),
            "No.s,Date Time,dB\r\n1,2016/03/23 14:05:09,65.3\r\n2,2016/03/23 14:05:10,65.4\r\n");
  EXPECT_THROW(writer.Append(3, "2016/03/23 14:05:11", "65.5"), DataFileError);
}

TEST(FinishRecordingFile, PutsTheRealTimeHeaderBeforeTheRecordedLines) {
  TempDir dir;
  const std::string fake = dir.File(kRecordingTempFile);
  RecordingFileWriter writer(fake, Separator::kTab);
  writer.Append(1, "2016/03/23 14:05:09", "65.3");
  writer.Close();

  ListHeader header;
  header.kind = ListKind::kPlain;  // the recording's values make a real-time header regardless
  header.second_value = "1";
  header.frequency_weighting = "A";
  header.time_weighting = "FAST";
  header.range = "80-140";
  header.max_level = "65.3";
  header.max_time = "2016/03/23 14:05:09";
  header.sel = "65.3";
  header.leq = "65.3";
  FinishRecordingFile(header, fake, dir.File("rec.dlgr"));
  EXPECT_EQ(ReadBytes(dir.File("rec.dlgr")),
            "Real Time\r\n1\r\nA\r\nFAST\r\n80-140\r\n65.3\r\n2016/03/23 14:05:09\r\n65.3\r\n"
            "65.3\r\nNo.s\tDate Time\tdB\t\r\n1\t2016/03/23 14:05:09\t65.3\t\r\n");
}

TEST(RecordingErrors, NameTheFileThatFailed) {
  TempDir dir;
  EXPECT_THROW(RecordingFileWriter(dir.File("gone/Fake"), Separator::kTab), DataFileError);
  try {
    FinishRecordingFile(ListHeader{}, dir.File("no-fake"), dir.File("rec.dlgr"));
    ADD_FAILURE() << "a missing temporary file went unnoticed";
  } catch (const DataFileError& e) {
    EXPECT_EQ(e.path(), dir.File("no-fake"));
  }
  WriteBytes(dir.File("Fake"), "No.s\tDate Time\tdB\t\r\n");
  try {
    FinishRecordingFile(ListHeader{}, dir.File("Fake"), dir.File("gone/rec.dlgr"));
    ADD_FAILURE() << "an unwritable final file went unnoticed";
  } catch (const DataFileError& e) {
    EXPECT_EQ(e.path(), dir.File("gone/rec.dlgr"));
  }
}

}  // namespace
}  // namespace slm
