// `slmtool key` and `slmtool live` against the emulator: the program's serial
// path end to end, through the Qt serial port, its waits and the live tick.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace slm {
namespace {

using test::Lines;

std::size_t Count(const std::string& text, const std::string& line) {
  return static_cast<std::size_t>(std::ranges::count(Lines(text), line));
}

TEST(LiveTool, AKeyReachesTheMeterAndLiveSaysNoComWhileItIsSilentAndFindsItAgain) {
  test::TempDir dir;
  test::Emulator meter({"--rate", "20", "--level", "72.5", "--log", dir.File("log")});
  ASSERT_FALSE(meter.device().empty()) << meter.err();

  // Range down: the meter's own key, after the attention handshake.
  const test::ToolRun key =
      test::RunProgram(SLMTOOL_PATH, {"key", "--port", meter.device(), "10"}, dir.path());
  ASSERT_EQ(key.exit_code, 0) << key.err;
  std::vector<std::string> commands = Lines(test::ReadBytes(dir.File("log")));
  ASSERT_GE(commands.size(), 2u);
  EXPECT_EQ(commands.back(), "4B 00 00 0A");
  commands.pop_back();
  EXPECT_EQ(commands, std::vector<std::string>(commands.size(), "41"));

  const std::string reading = "72.5    dB   70-130  FAST  A   ---- ----- RUN ----- ----";
  test::Child live(SLMTOOL_PATH, {"live", "--port", meter.device(), "--count", "30"});
  ASSERT_TRUE(live.ReadUntil([&] { return Count(live.out(), reading) >= 3; }, 15)) << live.out();
  meter.Signal(SIGSTOP);
  // Two searches: the loss was said in a tick that has ended, so the return
  // is said in another.
  ASSERT_TRUE(live.ReadUntil([&] { return Count(live.out(), "No COM") >= 2; }, 10)) << live.out();
  meter.Signal(SIGCONT);
  ASSERT_EQ(live.Wait(30), 0) << live.err();
  // The port, then a line a tick: a reading, or "No COM" once per search,
  // said by the tick that found the loss or the search; the tick that finds
  // the meter again says the port instead.
  const std::vector<std::string> lines = Lines(live.out());
  EXPECT_EQ(lines.front(), "COM1");
  EXPECT_EQ(Count(live.out(), "COM1"), 2) << "the meter was not found again";
  EXPECT_EQ(Count(live.out(), reading) + Count(live.out(), "No COM") + 2, lines.size());
  EXPECT_EQ(lines.size(), 31u) << live.out();
  EXPECT_EQ(lines.back(), reading);
}

TEST(LiveTool, LiveSaysWhichEndOfTheRangeTheLevelIsPast) {
  const std::pair<const char*, const char*> cases[] = {
      {"50.0", "50.0    dB   80-140  FAST  A   ---- UNDER RUN ----- ----"},
      {"145.0", "145.0   dB   80-140  FAST  A   OVER ----- RUN ----- ----"},
  };
  for (const auto& [level, line] : cases) {
    test::Emulator meter({"--rate", "20", "--level", level});
    test::Child live(SLMTOOL_PATH, {"live", "--port", meter.device(), "--count", "2"});
    ASSERT_EQ(live.Wait(15), 0) << live.err();
    EXPECT_EQ(Lines(live.out()).back(), line);
  }
}

}  // namespace
}  // namespace slm
