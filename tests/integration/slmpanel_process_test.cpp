// slmpanel itself, as a user runs it, on a virtual X display driven by key
// presses as a user makes them: the port window hands over to the panel,
// which samples on its real timers; a file named on the command line opens;
// a recording made from the keyboard alone is written into its file when
// SIGTERM or SIGHUP ends the program.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "files/data_file_reader.h"
#include "files/data_file_writer.h"
#include "support/child_process.h"
#include "support/file_events.h"
#include "support/sample_lists.h"
#include "support/temp_dir.h"

namespace slm {
namespace {

namespace fs = std::filesystem;
using test::Child;

class SlmpanelProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    // scripts/setup installs both; the X server has no window manager, so
    // a window takes the keys it is given.
    for (const char* tool : {"/usr/bin/Xvfb", "/usr/bin/xdotool"}) {
      if (!fs::exists(tool)) GTEST_SKIP() << tool << " is not installed (scripts/setup)";
    }
    display_ = std::make_unique<Child>(
        "/usr/bin/Xvfb", std::vector<std::string>{"-displayfd", "1", "-screen", "0", "1280x800x24",
                                                  "-nolisten", "tcp"});
    const std::string number = display_->FirstLine(15);
    ASSERT_FALSE(number.empty()) << display_->err();
    // The program's settings go to a folder of the test's own.
    options_ = {dir_.path(),
                {},
                {{"DISPLAY", ":" + number},
                 {"QT_QPA_PLATFORM", "xcb"},
                 {"XDG_CONFIG_HOME", dir_.File("config")}}};
  }
  std::string Xdotool(const std::vector<std::string>& args) {
    Child xdotool("/usr/bin/xdotool", args, options_);
    xdotool.Wait(10);
    return xdotool.out();
  }
  // The window whose title matches `pattern` once it is on show: xdotool
  // waits for it.
  std::string Window(const std::string& pattern) {
    Child search("/usr/bin/xdotool", {"search", "--sync", "--name", pattern}, options_);
    if (search.Wait(30) != 0 || search.out().empty()) {
      ADD_FAILURE() << "no window \"" << pattern << "\"";
      return "";
    }
    return search.out().substr(0, search.out().find('\n'));
  }
  void Keys(const std::string& window, const std::vector<std::string>& keys) {
    std::vector<std::string> args{"windowfocus", "--sync", window, "key", "--delay", "100"};
    args.insert(args.end(), keys.begin(), keys.end());
    Xdotool(args);
  }
  // Records with the keyboard alone: Ctrl+S, Return, the file's name, Return.
  void RecordInto(const std::string& path) {
    const std::string panel = Window("^Panel$");
    Keys(panel, {"ctrl+s", "Return"});
    const std::string save = Window("^Save As");
    Xdotool({"windowfocus", "--sync", save, "type", "--delay", "5", path});
    Keys(save, {"Return"});
  }
  // The levels of the recording's temporary file, once it holds `samples`.
  std::vector<std::string> WaitForSamples(std::size_t samples) {
    std::vector<std::string> levels;
    test::WaitForFolder(
        dir_.path(),
        [&] {
          levels.clear();
          for (const std::string& line : test::Lines(test::ReadBytes(dir_.File("Fake")))) {
            slm::Record record;
            if (line.rfind("No.s", 0) != 0 && SplitRecordLine(line, record)) {
              levels.push_back(record.level);
            }
          }
          return levels.size() >= samples;
        },
        30);
    return levels;
  }

  test::TempDir dir_;
  std::unique_ptr<Child> display_;
  test::ChildOptions options_;
};

TEST_F(SlmpanelProcess, RecordsFromTheKeyboardOnItsTimersUntilSigtermWritesTheFile) {
  test::Emulator meter({"--rate", "10", "--level", "72.5"});
  ASSERT_FALSE(meter.device().empty()) << meter.err();
  const std::string list = dir_.File("night.dlgr");
  test::WriteBytes(list, FormatListFile(test::SampleRealTimeList(), Separator::kTab));
  // The emulator's device first in the port list, so that it is COM1, and a
  // file to open once the panel is open.
  Child program(SLMPANEL_PATH, {"--port", meter.device(), list}, options_);
  Keys(Window("^COM Port"), {"Return"});
  Window("^Panel$");
  Window("^night.dlgr");

  const std::string path = dir_.File("rec.dlgr");
  RecordInto(path);
  ASSERT_EQ(WaitForSamples(3), std::vector<std::string>(3, "72.5")) << program.err();
  program.Signal(SIGTERM);
  ASSERT_EQ(program.Wait(15), 0) << program.err();
  const DataFile file = OpenDataFile(path);
  EXPECT_EQ(file.list.kind(), ListKind::kRealTime);
  EXPECT_EQ(file.list.header().max_level, "72.5");
  ASSERT_GE(file.list.size(), 3u);
  for (std::size_t i = 1; i < file.list.size(); ++i) {
    EXPECT_EQ(*ParseClockText(file.list.date_time(i)) - *ParseClockText(file.list.date_time(i - 1)),
              1)
        << "sample " << i + 1;
  }
  EXPECT_FALSE(fs::exists(dir_.File("Fake")));
}

// A closed terminal's SIGHUP ends it as SIGTERM does: the recording is saved.
TEST_F(SlmpanelProcess, TheDemoRunsTheBuiltInMeterAsComOne) {
  Child program(SLMPANEL_PATH, {"--demo"}, options_);
  Keys(Window("^COM Port"), {"Return"});
  RecordInto(dir_.File("demo.dlgr"));
  EXPECT_EQ(WaitForSamples(2).size(), 2u) << program.err();
  program.Signal(SIGHUP);
  ASSERT_EQ(program.Wait(15), 0) << program.err();
  EXPECT_GE(OpenDataFile(dir_.File("demo.dlgr")).list.size(), 2u);
}

}  // namespace
}  // namespace slm
