// Both programs' arguments run as a user runs them from a shell without a
// display: --version and --help, `slmtool key`'s codes (a key reaching the
// meter is in the process tests; the port names are core_tests'), which
// shared libraries slmtool loads for what, and slmtool copied alone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"
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

using Slmtool = test::ToolTest;

TEST_F(Slmtool, KeySendsOnlyACodeOfOneToTenToThePort) {
  // A device path that does not exist, so that an accepted code fails at the port.
  const std::string missing = dir_.File("no-such-port");
  for (const std::string code : {"0", "11", "5x", ""}) {
    const test::ToolRun run = Run({"key", "--port", missing, code});
    EXPECT_EQ(run.exit_code, 2) << "code \"" << code << "\"";
    EXPECT_NE(run.err.find("1 A/C, 2 Fast/Slow/Imp"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("10 range down"), std::string::npos) << run.err;
  }
  EXPECT_EQ(Run({"key", "--port", missing, "1", "2"}).exit_code, 2);
  for (const std::string code : {"1", "10"}) {
    const test::ToolRun run = Run({"key", "--port", missing, code});
    EXPECT_EQ(run.exit_code, 1) << code << ": " << run.err;
    EXPECT_NE(run.err.find("No device found, try again!"), std::string::npos) << run.err;
  }
  const test::ToolRun named = Run({"key", "--port", "COM17", "5"});
  EXPECT_EQ(named.exit_code, 2) << named.err;
  EXPECT_NE(named.err.find("\"COM17\" is not a port name"), std::string::npos) << named.err;
}

// As the dynamic loader itself reports them (LD_DEBUG=libs): only drawing
// loads the GUI libraries, and what needs neither the meter nor drawing
// loads no Qt at all, so that it starts at once.
TEST_F(Slmtool, OnlyDrawingLoadsTheGuiAndOnlyTheMeterAndDrawingLoadQt) {
  const std::string list = Write("list.dlgr", "plain\r\n1\t2024/05/01 10:00:00\t65.3\t\r\n");
  const struct {
    std::vector<std::string> args;
    bool qt;
    bool gui;
  } cases[] = {
      {{"--version"}, false, false},
      {{"info", list}, false, false},
      {{"memory", "--port", "/dev/null"}, true, false},  // opens no port, but tries
      {{"plot", list, "-o", dir_.File("list.png")}, true, true},
  };
  ::setenv("LD_DEBUG", "libs", 1);
  for (const auto& c : cases) {
    // The loader reports on standard error.
    const std::string loaded = Run(c.args).err;
    const auto has = [&](const char* library) { return loaded.find(library) != std::string::npos; };
    EXPECT_EQ(has("libQt6Core.so"), c.qt) << c.args[0];
    EXPECT_EQ(has("libQt6Gui.so"), c.gui) << c.args[0];
    if (c.gui) continue;
    for (const char* gui : {"libQt6Widgets.so", "libQt6PrintSupport.so", "libQt6Svg.so",
                            "libQt6DBus.so", "libQCustomPlot"}) {
      EXPECT_FALSE(has(gui)) << c.args[0] << " loads " << gui;
    }
  }
  ::unsetenv("LD_DEBUG");
}

// slmtool copied alone into a folder: what does not draw works there (the
// meter's commands against the emulator it serves itself), and drawing says
// which file it looked for and where, until SLMTOOL_PLUGIN_PATH names it.
TEST_F(Slmtool, ACopyRunsAloneAndDrawingSaysWhereItLookedForThePlugin) {
  namespace fs = std::filesystem;
  ::unsetenv("SLMTOOL_PLUGIN_PATH");
  const std::string list = Write("list.dlgr", "plain\r\n1\t2024/05/01 10:00:00\t65.3\t\r\n");
  const std::string copy = dir_.File("bin/slmtool");
  fs::create_directory(dir_.File("bin"));
  fs::copy_file(SLMTOOL_PATH, copy);
  EXPECT_EQ(test::RunProgram(copy, {"info", list}, dir_.path()).exit_code, 0);
  EXPECT_EQ(test::RunProgram(copy, {"assess", list}, dir_.path()).exit_code, 0);
  test::Child meter(copy, {"emulate"});
  const std::string device = meter.FirstLine(15).substr(sizeof "device: " - 1);
  const test::ToolRun live =
      test::RunProgram(copy, {"live", "--port", device, "--count", "1"}, dir_.path());
  EXPECT_EQ(live.exit_code, 0) << live.err;

  const std::string png = dir_.File("list.png");
  const test::ToolRun lost = test::RunProgram(copy, {"plot", list, "-o", png}, dir_.path());
  EXPECT_EQ(lost.exit_code, 1);
  for (const std::string& says :
       {std::string("the file libslmtool-draw.so, which is in none of these folders:"),
        "\n  " + dir_.File("bin") + "\n", std::string("SLMTOOL_PLUGIN_PATH")}) {
    EXPECT_NE(lost.err.find(says), std::string::npos) << lost.err;
  }
  EXPECT_FALSE(fs::exists(png));
  ::setenv("SLMTOOL_PLUGIN_PATH", fs::path(SLMTOOL_PATH).parent_path().c_str(), 1);
  const test::ToolRun found = test::RunProgram(copy, {"plot", list, "-o", png}, dir_.path());
  ::unsetenv("SLMTOOL_PLUGIN_PATH");
  EXPECT_EQ(found.exit_code, 0) << found.err;
  EXPECT_TRUE(fs::exists(png));
}

}  // namespace
}  // namespace slm
