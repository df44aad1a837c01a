// `slmtool info` and `slmtool convert` run as a user runs them, and the file
// commands when something is wrong: files too long for a list, a full disk, a
// folder where a file should go, a device that is no serial port. The
// reading, the summary and the writing (and what the reader leaves out of a
// damaged file) are tested in files_tests; here the commands' own choices:
// the form of the output, the note on an older set, the errors.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "files/data_file_writer.h"
#include "support/file_size_limit.h"
#include "support/sample_lists.h"
#include "support/tool_run.h"

namespace slm {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::RunProgram;
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
  // A pipe would have the reader wait for a writer for ever.
  ASSERT_EQ(::mkfifo(dir_.File("pipe.dlgr").c_str(), 0600), 0);
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
      {{"info", dir_.File("pipe.dlgr")},
       1,
       dir_.File("pipe.dlgr") + " cannot be read: it is a pipe"},
      {{"assess", set, dir_.File("pipe.dlgr")},
       1,
       dir_.File("pipe.dlgr") + " cannot be read: it is a pipe"},
      // A command never writes over what it reads.
      {{"convert", set, "-o", dir_.File("./set.dlgr")}, 2, "which this command reads"},
  };
  for (const auto& c : cases) {
    const ToolRun run = Run(c.args);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.says;
    EXPECT_EQ(run.out, "") << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(ReadBytes(set), set_);
}

// A plain list of `count` records, as its file holds it.
std::string Records(std::size_t count) {
  RecordList list = test::ListOf(std::vector<std::string>(count, "61.1"));
  list.header().kind = ListKind::kPlain;
  return FormatListFile(list, Separator::kTab);
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
  // A file damaged inside, lines whose level no meter writes, a set that did
  // not arrive whole, and a file longer than a list.
  std::string damaged = Records(100);
  damaged.replace(1024, 512, 512, '\0');
  RecordList incomplete = test::SampleMemorySet();
  incomplete.header().note = "incomplete: 3 of 5 records";
  const std::pair<std::string, std::string> files[] = {
      {Write("damaged.dlgr", damaged), ": The file is damaged inside: 512 zero bytes at line "},
      {Write("levels.dlgr", Records(2) + "3\t2024/05/01 10:00:03\t7e1\t\r\n"),
       ": 1 line was skipped (no level as the meter writes it; on line 4: \"7e1\")."},
      {Write("set.dlgr", FormatListFile(incomplete, Separator::kTab)),
       ": This set did not arrive whole when it was downloaded: 3 of 5 records arrived."},
      {Write("big.dlgr", Records(348005)), ": Only the first 348000 records were read"},
  };
  for (const auto& [path, says] : files) {
    std::vector<std::vector<std::string>> commands = {
        {"info", path},
        {"stats", path},
        {"report", path},
        {"plot", path, "-o", path + ".png"},
        {"convert", path, "-o", path + ".csv"},
    };
    // A file longer than a list cannot be assessed whole, which assess refuses.
    if (!path.ends_with("big.dlgr")) commands.push_back({"assess", path});
    for (const auto& args : commands) {
      const ToolRun run = Run(args);
      EXPECT_EQ(run.exit_code, 0) << args[0] << ": " << run.err;
      EXPECT_NE(run.err.find(path + says), std::string::npos) << args[0] << ": " << run.err;
    }
  }
}

TEST_F(SlmtoolFaults, AWriteThatFailsKeepsTheOldFileAndLeavesNothingElse) {
  const std::string input = Write("levels.dlgr", Records(300));
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
  const std::string input = Write("levels.dlgr", Records(3));
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
    // What a command prints that cannot be written is a failure too.
    for (const char* command : {"info", "stats", "report"}) {
      const ToolRun run = RunProgram("/bin/sh",
                                     {"-c", std::string("exec ") + SLMTOOL_PATH + " " + command +
                                                " " + input + " > /dev/full"},
                                     dir_.path());
      EXPECT_EQ(run.exit_code, 1) << command;
      EXPECT_EQ(run.err, std::string("slmtool ") + command +
                             ": its output could not be written whole: the disk is full\n");
    }
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
