#include "files/recording_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "files/file_io.h"
#ifndef _WIN32
#include "support/file_size_limit.h"
#endif
#include "support/sample_lists.h"

namespace slm {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::function<std::string()> Stem(const TempDir& dir, const std::string& name) {
  return [path = dir.File(name)] { return path; };
}

constexpr const char* kTitle = "No.s\tDate Time\tdB\t\r\n";

// A CSV line has no comma at its end (the writer's tests); a tab line ends with
// a tab, and the last number of a full list is written whole.
TEST(RecordingLines, TabLinesEndWithATab) {
  EXPECT_EQ(RecordingLine(348000, "2016/03/23 14:05:09", "80.0*", Separator::kTab),
            "348000\t2016/03/23 14:05:09\t80.0*\t\r\n");
}

// Each whole line is on disk as soon as it is written; a line that does not
// fit on a full disk is said, naming the file, and leaves nothing behind.
TEST(RecordingFileWriter, EachWholeLineIsOnDiskAsSoonAsItIsWrittenAndAFullDiskKeepsThem) {
  TempDir dir;
  const std::string fake = dir.File(kRecordingTempFile);
  RecordingFileWriter writer(fake, Separator::kComma, Stem(dir, "aside"));
  writer.Append(1, "2016/03/23 14:05:09", "65.3");
  // Not closed yet: a program that ends here leaves these lines behind.
  const std::string written = "No.s,Date Time,dB\r\n1,2016/03/23 14:05:09,65.3\r\n";
  EXPECT_EQ(ReadBytes(fake), written);
#ifndef _WIN32  // Windows has no limit on a process's file size to stand for a full disk
  {
    test::FileSizeLimit limit(written.size() + 15);  // room for half a line more
    try {
      writer.Append(2, "2016/03/23 14:05:10", "65.4");
      ADD_FAILURE() << "a line that did not fit went unnoticed";
    } catch (const DataFileError& e) {
      EXPECT_EQ(e.path(), fake);
      EXPECT_NE(std::string(e.what()).find(fake), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(ReadBytes(fake), written);
#endif
  writer.Append(2, "2016/03/23 14:05:11", "65.5");  // room again
  writer.Close();
  EXPECT_EQ(ReadBytes(fake), written + "2,2016/03/23 14:05:11,65.5\r\n");
  EXPECT_THROW(writer.Append(3, "2016/03/23 14:05:12", "65.6"), DataFileError);
  EXPECT_EQ(writer.moved_aside(), "");
}

// A temporary file nobody holds is a recording that was never saved: it is
// moved to a free name, and no other file is touched.
TEST(RecordingFileWriter, LeftoverIsMovedAsideToAFreeName) {
  TempDir dir;
  const std::string fake = dir.File(kRecordingTempFile);
  const std::string leftover = std::string(kTitle) + "1\t2016/03/23 14:05:09\t65.3\t\r\n";
  WriteBytes(fake, leftover);
  WriteBytes(dir.File("Fake-03231405.unsaved"), "first");
  WriteBytes(dir.File("Fake-03231405-2.unsaved"), "second");
  {
    RecordingFileWriter writer(fake, Separator::kTab, Stem(dir, "Fake-03231405"));
    EXPECT_EQ(writer.moved_aside(), dir.File("Fake-03231405-3.unsaved"));
    EXPECT_EQ(ReadBytes(fake), kTitle);
  }
  EXPECT_EQ(ReadBytes(dir.File("Fake-03231405-3.unsaved")), leftover);
  EXPECT_EQ(ReadBytes(dir.File("Fake-03231405.unsaved")), "first");
  EXPECT_EQ(ReadBytes(dir.File("Fake-03231405-2.unsaved")), "second");

  // The file the writer above let go of holds a title line: a leftover too.
  RecordingFileWriter next(fake, Separator::kTab, Stem(dir, "Fake-03231406"));
  EXPECT_EQ(next.moved_aside(), dir.File("Fake-03231406.unsaved"));
  EXPECT_EQ(ReadBytes(dir.File("Fake-03231406.unsaved")), kTitle);
  next.Close();

  // An empty file holds nothing to keep.
  WriteBytes(fake, "");
  RecordingFileWriter empty(fake, Separator::kTab, Stem(dir, "Fake-03231407"));
  EXPECT_EQ(empty.moved_aside(), "");
  EXPECT_FALSE(std::filesystem::exists(dir.File("Fake-03231407.unsaved")));
}

TEST(RecordingFileWriter, SecondWriterIsRefusedWhileTheFirstHoldsTheFile) {
  TempDir dir;
  const std::string fake = dir.File(kRecordingTempFile);
  auto first = std::make_unique<RecordingFileWriter>(fake, Separator::kTab, Stem(dir, "a"));
  first->Append(1, "2016/03/23 14:05:09", "65.3");
  const std::string written = ReadBytes(fake);
  try {
    RecordingFileWriter second(fake, Separator::kTab, Stem(dir, "b"));
    ADD_FAILURE() << "two writers share one temporary file";
  } catch (const RecordingBusyError& e) {
    const std::string message = e.what();
    EXPECT_EQ(message.rfind("Another recording is running in " + dir.path() + ";", 0), 0u)
        << message;
  }
  // The held file is not a leftover: neither moved nor touched.
  EXPECT_EQ(ReadBytes(fake), written);
  EXPECT_FALSE(std::filesystem::exists(dir.File("b.unsaved")));
  first->Append(2, "2016/03/23 14:05:10", "65.4");

  // Once the first lets go, its file is a leftover for the next writer.
  first.reset();
  RecordingFileWriter third(fake, Separator::kTab, Stem(dir, "c"));
  EXPECT_EQ(third.moved_aside(), dir.File("c.unsaved"));
  EXPECT_EQ(ReadBytes(dir.File("c.unsaved")), written + "2\t2016/03/23 14:05:10\t65.4\t\r\n");
}

TEST(RecordingFileWriter, FinishRemovesTheTemporaryFileOnlyOnceTheFinalFileIsWritten) {
  TempDir dir;
  const std::string fake = dir.File(kRecordingTempFile);
  ListHeader header;
  header.second_value = "1";
  {
    RecordingFileWriter writer(fake, Separator::kTab, Stem(dir, "aside"));
    writer.Append(1, "2016/03/23 14:05:09", "65.3");
    EXPECT_THROW(writer.Finish(header, dir.File("gone/rec.dlgr")), DataFileError);
    EXPECT_THROW(writer.Append(2, "2016/03/23 14:05:10", "65.4"), DataFileError);
  }
  const std::string kept = std::string(kTitle) + "1\t2016/03/23 14:05:09\t65.3\t\r\n";
  EXPECT_EQ(ReadBytes(fake), kept);

  RecordingFileWriter writer(fake, Separator::kTab, Stem(dir, "aside"));
  EXPECT_EQ(ReadBytes(dir.File("aside.unsaved")), kept);
  writer.Append(1, "2016/03/23 14:06:09", "70.0");
  writer.Finish(header, dir.File("rec.dlgr"));
  EXPECT_FALSE(std::filesystem::exists(fake));
  const std::string saved = ReadBytes(dir.File("rec.dlgr"));
  EXPECT_EQ(saved.substr(saved.find("No.s")),
            std::string(kTitle) + "1\t2016/03/23 14:06:09\t70.0\t\r\n");
}

TEST(RecordingErrors, NameTheFileThatFailed) {
  TempDir dir;
  EXPECT_THROW(RecordingFileWriter(dir.File("gone/Fake"), Separator::kTab, Stem(dir, "gone/x")),
               DataFileError);
  WriteBytes(dir.File("Fake"), kTitle);
  for (const auto& [fake, final_path, failed] :
       {std::tuple{"no-fake", "rec.dlgr", "no-fake"}, {"Fake", "gone/rec.dlgr", "gone/rec.dlgr"}}) {
    try {
      FinishRecordingFile(ListHeader{}, dir.File(fake), dir.File(final_path));
      ADD_FAILURE() << "no error for " << failed;
    } catch (const DataFileError& e) {
      EXPECT_EQ(e.path(), dir.File(failed));
    }
  }
}

}  // namespace
}  // namespace slm
