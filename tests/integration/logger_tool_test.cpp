// slmtool's data-logger commands as a user runs them, against `slmtool
// emulate --sets FILE`. The exchanges themselves are tested in the core; here
// each command's wiring and what it prints, saves and exits with.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "support/child_process.h"
#include "support/tool_run.h"

namespace slm {
namespace {

using test::Lines;
using test::ToolRun;
using ::testing::Contains;
using ::testing::Not;
using ::testing::StartsWith;

constexpr const char* kMeasuring =
    "The meter is measuring. Stop it with \"Run Pause Stop\" to read its memory.";

// Set 7 starts later, and has a higher number than its position.
constexpr const char* kSets =
    "1;2024/05/01 10:00:00;1;A;FAST;30-90;65.3 66.1 p:66.0 70.2 71.0 72.5 60.1\n"
    "7;2024/05/02 11:30:00;2;C;SLOW;50-110;80.0 81.5\n";

// Set `number`, started at `start`, of `count` records of 70.1 dB.
std::string LongSet(int number, const std::string& start, int count) {
  std::string line = std::to_string(number) + ";" + start + ";1;A;FAST;30-90;";
  for (int i = 0; i < count; ++i) line += " 70.1";
  return line + "\n";
}

// The set lines of `memory` (they start with a digit), or the record lines of
// `download` (those after the title "No.s").
std::vector<std::string> SetLines(const std::string& text) {
  std::vector<std::string> sets;
  for (const std::string& l : Lines(text)) {
    if (!l.empty() && l[0] >= '0' && l[0] <= '9') sets.push_back(l);
  }
  return sets;
}
std::vector<std::string> RecordLines(const std::string& text) {
  const std::size_t title = text.find("\nNo.");
  return title == std::string::npos ? std::vector<std::string>{}
                                    : SetLines(text.substr(text.find('\n', title + 1)));
}

class LoggerTool : public test::ToolTest {
 protected:
  // The meter with the stored sets `sets`, stopped unless `measuring`.
  void StartMeter(const std::string& sets, std::vector<std::string> faults = {},
                  bool measuring = false) {
    test::WriteBytes(dir_.File("sets.txt"), sets);
    std::vector<std::string> args{"--sets", dir_.File("sets.txt"), "--log", dir_.File("log")};
    if (!measuring) args.push_back("--stopped");
    for (const std::string& fault : faults) args.insert(args.end(), {"--fault", fault});
    meter_ = std::make_unique<test::Emulator>(args);
    ASSERT_FALSE(meter_->device().empty()) << meter_->err();
  }
  ToolRun Tool(const std::string& command, std::vector<std::string> args = {}) {
    args.insert(args.begin(), {command, "--port", meter_->device()});
    return Run(args);
  }
  // How many commands the emulator logged that start with `letter`.
  int Logged(char letter) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(letter));
    int count = 0;
    for (const std::string& line : Lines(test::ReadBytes(dir_.File("log")))) {
      count += line.rfind(hex, 0) == 0;
    }
    return count;
  }
  std::unique_ptr<test::Emulator> meter_;
};

TEST_F(LoggerTool, MemoryListsEachSetWithItsPositionNumberStartAndRecords) {
  // 1400 records take 0.054 MB of the 8.0.
  StartMeter(kSets + LongSet(9, "2024/05/03 08:00:00", 1400));
  const ToolRun run = Tool("memory");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(Lines(run.out), Contains("Memory Size (MB)\t8.0"));
  EXPECT_THAT(Lines(run.out), Contains("Remained (MB)\t7.9"));
  EXPECT_EQ(SetLines(run.out), (std::vector<std::string>{"1\t1\t2024/05/01  10:00:00\t7",
                                                         "2\t7\t2024/05/02  11:30:00\t2",
                                                         "3\t9\t2024/05/03  08:00:00\t1400"}));

  StartMeter("# nothing stored\n");
  const ToolRun empty = Tool("memory");
  ASSERT_EQ(empty.exit_code, 0) << empty.err;
  EXPECT_THAT(Lines(empty.out), Contains("No Data in Memory"));
  EXPECT_TRUE(SetLines(empty.out).empty()) << empty.out;
}

