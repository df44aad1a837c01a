// --version and --help of both programs, run as a user runs them from a
// shell without a display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/tool_run.h"

namespace slm {
namespace {

TEST(ProgramArgs, VersionAndHelpNeedNoDisplay) {
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) unsetenv(name);
  test::TempDir dir;
  const struct {
    const char* program;
    const char* arg;
    std::string says;
  } cases[] = {
      {SLMPANEL_PATH, "--version", "slmpanel 0.1.0\n"},
      {SLMTOOL_PATH, "--version", "slmtool 0.1.0\n"},
      {SLMPANEL_PATH, "--help", "usage: slmpanel [--port DEVICE] [--demo] [FILE...]\n"},
  };
  for (const auto& c : cases) {
    const test::ToolRun run = test::RunProgram(c.program, {c.arg}, dir.path());
    EXPECT_EQ(run.exit_code, 0) << c.arg << ": " << run.err;
    EXPECT_EQ(run.out.substr(0, c.says.size()), c.says);
  }
}

}  // namespace
}  // namespace slm
