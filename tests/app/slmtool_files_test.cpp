// `slmtool info` and `slmtool convert` run as a user runs them. The reading,
// the summary and the writing are tested in files_tests; here the commands'
// own choices: the form of the output, the note on an older set, the errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "files/data_file_writer.h"
#include "support/sample_lists.h"
#include "support/tool_run.h"

namespace slm {
namespace {

using test::ReadBytes;
using test::ToolRun;

class SlmtoolFiles : public test::ToolTest {
 protected:
  const std::string set_ = FormatListFile(test::SampleMemorySet(), Separator::kTab);
};

TEST_F(SlmtoolFiles, InfoPrintsTheSummaryAndWhatItLeftOut) {
  const ToolRun run = Run({"info", Write("set.dlgr", set_ + "4 2016/03/22 09:01:00 70.0\r\n")});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out.rfind("Kind: Data Logger 2\nWindow: FileList\nSet: 3\n", 0), 0u) << run.out;
  EXPECT_TRUE(run.out.ends_with("\nRecords: 3\n")) << run.out;
  EXPECT_EQ(run.err, "slmtool info: " + dir_.File("set.dlgr") +
                         ": 1 line was skipped (not three fields).\n");
}

// Commas exactly when the name ends in ".csv", whatever its case; a memory
// set saved by an older version comes out in the current form, and says so.
TEST_F(SlmtoolFiles, ConvertWritesTheFormTheNameAsksFor) {
  const std::string csv = dir_.File("set.CSV");
  ToolRun run = Run({"convert", Write("set.dlgr", set_), "-o", csv});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "3 records written to " + csv + "\n");
  EXPECT_EQ(ReadBytes(csv), FormatListFile(test::SampleMemorySet(), Separator::kComma));
  for (const std::string& back : {dir_.File("back.dlgr"), dir_.File("back.csv.txt")}) {
    ASSERT_EQ(Run({"convert", csv, "--output", back}).exit_code, 0);
    EXPECT_EQ(ReadBytes(back), set_) << back;
  }
  run = Run({"convert", SLM_TEST_DATA_DIR "/data_logger.dlgr", "-o", dir_.File("new.dlgr")});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(run.out.ends_with(
      "\nThe older memory set header was written in the \"Data Logger 2\" form.\n"))
      << run.out;
  EXPECT_EQ(ReadBytes(dir_.File("new.dlgr")).substr(0, 22), "Data Logger 2\r\nSET 5\r\n");
}

TEST_F(SlmtoolFiles, ErrorsNameTheFileAndWriteNothing) {
  const std::string set = Write("set.dlgr", set_);
  const std::string out = dir_.File("out.csv");
  // The arguments, the exit code (2: a usage error) and what the error says;
  // which files the reader refuses, and its words, are files_tests'.
  const struct {
    std::vector<std::string> args;
    int exit_code;
    std::string says;
  } cases[] = {
      {{"info", dir_.File("none.dlgr")}, 1, dir_.File("none.dlgr")},
      {{"convert", dir_.File("none.dlgr"), "-o", out}, 1, dir_.File("none.dlgr")},
      {{"convert", set, "-o", dir_.File("gone/out.csv")}, 1, dir_.File("gone/out.csv")},
      {{"convert", set}, 2, "-o OUT"},
  };
  for (const auto& c : cases) {
    const ToolRun run = Run(c.args);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.says;
    EXPECT_EQ(run.out, "") << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace slm