TEST_F(LoggerTool, DownloadPrintsTheRecordsAndSavesAFileInfoReadsBack) {
  StartMeter(kSets);
  const std::string out = dir_.File("set.csv");
  const ToolRun run = Tool("download", {"--set", "1", "-o", out});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<std::string> records = RecordLines(run.out);
  ASSERT_EQ(records.size(), 7u) << run.out;
  EXPECT_EQ(records[2], "3\t2024/05/01 10:00:02\t066.0*");
  EXPECT_EQ(records[6], "7\t2024/05/01 10:00:06\t060.1");
  EXPECT_THAT(Lines(run.out), Contains("Freq Weight\tA"));
  EXPECT_NE(run.err.find("100.0% Completed"), std::string::npos) << run.err;
  const ToolRun info = Run({"info", out});
  EXPECT_THAT(Lines(info.out), Contains("Kind: Data Logger 2"));
  EXPECT_THAT(Lines(info.out), Contains("Records: 7"));

  const ToolRun step = Tool("download", {"--set", "1", "--step", "3"});
  ASSERT_EQ(step.exit_code, 0) << step.err;
  EXPECT_EQ(RecordLines(step.out), (std::vector<std::string>{"1\t2024/05/01 10:00:00\t065.3",
                                                             "2\t2024/05/01 10:00:03\t070.2",
                                                             "3\t2024/05/01 10:00:06\t060.1"}));
  const ToolRun missing = Tool("download", {"--set", "3"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("no set at position 3"), std::string::npos) << missing.err;
  EXPECT_EQ(Tool("download", {"--set", "1", "--step", "0"}).exit_code, 2);
}

// A meter that falls silent half way, or an adapter pulled out: the records
// that arrived whole are kept in a file marked as a part of the set, and
// what happened is said in words.
TEST_F(LoggerTool, ADownloadCutShortKeepsTheWholeRecordsInAMarkedFile) {
  const struct {
    const char* fault;  // 500 records take about 5 s on the line
    const char* says;
  } cases[] = {
      {"silence:1.5:100", "The meter stopped sending: "},
      {"vanish:2000", "The meter was lost: its serial port stopped working"},
  };
  for (const auto& c : cases) {
    StartMeter(LongSet(3, "2024/05/01 10:00:00", 500), {c.fault});
    const std::string out = dir_.File("part.dlgr");
    const ToolRun run = Tool("download", {"--set", "1", "-o", out});
    if (run.err.find("% Completed") == std::string::npos) {
      GTEST_SKIP() << "the meter fell silent before the download began: " << run.err;
    }
    EXPECT_EQ(run.exit_code, 1) << c.fault;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(" of 19359 bytes "), std::string::npos) << run.err;
    const std::size_t listed = RecordLines(run.out).size();
    EXPECT_GT(listed, 0u) << c.fault;
    EXPECT_LT(listed, 500u) << c.fault;
    const std::string kept = std::to_string(listed);
    EXPECT_NE(run.err.find(kept + " of 500 records arrived whole"), std::string::npos) << run.err;
    const std::string file = test::ReadBytes(out);
    EXPECT_EQ(file.rfind("Data Logger 2  incomplete: " + kept + " of 500 records\r\n", 0), 0u)
        << file.substr(0, 80);
    EXPECT_NE(file.find("\r\nLeq \r\n"), std::string::npos) << "the whole set's Leq was written";
    EXPECT_THAT(Lines(Run({"info", out}).out), Contains("Records: " + kept));
  }
}

