// slmtool's data-logger commands as a user runs them, against `slmtool
// emulate --sets FILE` on a pseudo-terminal.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "support/temp_dir.h"
#include "support/tool_run.h"

namespace slm {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kNoAnswer = "The meter does not answer.";
constexpr const char* kMeasuring =
    "The meter is measuring. Stop it with \"Run Pause Stop\" to read its memory.";
constexpr const char* kLost =
    "The meter was lost: its serial port stopped working (was the adapter pulled out?).";

constexpr const char* kSets =
    "# two sets: the second one has the higher number\n"
    "1;2024/05/01 10:00:00;1;A;FAST;30-90;65.3 66.1 p:66.0 70.2 71.0 72.5 60.1\n"
    "7;2024/05/02 11:30:00;2;C;SLOW;50-110;80.0 81.5\n";

// The lines of a command's output, split at "\n".
std::vector<std::string> OutLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

bool HasLine(const std::string& text, const std::string& line) {
  for (const std::string& l : OutLines(text)) {
    if (l == line) return true;
  }
  return false;
}

// The set lines of `memory`: those that start with a digit.
std::vector<std::string> SetLines(const std::string& text) {
  std::vector<std::string> sets;
  for (const std::string& l : OutLines(text)) {
    if (!l.empty() && l[0] >= '0' && l[0] <= '9') sets.push_back(l);
  }
  return sets;
}

// The record lines of `download`: three tab-separated fields after the title.
std::vector<std::string> RecordLines(const std::string& text) {
  std::vector<std::string> records;
  bool after_title = false;
  for (const std::string& l : OutLines(text)) {
    if (after_title && !l.empty()) records.push_back(l);
    if (l.rfind("No.", 0) == 0) after_title = true;
  }
  return records;
}

// Seconds of "yyyy/mm/dd hh:nn:ss" counted so that two times of one month
// compare; nothing when the text is not such a time.
std::optional<long long> SecondsOf(const std::string& text) {
  if (text.size() != 19) return std::nullopt;
  long long total = 0;
  for (const auto& [at, scale] : {std::pair{8, 86400}, {11, 3600}, {14, 60}, {17, 1}}) {
    const std::optional<long long> part = ParseInteger(text.substr(at, 2));
    if (!part) return std::nullopt;
    total += *part * scale;
  }
  return total;
}

class LoggerTool : public ::testing::Test {
 protected:
  ~LoggerTool() override {
    emulator_.kill();
    emulator_.waitForFinished(5000);
  }

  // Starts the emulator, a stopped meter unless `measuring`, with the stored
  // sets `sets` and `extra` options.
  void StartEmulator(const std::string& sets, const QStringList& extra = {},
                     bool measuring = false) {
    test::WriteBytes(dir_.File("sets.txt"), sets);
    QStringList args{"emulate", "--sets", QString::fromStdString(dir_.File("sets.txt")), "--log",
                     QString::fromStdString(dir_.File("log"))};
    if (!measuring) args << "--stopped";
    emulator_.start(SLMTOOL_PATH, args + extra);
    ASSERT_TRUE(emulator_.waitForReadyRead(15000));
    device_ = QString::fromLatin1(emulator_.readLine()).trimmed().mid(8).toStdString();
    ASSERT_FALSE(device_.empty());
  }

  test::ToolRun Run(const std::string& command, std::vector<std::string> args = {}) {
    args.insert(args.begin(), {command, "--port", device_});
    return test::RunProgram(SLMTOOL_PATH, args, dir_.path());
  }

  // How many commands the emulator logged that start with `letter`.
  int Logged(char letter) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(letter));
    int count = 0;
    for (const std::string& line : OutLines(test::ReadWholeFile(dir_.File("log")))) {
      if (line.rfind(hex, 0) == 0) ++count;
    }
    return count;
  }

  test::TempDir dir_;
  QProcess emulator_;
  std::string device_;
};

TEST_F(LoggerTool, MemoryListsEachSetWithItsPositionNumberStartAndRecords) {
  StartEmulator(kSets);
  const test::ToolRun run = Run("memory");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(HasLine(run.out, "Memory Size (MB)\t8.0")) << run.out;
  EXPECT_NE(run.out.find("\nRemained (MB)\t"), std::string::npos) << run.out;
  const std::vector<std::string> sets = SetLines(run.out);
  ASSERT_EQ(sets.size(), 2u) << run.out;
  EXPECT_EQ(sets[0].rfind("1\t1\t2024/05/01", 0), 0u) << sets[0];
  EXPECT_NE(sets[0].find("10:00:00\t7"), std::string::npos) << sets[0];
  EXPECT_EQ(sets[1].rfind("2\t7\t2024/05/02", 0), 0u) << sets[1];
  EXPECT_NE(sets[1].find("11:30:00\t2"), std::string::npos) << sets[1];
  EXPECT_FALSE(HasLine(run.out, "No Data in Memory"));
}

