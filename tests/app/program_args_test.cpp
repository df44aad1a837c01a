// --version and --help of both programs, run as a user runs them from a
// shell without a display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace slm {
namespace {

class ProgramArgs : public ::testing::Test {
 protected:
  void SetUp() override {
    // No display of any kind: the answers must not need one.
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) unsetenv(name);
  }
  test::ToolRun Run(const char* program, std::vector<std::string> args) {
    return test::RunProgram(program, std::move(args), dir_.path());
  }
  test::TempDir dir_;
};

TEST_F(ProgramArgs, PanelVersionWithoutADisplay) {
  const test::ToolRun run = Run(SLMPANEL_PATH, {"--version"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "slmpanel 0.1.0\n");
}

TEST_F(ProgramArgs, PanelHelpWithoutADisplay) {
  const test::ToolRun run = Run(SLMPANEL_PATH, {"--help"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("usage: slmpanel"), std::string::npos);
  EXPECT_NE(run.out.find("--demo"), std::string::npos);
  EXPECT_NE(run.out.find("--port DEVICE"), std::string::npos);
  EXPECT_NE(run.out.find("[FILE...]"), std::string::npos);
}

TEST_F(ProgramArgs, ToolVersion) {
  const test::ToolRun run = Run(SLMTOOL_PATH, {"--version"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "slmtool 0.1.0\n");
}

}  // namespace
}  // namespace slm