// --set is the position memory lists, whatever the set's own number: after
// the first set is erased, the set numbered 7 is at position 1.
TEST_F(LoggerTool, EraseTakesOneSetOnlyWhenConfirmedAndThePositionsMoveUp) {
  StartMeter(kSets);
  const ToolRun refused = Tool("erase", {"--set", "1"});
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_NE(refused.err.find("position 1"), std::string::npos) << refused.err;
  EXPECT_EQ(Logged('P'), 0);

  const ToolRun erased = Tool("erase", {"--set", "1", "--start", "2024/05/01 10:00:00", "--yes"});
  ASSERT_EQ(erased.exit_code, 0) << erased.err;
  EXPECT_EQ(
      erased.out.rfind("Erased set 1 (position 1, started 2024/05/01  10:00:00, 7 records)", 0), 0u)
      << erased.out;
  EXPECT_EQ(SetLines(Tool("memory").out),
            std::vector<std::string>{"1\t7\t2024/05/02  11:30:00\t2"});
  const ToolRun moved = Tool("download", {"--set", "1"});
  ASSERT_EQ(moved.exit_code, 0) << moved.err;
  EXPECT_EQ(RecordLines(moved.out), (std::vector<std::string>{"1\t2024/05/02 11:30:00\t080.0",
                                                              "2\t2024/05/02 11:30:02\t081.5"}));
}

