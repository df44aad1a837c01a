// Which shared libraries slmtool loads, as the dynamic loader itself reports
// them (LD_DEBUG=libs): only drawing loads the GUI libraries, and what needs
// neither the meter nor drawing loads no Qt at all, so that it starts at once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace slm {
namespace {

TEST(SlmtoolLibraries, OnlyDrawingLoadsTheGuiAndOnlyTheMeterAndDrawingLoadQt) {
  test::TempDir dir;
  const std::string list = dir.File("list.dlgr");
  test::WriteBytes(list, "plain\r\n1\t2024/05/01 10:00:00\t65.3\t\r\n");
  const struct {
    std::vector<std::string> args;
    bool qt;
    bool gui;
  } cases[] = {
      {{"--version"}, false, false},
      {{"info", list}, false, false},
      {{"memory", "--port", "/dev/null"}, true, false},  // opens no port, but tries
      {{"plot"}, true, true},
  };
  ::setenv("LD_DEBUG", "libs", 1);
  for (const auto& c : cases) {
    // The loader reports on standard error.
    const std::string loaded = test::RunProgram(SLMTOOL_PATH, c.args, dir.path()).err;
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

}  // namespace
}  // namespace slm
