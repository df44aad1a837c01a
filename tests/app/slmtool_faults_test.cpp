// slmtool when something is wrong, run as a user runs it: a device that is no
// serial port.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace slm {
namespace {

namespace fs = std::filesystem;
using test::RunProgram;
using test::TempDir;
using test::ToolRun;

class SlmtoolFaults : public ::testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(SlmtoolFaults, WhatCannotBeOpenedIsSaidInWords) {
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
