// slmtool's file commands when something is wrong, run as a user runs them:
// files too long for a list, a full disk, a folder where a file should go, a
// device that is no serial port. (What the reader leaves out of a damaged
// file, and how that is said, is tested in files_tests.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/file_size_limit.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace slm {
namespace {

namespace fs = std::filesystem;
using test::RunProgram;
using test::ToolRun;

const std::string kTitle = "No.s\tDate Time\tdB\t\r\n";

std::string Records(std::size_t count) {
  std::string text;
  for (std::size_t i = 1; i <= count; ++i) {
    text += std::to_string(i) + "\t2026/12/07 03:37:31\t6" + std::to_string(i % 10) + ".1\t\r\n";
  }
  return text;
}

// The names in a folder, with the size of each file.
std::string Listing(const std::string& folder) {
  std::string listing;
  for (const auto& entry : fs::directory_iterator(folder)) {
    listing += entry.path().filename().string() + " " +
               std::to_string(entry.is_regular_file() ? entry.file_size() : 0) + "\n";
  }
  return listing;
}

using SlmtoolFaults = test::ToolTest;

TEST_F(SlmtoolFaults, EveryCommandSaysWhenItReadOnlyPartOfAFile) {
  const std::string big = Write("big.dlgr", kTitle + Records(348005));
  const std::vector<std::vector<std::string>> commands = {
      {"info", big},
      {"stats", big},
      {"report", big},
      {"plot", big, "-o", dir_.File("big.png")},
      {"convert", big, "-o", dir_.File("big.csv")},
  };
  for (const auto& args : commands) {
    const ToolRun run = Run(args);
    EXPECT_EQ(run.exit_code, 0) << args[0] << ": " << run.err;
    EXPECT_NE(run.err.find(big + ": Only the first 348000 records were read"), std::string::npos)
        << args[0] << ": " << run.err;
  }
}

TEST_F(SlmtoolFaults, AWriteThatFailsKeepsTheOldFileAndLeavesNothingElse) {
  const std::string input = Write("levels.dlgr", kTitle + Records(300));
  const std::pair<const char*, const char*> commands[] = {{"report", "out.pdf"},
                                                          {"plot", "out.png"},
                                                          {"convert", "out.dlgr"},
                                                          {"assess", "assessment.pdf"}};
  const std::string folder = dir_.File("out");
  fs::create_directory(folder);
  for (const auto& [command, name] : commands) {
    const std::string old = Write(std::string("out/") + name, "the file that was there\n");
    const std::string before = Listing(folder);
    for (const std::string& out : {old, folder + "/new-" + name}) {
      const std::vector<std::string> args = {command, input, "-o", out};
      ToolRun run;
      {
        // A disk that fills up after 4 KB of the output.
        test::FileSizeLimit full_disk(4096);
        run = Run(args);
      }
      EXPECT_EQ(run.exit_code, 1) << out << ": " << run.out;
      EXPECT_NE(run.err.find(out + " could not be written: the file would grow past"),
                std::string::npos)
          << run.err;
      EXPECT_EQ(Listing(folder), before) << out;
    }
    EXPECT_EQ(test::ReadBytes(old), "the file that was there\n") << old;
  }
}

TEST_F(SlmtoolFaults, WhatCannotBeWrittenOrOpenedIsSaidInWords) {
  const std::string input = Write("levels.dlgr", kTitle + Records(3));
  fs::create_directory(dir_.File("folder.png"));
  const struct {
    std::vector<std::string> args;
    std::string says;
  } cases[] = {
      {{"plot", input, "-o", dir_.File("folder.png")},
       dir_.File("folder.png") + " could not be written: it is a folder."},
      {{"report", input, "-o", dir_.File("no-folder/r.pdf")},
       dir_.File("no-folder/r.pdf") + " could not be written: its folder does not exist."},
  };
  for (const auto& c : cases) {
    const ToolRun run = Run(c.args);
    EXPECT_EQ(run.exit_code, 1) << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("QPainter"), std::string::npos) << run.err;
  }
  if (fs::exists("/dev/full")) {
    // A link to a device that is always full is written where it points.
    fs::create_symlink("/dev/full", dir_.File("full.png"));
    const ToolRun run = Run({"plot", input, "-o", dir_.File("full.png")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find(dir_.File("full.png") + " could not be written: the disk is full."),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("libpng"), std::string::npos) << run.err;
  }
  // /dev/tty without a terminal to stand for; the system's "No such device or
  // address" is said in words.
  if (!fs::exists("/usr/bin/setsid")) GTEST_SKIP() << "no setsid here";
  const ToolRun live = RunProgram("/usr/bin/setsid",
                                  {"-w", SLMTOOL_PATH, "live", "--port", "/dev/tty"}, dir_.path());
  EXPECT_EQ(live.exit_code, 1);
  EXPECT_NE(live.err.find("COM1 (/dev/tty) cannot be opened: no device answers at /dev/tty"),
            std::string::npos)
      << live.err;
}

}  // namespace
}  // namespace slm
