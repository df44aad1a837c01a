// `slmtool record` as a process of its own against `slmtool emulate`: what is
// left on disk when a recording is killed, stopped by a signal, runs beside
// another one, runs out of disk or loses its meter. No sample is ever made up.
#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/calendar.h"
#include "base/number_text.h"
#include "files/data_file_reader.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace slm {
namespace {

namespace fs = std::filesystem;
using test::Child;
using test::Emulator;
using test::Lines;
using test::ReadBytes;

// The level field of every record line of a recording.
std::vector<std::string> Levels(const std::string& text) {
  std::vector<std::string> levels;
  for (const std::string& line : Lines(text)) {
    Record record;
    if (line.rfind("No.s", 0) != 0 && SplitRecordLine(line, record)) levels.push_back(record.level);
  }
  return levels;
}

class RecordingProcess : public ::testing::Test {
 protected:
  // A meter at `level` dB, 20 frames a second.
  std::string Meter(const std::string& level) {
    meters_.push_back(
        std::make_unique<Emulator>(std::vector<std::string>{"--rate", "20", "--level", level}));
    EXPECT_FALSE(meters_.back()->device().empty()) << meters_.back()->err();
    return meters_.back()->device();
  }
  std::unique_ptr<Child> Record(const std::string& device, int count, const std::string& output,
                                std::vector<std::string> more = {},
                                std::optional<rlim_t> disk = std::nullopt) {
    std::vector<std::string> args{
        "record", "--port", device, "--period", "1", "--count", std::to_string(count),
        "-o",     output};
    args.insert(args.end(), more.begin(), more.end());
    return std::make_unique<Child>(SLMTOOL_PATH, args, test::ChildOptions{dir_.path(), disk, {}});
  }
  // Waits until `record` printed `samples` samples, each once it is in the
  // temporary file.
  static bool WaitForSamples(Child& record, size_t samples) {
    return record.ReadUntil(
        [&] {
          std::size_t printed = 0;
          for (const std::string& line : Lines(record.out())) {
            printed += !line.empty() && line[0] >= '1' && line[0] <= '9' &&
                       line.find_first_not_of("0123456789") == line.find(' ');
          }
          return printed >= samples;
        },
        20);
  }
  std::string Fake() const { return dir_.File("Fake"); }
  std::vector<std::string> Unsaved() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_.path())) {
      if (entry.path().extension() == ".unsaved") names.push_back(entry.path().filename());
    }
    return names;
  }

  test::TempDir dir_;
  std::vector<std::unique_ptr<Emulator>> meters_;
};

// "mmddhhnn" of the local clock now.
std::string MinuteNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%m%d%H%M", &local);
  return text;
}

TEST_F(RecordingProcess, KilledRecordingIsKeptAndTheNextOneWorks) {
  auto killed = Record(Meter("61.1"), 100, dir_.File("killed.dlgr"));
  ASSERT_TRUE(WaitForSamples(*killed, 2)) << killed->err();
  killed->Signal(SIGKILL);
  EXPECT_EQ(killed->Wait(5), -1);
  const std::string left = ReadBytes(Fake());
  EXPECT_FALSE(fs::exists(dir_.File("killed.dlgr")));

  const std::string minute_before = MinuteNow();
  auto next = Record(Meter("88.8"), 1, dir_.File("next.dlgr"));
  ASSERT_EQ(next->Wait(15), 0) << next->err();
  const std::vector<std::string> unsaved = Unsaved();
  ASSERT_EQ(unsaved.size(), 1u);
  EXPECT_TRUE(unsaved[0] == "Fake-" + minute_before + ".unsaved" ||
              unsaved[0] == "Fake-" + MinuteNow() + ".unsaved")
      << unsaved[0];
  EXPECT_EQ(ReadBytes(dir_.File(unsaved[0])), left);
  EXPECT_GE(Levels(left).size(), 2u);
  for (const std::string& level : Levels(left)) EXPECT_EQ(level, "61.1");
  EXPECT_EQ(Levels(ReadBytes(dir_.File("next.dlgr"))), std::vector<std::string>{"88.8"});
  EXPECT_FALSE(fs::exists(Fake()));
}

// A recording held up for seconds (a suspend, SIGSTOP) takes no level from
// before the hold-up: the seconds it missed are a gap, and each sample
// carries the level of its own second.
TEST_F(RecordingProcess, ASampleAfterAHoldUpIsTakenFromAFreshReading) {
  // 20 frames a second, each level for 20 frames: the level rises 1 dB a second.
  std::string levels;
  for (int level = 40; level < 130; ++level) {
    for (int frame = 0; frame < 20; ++frame) levels += std::to_string(level) + ".0 ";
  }
  test::WriteBytes(dir_.File("rising"), levels);
  Emulator meter({"--rate", "20", "--levels", dir_.File("rising")});
  auto record = Record(meter.device(), 1000, dir_.File("held.dlgr"));
  ASSERT_TRUE(WaitForSamples(*record, 2)) << record->err();
  for (const std::size_t samples : {4, 6}) {
    record->Signal(SIGSTOP);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    record->Signal(SIGCONT);
    ASSERT_TRUE(WaitForSamples(*record, samples)) << record->err();
  }
  record->Signal(SIGTERM);
  ASSERT_EQ(record->Wait(10), 0) << record->err();
  const DataFile file = OpenDataFile(dir_.File("held.dlgr"));
  int gaps = 0;
  for (std::size_t i = 1; i < file.list.size(); ++i) {
    const std::int64_t seconds =
        *ParseClockText(file.list.date_time(i)) - *ParseClockText(file.list.date_time(i - 1));
    gaps += seconds >= 3;
    // A frame of either side of a step of the level makes a second's difference.
    EXPECT_NEAR(LeadingNumber(file.list.level(i)) - LeadingNumber(file.list.level(i - 1)),
                static_cast<double>(seconds), 1.05)
        << file.list.date_time(i - 1) << " " << file.list.level(i - 1) << ", "
        << file.list.date_time(i) << " " << file.list.level(i);
  }
  EXPECT_EQ(gaps, 2);
}