TEST_F(LoggerTool, MemoryOfAnEmptyMeterSaysSo) {
  StartEmulator("# nothing stored\n");
  const test::ToolRun run = Run("memory");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(HasLine(run.out, "No Data in Memory")) << run.out;
  EXPECT_TRUE(SetLines(run.out).empty()) << run.out;
}

TEST_F(LoggerTool, DownloadPrintsTheRecordsAndSavesAFileInfoReadsBack) {
  StartEmulator(kSets);
  const std::string out = dir_.File("set.csv");
  const test::ToolRun run = Run("download", {"--set", "1", "-o", out});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<std::string> records = RecordLines(run.out);
  ASSERT_EQ(records.size(), 7u) << run.out;
  EXPECT_EQ(records[0], "1\t2024/05/01 10:00:00\t065.3");
  EXPECT_EQ(records[2], "3\t2024/05/01 10:00:02\t066.0*");
  EXPECT_EQ(records[6], "7\t2024/05/01 10:00:06\t060.1");
  EXPECT_TRUE(HasLine(run.out, "Freq Weight\tA")) << run.out;
  EXPECT_NE(run.err.find("100.0% Completed"), std::string::npos) << run.err;

  const test::ToolRun info = test::RunProgram(SLMTOOL_PATH, {"info", out}, dir_.path());
  ASSERT_EQ(info.exit_code, 0) << info.err;
  EXPECT_TRUE(HasLine(info.out, "Kind: Data Logger 2")) << info.out;
  EXPECT_TRUE(HasLine(info.out, "Records: 7")) << info.out;

  const test::ToolRun missing = Run("download", {"--set", "3"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("no set at position 3"), std::string::npos) << missing.err;
}

TEST_F(LoggerTool, DownloadWithAStepListsEveryThirdRecordNumberedInTurn) {
  StartEmulator(kSets);
  const test::ToolRun run = Run("download", {"--set", "1", "--step", "3"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::vector<std::string> records = RecordLines(run.out);
  ASSERT_EQ(records.size(), 3u) << run.out;
  EXPECT_EQ(records[0], "1\t2024/05/01 10:00:00\t065.3");
  // Numbered 1, 2, 3 in turn, with the levels of records 4 and 7.
  EXPECT_EQ(records[1].substr(0, 2), "2\t");
  EXPECT_EQ(records[1].substr(records[1].size() - 6), "\t070.2");
  EXPECT_EQ(records[2].substr(0, 2), "3\t");
  EXPECT_EQ(records[2].substr(records[2].size() - 6), "\t060.1");
  EXPECT_EQ(Run("download", {"--set", "1", "--step", "0"}).exit_code, 2);
}

TEST_F(LoggerTool, ADownloadCutShortKeepsTheWholeRecordsThatArrived) {
  // 500 records take about 5 s on the line; the meter falls silent after 1.5 s.
  std::string levels;
  for (int i = 0; i < 500; ++i) levels += " 70.1";
  StartEmulator("3;2024/05/01 10:00:00;1;A;FAST;30-90;" + levels + "\n",
                {"--fault", "silence:1.5:100"});
  const std::string out = dir_.File("part.dlgr");
  const test::ToolRun run = Run("download", {"--set", "1", "-o", out});
  if (run.err.find("% Completed") == std::string::npos) {
    GTEST_SKIP() << "the meter fell silent before the download began: " << run.err;
  }
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("The meter stopped sending: "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" of 19359 bytes arrived."), std::string::npos) << run.err;
  const std::size_t listed = RecordLines(run.out).size();
  EXPECT_GT(listed, 0u);
  EXPECT_LT(listed, 500u);
  EXPECT_NE(run.err.find(std::to_string(listed) + " of 500 records arrived whole"),
            std::string::npos)
      << run.err;
  const test::ToolRun info = test::RunProgram(SLMTOOL_PATH, {"info", out}, dir_.path());
  EXPECT_TRUE(HasLine(info.out, "Records: " + std::to_string(listed))) << info.out;
}

TEST_F(LoggerTool, EraseTakesOneSetOnlyWhenConfirmed) {
  StartEmulator(kSets);
  const test::ToolRun refused = Run("erase", {"--set", "1"});
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_NE(refused.err.find("position 1"), std::string::npos) << refused.err;
  EXPECT_EQ(SetLines(Run("memory").out).size(), 2u) << "erased without --yes";

  const test::ToolRun erased = Run("erase", {"--set", "1", "--yes"});
  ASSERT_EQ(erased.exit_code, 0) << erased.err;
  EXPECT_EQ(
      erased.out.rfind("Erased set 1 (position 1, started 2024/05/01  10:00:00, 7 records)", 0), 0u)
      << erased.out;
  const std::vector<std::string> sets = SetLines(Run("memory").out);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].rfind("1\t7\t", 0), 0u) << "the other set should be left: " << sets[0];
}