// "P" gets no reply: only the directory read afterwards tells it took.
TEST_F(LoggerTool, AnEraseTheMeterIgnoredIsNotSaidDone) {
  StartMeter(kSets, {"ignore:P"});
  const ToolRun run = Tool("erase", {"--set", "2", "--yes"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_THAT(Lines(run.err), Contains("Set 7 was not erased: the meter still lists it."));
  EXPECT_EQ(run.out, "");
}

// A meter that froze after "P" may have erased the set without saying so:
// the user is told to list the memory first, and a retry by position and start
// erases nothing when another set has moved up into that position.
TEST_F(LoggerTool, AnUnconfirmedEraseIsRetriedSafelyByPositionAndStart) {
  StartMeter(kSets, {"freeze-after:P:8"});
  const ToolRun frozen = Tool("erase", {"--set", "1", "--yes"});
  EXPECT_EQ(frozen.exit_code, 1);
  EXPECT_THAT(Lines(frozen.err), Contains("  slmtool memory --port " + meter_->device()));
  EXPECT_THAT(Lines(frozen.err), Contains("  slmtool erase --port " + meter_->device() +
                                          " --set P --start \"2024/05/01  10:00:00\" --yes"));
  ASSERT_TRUE(meter_->ReadUntil(
      [&] { return meter_->err().find("The meter is back.") != std::string::npos; }, 30));
  const ToolRun retry = Tool("erase", {"--set", "1", "--start", "2024/05/01 10:00:00", "--yes"});
  EXPECT_EQ(retry.exit_code, 1);
  EXPECT_THAT(retry.err, StartsWith("The set at position 1 is set 7, started 2024/05/02  "
                                    "11:30:00, not the set that started 2024/05/01 10:00:00: "
                                    "nothing was erased."));
  EXPECT_EQ(Logged('P'), 1);
}

// Never "No Data" when the meter announced sets, never a set made of the live
// frames after a cut reply, and nothing is erased on a directory that did not
// read whole.
TEST_F(LoggerTool, AShortDirectoryIsSaidIncompleteAndErasesNothing) {
  const struct {
    const char* fault;  // the directory's 32 bytes cut at 16, 20 or 30
    std::vector<std::string> listed;
  } cases[] = {{"short-replies", {}},
               {"short-replies:20", {}},
               {"short-replies:30", {"1\t1\t2024/05/01  10:00:00\t7"}}};
  for (const auto& c : cases) {
    StartMeter(kSets, {c.fault});
    const ToolRun memory = Tool("memory");
    EXPECT_EQ(memory.exit_code, 1);
    EXPECT_EQ(SetLines(memory.out), c.listed) << c.fault;
    EXPECT_THAT(Lines(memory.err),
                Contains("The meter's memory directory was incomplete: " +
                         std::to_string(c.listed.size()) + " of 2 sets arrived."));
    EXPECT_THAT(Lines(memory.out), Not(Contains("No Data in Memory")));
  }
  const ToolRun erase = Tool("erase", {"--set", "1", "--yes"});
  EXPECT_EQ(erase.exit_code, 1);
  EXPECT_THAT(Lines(erase.err), Contains("Nothing was erased."));
  EXPECT_EQ(Logged('P'), 0);
}

TEST_F(LoggerTool, TheMemoryOfAMeasuringMeterIsNotRead) {
  StartMeter(kSets, {}, true);
  for (const ToolRun& run : {Tool("memory"), Tool("download", {"--set", "1"})}) {
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_THAT(Lines(run.err), Contains(kMeasuring));
  }
  EXPECT_EQ(Logged('N'), 0);
}

// A stop signal (Ctrl+C, a closed terminal) ends a download at once and keeps
// what arrived.
TEST_F(LoggerTool, AStopSignalEndsADownloadAndKeepsWhatArrived) {
  for (const int signal : {SIGINT, SIGHUP}) {
    StartMeter(LongSet(3, "2024/05/01 10:00:00", 2000));
    const std::string out = dir_.File("part" + std::to_string(signal) + ".csv");
    test::Child tool(SLMTOOL_PATH,
                     {"download", "--port", meter_->device(), "--set", "1", "-o", out});
    ASSERT_TRUE(
        tool.ReadUntil([&] { return tool.err().find("% Completed") != std::string::npos; }, 10))
        << tool.err();
    tool.Signal(signal);
    EXPECT_EQ(tool.Wait(5), 1) << signal;
    EXPECT_NE(tool.err().find("The download was stopped: "), std::string::npos) << tool.err();
    const std::string file = test::ReadBytes(out);
    EXPECT_EQ(file.rfind("Data Logger 2  incomplete: ", 0), 0u) << file.substr(0, 80);
    EXPECT_NE(file.find(" of 2000 records\r\n"), std::string::npos) << file.substr(0, 80);
  }
}

TEST_F(LoggerTool, SamplingTimeAndClockSetAreTheOnesReadBack) {
  StartMeter(kSets);
  ASSERT_EQ(Tool("sampling", {"--set", "30"}).exit_code, 0);
  EXPECT_THAT(Lines(Tool("sampling").out), Contains("Sampling time (s)\t30"));
  EXPECT_EQ(Tool("sampling", {"--set", "half"}).exit_code, 2);

  const ToolRun set = Tool("clock", {"--set"});
  ASSERT_EQ(set.exit_code, 0) << set.err;
  EXPECT_EQ(Logged('B'), 1) << "no clock was sent";
  const std::vector<std::string> read = Lines(Tool("clock").out);
  ASSERT_EQ(read.size(), 2u);
  ASSERT_EQ(read[0].rfind("meter\t", 0), 0u) << read[0];
  ASSERT_EQ(read[1].rfind("pc\t", 0), 0u) << read[1];
  const auto meter = ParseClockText(read[0].substr(6)), pc = ParseClockText(read[1].substr(3));
  ASSERT_TRUE(meter && pc) << read[0] << " " << read[1];
  EXPECT_LE(std::abs(*meter - *pc), 3);
}

TEST_F(LoggerTool, EveryCommandGivesUpOnASilentMeterWithAReason) {
  StartMeter(kSets, {"silence"});
  const std::vector<std::vector<std::string>> commands = {
      {"memory"}, {"download", "--set", "1"}, {"erase", "--all", "--yes"}, {"sampling"}, {"clock"}};
  for (std::vector<std::string> command : commands) {
    const std::string name = command[0];
    command.erase(command.begin());
    // A command that waited for ever would never end: the suite's time-out says so.
    const ToolRun run = Tool(name, command);
    EXPECT_EQ(run.exit_code, 1) << name << ": " << run.out;
    EXPECT_FALSE(run.err.empty()) << name;
  }
}

}  // namespace
}  // namespace slm