TEST_F(RecordingProcess, SecondRecordingInTheFolderIsRefused) {
  auto first = Record(Meter("61.1"), 3, dir_.File("first.dlgr"));
  ASSERT_TRUE(WaitForSamples(*first, 1)) << first->err();
  // Its reader goes away meanwhile: the recording goes on to its count.
  first->CloseOutput();
  auto second = Record(Meter("88.8"), 3, dir_.File("second.dlgr"));
  EXPECT_EQ(second->Wait(10), 1);
  EXPECT_NE(second->err().find("Another recording is running in " + dir_.path() + ";"),
            std::string::npos)
      << second->err();
  EXPECT_FALSE(fs::exists(dir_.File("second.dlgr")));
  ASSERT_EQ(first->Wait(15), 0) << first->err();
  EXPECT_EQ(Levels(ReadBytes(dir_.File("first.dlgr"))), std::vector<std::string>(3, "61.1"));
  EXPECT_TRUE(Unsaved().empty());
}

TEST_F(RecordingProcess, StopSignalsWriteTheRecordingIntoItsFile) {
  const std::string device = Meter("70.5");
  // SIGHUP: the terminal closed, or the SSH session dropped.
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    const std::string output = dir_.File("stopped" + std::to_string(signal) + ".dlgr");
    auto record = Record(device, 100, output);
    ASSERT_TRUE(WaitForSamples(*record, 2)) << record->err();
    record->Signal(signal);
    ASSERT_EQ(record->Wait(10), 0) << "signal " << signal << ": " << record->err();
    const std::vector<std::string> lines = Lines(ReadBytes(output));
    ASSERT_GE(lines.size(), 12u) << "signal " << signal;
    EXPECT_EQ(lines[0], "Real Time");
    EXPECT_EQ(lines[5], "70.5");  // the maximum
    // Every sample the tool printed is in the file, and no other.
    const size_t written = Levels(ReadBytes(output)).size();
    EXPECT_EQ(written, lines.size() - 10);
    EXPECT_NE(record->out().find("interrupted: " + std::to_string(written) +
                                 " of 100 samples written to " + output + "\n"),
              std::string::npos)
        << record->out();
    EXPECT_FALSE(fs::exists(Fake()));
  }
}

TEST_F(RecordingProcess, FullDiskEndsTheRecordingAndKeepsItsSamples) {
  // The title line and two samples fit, the third does not.
  const std::string title = "No.s\tDate Time\tdB\t\r\n";
  const std::string line = "1\t2024/05/01 10:00:00\t66.6\t\r\n";
  auto record =
      Record(Meter("66.6"), 100, dir_.File("full.dlgr"), {}, title.size() + 2 * line.size() + 10);
  ASSERT_EQ(record->Wait(15), 1) << record->err();
  EXPECT_NE(record->err().find("\"" + Fake() + "\""), std::string::npos) << record->err();
  // and the final file, which did not fit either
  EXPECT_NE(record->err().find(dir_.File("full.dlgr") + " could not be written"), std::string::npos)
      << record->err();
  EXPECT_NE(record->err().find("The recording was ended"), std::string::npos) << record->err();
  EXPECT_EQ(Lines(ReadBytes(Fake())).front() + "\r\n", title);
  EXPECT_EQ(Levels(ReadBytes(Fake())), (std::vector<std::string>{"66.6", "66.6"}));
}

// A port that stays away ends the recording after --give-up seconds, into its
// file with exactly the samples it printed.
TEST_F(RecordingProcess, PulledPortEndsTheRecordingAfterItsGiveUpTime) {
  auto record = Record(Meter("71.3"), 30, dir_.File("out.csv"), {"--give-up", "2"});
  ASSERT_TRUE(WaitForSamples(*record, 2)) << record->err();
  meters_[0]->Signal(SIGKILL);
  ASSERT_EQ(record->Wait(20), 1) << "the recording did not end";
  EXPECT_NE(record->err().find("The meter was lost at"), std::string::npos) << record->err();
  EXPECT_NE(record->err().find("lost for too long"), std::string::npos) << record->err();
  const std::vector<std::string> lines = Lines(ReadBytes(dir_.File("out.csv")));
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ(lines[0], "Real Time");
  for (std::size_t i = 10; i < lines.size(); ++i) EXPECT_TRUE(lines[i].ends_with(",71.3")) << i;
  // and the samples it printed while the port went
  std::size_t printed = 0;
  for (const std::string& line : Lines(record->out())) printed += line.ends_with(" 71.3");
  EXPECT_EQ(printed, lines.size() - 10) << record->out();
  EXPECT_NE(record->err().find(std::to_string(lines.size() - 10) + " of 30 samples"),
            std::string::npos)
      << record->err();
}

}  // namespace
}  // namespace slm