// "P" gets no reply: only the directory read afterwards tells it took.
TEST_F(LoggerTool, AnEraseTheMeterIgnoredIsNotSaidDone) {
  StartEmulator(kSets, {"--fault", "ignore:P"});
  const test::ToolRun run = Run("erase", {"--set", "2", "--yes"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(HasLine(run.err, "Set 7 was not erased: the meter still lists it.")) << run.err;
  EXPECT_EQ(run.out, "");
}

// The tail of a reply longer than announced, paced in bursts, makes no
// directory of its own; nothing is erased on a directory that is not whole.
TEST_F(LoggerTool, ADirectoryLongerThanAnnouncedIsAFailureAndErasesNothing) {
  StartEmulator(kSets, {"--fault", "longer:9", "--fault", "bursts:16:0.012"});
  const test::ToolRun memory = Run("memory");
  EXPECT_EQ(memory.exit_code, 1);
  EXPECT_NE(memory.err.find("The meter's memory directory could not be read: its reply held "),
            std::string::npos)
      << memory.err;
  for (const std::string& line : SetLines(memory.out)) {
    EXPECT_TRUE(line.rfind("1\t1\t", 0) == 0 || line.rfind("2\t7\t", 0) == 0) << line;
  }
  const test::ToolRun erase = Run("erase", {"--set", "2", "--yes"});
  EXPECT_EQ(erase.exit_code, 1);
  EXPECT_TRUE(HasLine(erase.err, "Nothing was erased.")) << erase.err;
  EXPECT_EQ(Logged('P'), 0);
}

// Never "No Data" when the meter announced sets.
TEST_F(LoggerTool, AShortDirectoryIsSaidIncomplete) {
  StartEmulator(kSets, {"--fault", "short-replies"});
  const test::ToolRun run = Run("memory");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(HasLine(run.err, "The meter's memory directory was incomplete: 0 of 2 sets arrived."))
      << run.err;
  EXPECT_FALSE(HasLine(run.out, "No Data in Memory")) << run.out;
}

// A live frame in the place of an answer is no answer.
TEST_F(LoggerTool, AMeterThatIgnoresTheQuestionDoesNotAnswer) {
  StartEmulator(kSets, {"--fault", "ignore:IJ"});
  for (const char* command : {"sampling", "clock"}) {
    const test::ToolRun run = Run(command);
    EXPECT_EQ(run.exit_code, 1) << command << ": " << run.out;
    EXPECT_NE(run.err.find(kNoAnswer), std::string::npos) << command << ": " << run.err;
  }
}

TEST_F(LoggerTool, TheMemoryOfAMeasuringMeterIsNotRead) {
  StartEmulator(kSets, {}, true);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"--set", "1"}}) {
    const test::ToolRun run = Run(args.empty() ? "memory" : "download", args);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(HasLine(run.err, kMeasuring)) << run.err;
  }
  EXPECT_EQ(Logged('N'), 0);
}

// Slower than the line, a slow start and pauses inside: every record comes,
// and the progress tells the rate and the time left.
TEST_F(LoggerTool, ASlowMeterThatPausesIsDownloadedWhole) {
  std::string levels;
  for (int i = 0; i < 12; ++i) levels += " 70." + std::to_string(i % 10);
  StartEmulator("2;2024/05/01 10:00:00;1;A;FAST;30-90;" + levels + "\n",
                {"--fault", "slow:500", "--fault", "slow-start:0.4", "--fault", "bursts:128:0.4"});
  const test::ToolRun run = Run("download", {"--set", "1"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(RecordLines(run.out).size(), 12u) << run.out;
  EXPECT_NE(run.err.find(" bytes/s, 00:00:0"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" left\n"), std::string::npos) << run.err;
}

// A pulled adapter keeps the records that arrived whole, says so in words,
// and the file saved is marked as a part of the set.
TEST_F(LoggerTool, APulledAdapterKeepsTheWholeRecordsInAMarkedFile) {
  std::string levels;
  for (int i = 0; i < 100; ++i) levels += " 70.1";
  StartEmulator("3;2024/05/01 10:00:00;1;A;FAST;30-90;" + levels + "\n",
                {"--fault", "vanish:2000"});
  const std::string out = dir_.File("part.dlgr");
  const test::ToolRun run = Run("download", {"--set", "1", "-o", out});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find(kLost), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" of 4159 bytes had arrived."), std::string::npos) << run.err;
  // 22 bytes of directory, then at most 1978 of the set: 42 whole records.
  const std::size_t listed = RecordLines(run.out).size();
  EXPECT_GT(listed, 30u);
  EXPECT_LE(listed, 42u);
  const std::string file = test::ReadWholeFile(out);
  const std::string kept = std::to_string(listed);
  EXPECT_EQ(file.rfind("Data Logger 2  incomplete: " + kept + " of 100 records\r\n", 0), 0u)
      << file.substr(0, 80);
  EXPECT_NE(file.find("\r\nLeq \r\n"), std::string::npos) << "the whole set's Leq was written";
  const test::ToolRun info = test::RunProgram(SLMTOOL_PATH, {"info", out}, dir_.path());
  EXPECT_TRUE(HasLine(info.out, "Records: " + kept)) << info.out;
}

