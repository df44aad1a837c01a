// Files that hold no list are refused by OpenDataFile with a message naming
// their absolute path.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/data_file_reader.h"
#include "support/temp_dir.h"

namespace slm {
namespace {

std::string RefusalOf(const std::string& path) {
  try {
    OpenDataFile(path);
  } catch (const DataFileError& e) {
    return e.what();
  }
  return "(opened)";
}

TEST(DataFileCheck, EmptyFileIsNamedAsEmpty) {
  test::TempDir dir;
  test::WriteBytes(dir.File("empty.dlgr"), "");
  EXPECT_EQ(RefusalOf(dir.File("empty.dlgr")), dir.File("empty.dlgr") + " is empty");
}

TEST(DataFileCheck, TextWithoutAnyRecordLineIsNoDataFile) {
  test::TempDir dir;
  test::WriteBytes(dir.File("notes.txt"), "Shopping\r\nbread\r\nmilk and honey\r\n");
  EXPECT_EQ(RefusalOf(dir.File("notes.txt")),
            dir.File("notes.txt") + " is not a data file: no record line found");
}

TEST(DataFileCheck, BinaryContentIsNoDataFileEvenWhenItSplits) {
  test::TempDir dir;
  // Lines that split at tabs, but with NUL bytes among them.
  std::string bytes =
      "\x7f"
      "ELF\x02\x01\r\n1\t2\t3\r\n";
  bytes += std::string(3, '\0') + "4\t5\t6\r\n";
  test::WriteBytes(dir.File("program.bin"), bytes);
  EXPECT_EQ(RefusalOf(dir.File("program.bin")),
            dir.File("program.bin") + " is not a data file: no record line found");
}

TEST(DataFileCheck, RelativePathIsNamedAbsolutely) {
  test::TempDir dir;
  test::WriteBytes(dir.File("empty.dlgr"), "");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const std::string refusal = RefusalOf("./empty.dlgr");
  std::filesystem::current_path(before);
  EXPECT_EQ(refusal, dir.File("empty.dlgr") + " is empty");
}

TEST(DataFileCheck, PlainListWithRecordsAndAnEmptyRecordingStillOpen) {
  test::TempDir dir;
  test::WriteBytes(dir.File("plain.dlgr"), "anything\r\n1\t2024/05/01 10:00:00\t65.3\t\r\n");
  EXPECT_EQ(OpenDataFile(dir.File("plain.dlgr")).list.size(), 1u);
  // A recording stopped before its first sample names its kind.
  test::WriteBytes(
      dir.File("none.dlgr"),
      "Real Time\r\n1\r\nA\r\nFAST\r\n30-90\r\n\r\n\r\n\r\n\r\nNo.s\tDate Time\tdB\t\r\n");
  EXPECT_EQ(OpenDataFile(dir.File("none.dlgr")).list.size(), 0u);
}

}  // namespace
}  // namespace slm
