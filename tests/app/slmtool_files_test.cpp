// `slmtool info` and `slmtool convert` run as a user runs them, on files in a
// fresh folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/tool_run.h"

namespace slm {
namespace {

// A memory set as slmtool writes it.
const std::string kSet =
    "Data Logger 2\r\nSET 2\r\nC\r\nSLOW\r\nRange 70-130\r\nL05 78.1\r\nL10 76.0\r\nL50 70.4\r\n"
    "L90 66.2\r\nL95 65.9\r\nMax dB 84.7\r\n2024/04/30 09:00:40\r\nSEL 96.1\r\nLeq 72.3\r\n"
    "No.s\tDate Time\tdB\t\r\n1\t2024/04/30 09:00:00\t66.0\t\r\n2\t2024/04/30 09:00:20\t70.4\t\r\n"
    "3\t2024/04/30 09:00:40\t84.7\t\r\n";

using test::ReadWholeFile;
using test::ToolRun;

class SlmtoolFiles : public ::testing::Test {
 protected:
  SlmtoolFiles() { std::filesystem::create_directories(dir_); }
  ~SlmtoolFiles() override { std::filesystem::remove_all(dir_); }

  std::string File(const std::string& name) const { return (dir_ / name).string(); }

  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(File(name), std::ios::binary) << bytes;
    return File(name);
  }

  // Runs slmtool with `args`, its output and errors caught in files.
  ToolRun Run(std::vector<std::string> args) {
    return test::RunProgram(SLMTOOL_PATH, std::move(args), dir_);
  }

  const std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() /
      ("slmtool_files_test_" + std::to_string(::getpid()) + "_" +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(SlmtoolFiles, InfoPrintsTheSummaryOfTheFile) {
  const ToolRun run = Run({"info", Write("set.dlgr", kSet + "4 2024/04/30 09:01:00 70.0\r\n")});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "Kind: Data Logger 2\nWindow: FileList\nSet: 2\nFreq Weight: C\nTime Weight: SLOW\n"
            "Level Range: 70-130\nMax dB: 84.7\nMax Time: 2024/04/30 09:00:40\nL 05: 78.1\n"
            "L 10: 76.0\nL 50: 70.4\nL 90: 66.2\nL 95: 65.9\nLeq: 72.3\nSEL: 96.1\nRecords: 3\n");
  EXPECT_EQ(run.err,
            "slmtool info: " + File("set.dlgr") + ": 1 line was skipped (not three fields).\n");
}

TEST_F(SlmtoolFiles, ConvertWritesCommasExactlyWhenTheNameEndsInCsv) {
  const std::string original = Write("set.dlgr", kSet);
  const std::string csv = File("set.CSV");  // the case of the extension does not matter
  ToolRun run = Run({"convert", original, "-o", csv});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "3 records written to " + csv + "\n");
  std::string csv_text = kSet;
  std::replace(csv_text.begin(), csv_text.end(), '\t', ',');
  EXPECT_EQ(ReadWholeFile(csv), csv_text);

  for (const std::string& back : {File("back.dlgr"), File("back.csv.txt")}) {
    run = Run({"convert", csv, "--output", back});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(ReadWholeFile(back), kSet) << back;
  }
}

TEST_F(SlmtoolFiles, OlderMemorySetIsWrittenInTheCurrentForm) {
  const std::string old =
      Write("old.dlgr",
            "Data Logger\r\n2\r\nC\r\nSLOW\r\n70-130\r\n78.1\r\n76.0\r\n70.4\r\n66.2\r\n65.9\r\n"
            "84.7\r\n2024/04/30 09:00:40\r\n96.1\r\n72.3\r\n" +
                kSet.substr(kSet.find("No.s")));
  const std::string out = File("new.dlgr");
  const ToolRun run = Run({"convert", old, "-o", out});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "3 records written to " + out +
                "\nThe older memory set header was written in the \"Data Logger 2\" form.\n");
  EXPECT_EQ(ReadWholeFile(out), kSet);
}