// SIGINT and SIGTERM end a download at once and keep what arrived.
TEST_F(LoggerTool, AStopSignalEndsADownloadAndKeepsWhatArrived) {
  std::string levels;
  for (int i = 0; i < 2000; ++i) levels += " 70.1";
  StartEmulator("3;2024/05/01 10:00:00;1;A;FAST;30-90;" + levels + "\n");
  const std::string out = dir_.File("part.csv");
  QProcess tool;
  tool.start(SLMTOOL_PATH, {"download", "--port", QString::fromStdString(device_), "--set", "1",
                            "-o", QString::fromStdString(out)});
  const Clock::time_point start = Clock::now();
  QByteArray err;
  while (!err.contains("% Completed") && Clock::now() - start < std::chrono::seconds(10)) {
    tool.waitForReadyRead(100);
    err += tool.readAllStandardError();
  }
  ::kill(static_cast<pid_t>(tool.processId()), SIGINT);
  ASSERT_TRUE(tool.waitForFinished(5000));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(15));
  err += tool.readAllStandardError();
  EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(tool.exitCode(), 1);
  EXPECT_TRUE(err.contains("The download was stopped: ")) << err.toStdString();
  const std::string file = test::ReadWholeFile(out);
  EXPECT_EQ(file.rfind("Data Logger 2  incomplete: ", 0), 0u) << file.substr(0, 80);
  EXPECT_NE(file.find(" of 2000 records\r\n"), std::string::npos) << file.substr(0, 80);
}

TEST_F(LoggerTool, SamplingTimeSetIsTheOneReadBack) {
  StartEmulator(kSets);
  const test::ToolRun set = Run("sampling", {"--set", "30"});
  ASSERT_EQ(set.exit_code, 0) << set.err;
  const test::ToolRun read = Run("sampling");
  ASSERT_EQ(read.exit_code, 0) << read.err;
  EXPECT_TRUE(HasLine(read.out, "Sampling time (s)\t30")) << read.out;
  EXPECT_EQ(Run("sampling", {"--set", "half"}).exit_code, 2);
}

TEST_F(LoggerTool, ClockSetToThePcReadsBackCloseToIt) {
  StartEmulator(kSets);
  const test::ToolRun set = Run("clock", {"--set"});
  ASSERT_EQ(set.exit_code, 0) << set.err;
  EXPECT_NE(("\n" + test::ReadWholeFile(dir_.File("log"))).find("\n42 "), std::string::npos)
      << "no clock was sent";
  const test::ToolRun read = Run("clock");
  ASSERT_EQ(read.exit_code, 0) << read.err;
  std::optional<long long> meter, pc;
  for (const std::string& line : OutLines(read.out)) {
    if (line.rfind("meter\t", 0) == 0) meter = SecondsOf(line.substr(6));
    if (line.rfind("pc\t", 0) == 0) pc = SecondsOf(line.substr(3));
  }
  ASSERT_TRUE(meter && pc) << read.out;
  EXPECT_LE(std::abs(*meter - *pc), 3) << read.out;
}

TEST_F(LoggerTool, EveryCommandGivesUpOnASilentMeterWithAReason) {
  StartEmulator(kSets, {"--fault", "silence"});
  // One command per exchange that waits for the meter.
  const std::vector<std::vector<std::string>> commands = {
      {"memory"}, {"download", "--set", "1"}, {"erase", "--all", "--yes"}, {"sampling"}, {"clock"}};
  for (std::vector<std::string> command : commands) {
    const std::string name = command[0];
    command.erase(command.begin());
    const Clock::time_point start = Clock::now();
    const test::ToolRun run = Run(name, command);
    EXPECT_EQ(run.exit_code, 1) << name << " " << command.size() << ": " << run.out;
    EXPECT_FALSE(run.err.empty()) << name;
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(8)) << name;
  }
}

}  // namespace
}  // namespace slm

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