TEST_F(SlmtoolFiles, ConvertReadsAFileWhoseLinesEndInCrAlone) {
  std::string cr_only = kSet;
  cr_only.erase(std::remove(cr_only.begin(), cr_only.end(), '\n'), cr_only.end());
  const std::string out = File("out.dlgr");
  const ToolRun run = Run({"convert", Write("cr.dlgr", cr_only), "-o", out});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "3 records written to " + out + "\n");
  EXPECT_EQ(ReadWholeFile(out), kSet);
}

TEST_F(SlmtoolFiles, CsvLevelWithADecimalCommaSurvivesConvert) {
  std::string set = kSet;
  set.replace(set.find("\t70.4\t"), 6, "\t70,4\t");
  const std::string csv = File("set.csv");
  ASSERT_EQ(Run({"convert", Write("set.dlgr", set), "-o", csv}).exit_code, 0);
  EXPECT_NE(ReadWholeFile(csv).find("2,2024/04/30 09:00:20,\"70,4\",\r\n"), std::string::npos);
  const std::string back = File("back.dlgr");
  ASSERT_EQ(Run({"convert", csv, "-o", back}).exit_code, 0);
  EXPECT_EQ(ReadWholeFile(back), set);
}

TEST_F(SlmtoolFiles, FilesWithoutLineEndsAreRefusedByName) {
  // A sparse file of 3 GB (zeros without a line end) and an endless device.
  const std::string sparse = File("sparse.dlgr");
  { std::ofstream(sparse, std::ios::binary).put('\0'); }
  std::filesystem::resize_file(sparse, std::uintmax_t{3} << 30);
  for (const std::string& path : {sparse, std::string("/dev/zero")}) {
    if (!std::filesystem::exists(path)) continue;
    const ToolRun run = Run({"info", path});
    EXPECT_EQ(run.exit_code, 1) << path;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("\"" + path + "\""), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("bad_alloc"), std::string::npos) << run.err;
  }
}

TEST_F(SlmtoolFiles, ErrorsNameTheFileAndWriteNothing) {
  const std::string missing = File("no-such-file.dlgr");
  const std::string set = Write("set.dlgr", kSet);
  const std::string out = File("out.csv"), unwritable = File("no-such-folder/out.csv");
  // Arguments, exit code (2: a usage error), what the error names.
  const struct {
    std::vector<std::string> args;
    int exit_code;
    std::string named;
  } cases[] = {{{"info", missing}, 1, missing},
               {{"convert", missing, "-o", out}, 1, missing},
               {{"convert", set, "-o", unwritable}, 1, unwritable},
               {{"convert", set}, 2, "-o OUT"}};
  for (const auto& c : cases) {
    const ToolRun run = Run(c.args);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.named;
    EXPECT_EQ(run.out, "") << c.named;
    EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(SlmtoolFiles, FilesThatHoldNoListAreRefused) {
  const struct {
    std::string path;
    std::string refusal;
  } cases[] = {
      {Write("empty.dlgr", ""), " is empty"},
      {Write("notes.txt", "just words\r\nno fields here\r\n"),
       " is not a data file: no record line found"},
      {Write("blob.bin", std::string("x\r\n1\t2\t3\r\n\0\0\x01\r\n", 15)),
       " is not a data file: no record line found"},
  };
  for (const auto& c : cases) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", c.path},
          std::vector<std::string>{"convert", c.path, "-o", File("out.csv")}}) {
      const ToolRun run = Run(args);
      EXPECT_EQ(run.exit_code, 1) << c.path;
      EXPECT_EQ(run.out, "") << c.path;
      EXPECT_NE(run.err.find(c.path + c.refusal), std::string::npos) << run.err;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(File("out.csv")));
}

}  // namespace
}  // namespace slm
