#include "live/pc_recorder.h"

#include <gtest/gtest.h>

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "files/data_file_reader.h"
#include "files/file_io.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"

namespace slm {
namespace {

namespace fs = std::filesystem;
using test::Lines;

class RecorderTest : public ::testing::Test {
 protected:
  RecorderTest() : recorder_(clock_.Source(), dir_.path()) {}

  // Each tick is the next second of the rhythm.
  PcRecorder::TickResult TickAt(double level, const std::string& text) {
    return recorder_.Tick(clock_.Second(second_++), level, text, captions_);
  }
  void Ticks(int n, double level, const std::string& text) {
    for (int i = 0; i < n; ++i) TickAt(level, text);
  }
  // A recording started after one tick of 50 dB, which it does not hold.
  std::string StartAfterATick(const std::string& path, Separator separator = Separator::kTab) {
    TickAt(50.0, "50.0");
    return recorder_.StartRecording(path, separator);
  }

  test::TempDir dir_;
  test::VirtualClock clock_;
  long long second_ = 0;
  PanelCaptions captions_{"A", "FAST", "80-140"};
  PcRecorder recorder_;
};

// The first tick starts the rhythm; a period of N seconds samples every Nth
// tick after it, and a new period counts afresh.
TEST_F(RecorderTest, APeriodSamplesFromTheTickAfterTheFirstAndANewOneCountsAfresh) {
  EXPECT_FALSE(TickAt(65.0, "65.0").sampled);
  EXPECT_TRUE(recorder_.list().empty());
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(TickAt(65.0, "65.0").sampled);
  ASSERT_EQ(recorder_.list().size(), 3u);
  EXPECT_EQ(recorder_.list().number(2), "3");
  EXPECT_EQ(recorder_.list().level(2), "65.0");
  EXPECT_EQ(recorder_.list().date_time(0), "2024/05/01 10:00:01");
  recorder_.SetPeriod(10);
  for (int tick = 1; tick <= 31; ++tick) {
    const bool sampled = TickAt(60.0, "60.0").sampled;
    EXPECT_EQ(sampled, tick == 11 || tick == 21 || tick == 31) << "tick " << tick;
  }
  recorder_.SetPeriod(100000);
  EXPECT_EQ(recorder_.period(), 86400);
  recorder_.SetPeriod(0);
  EXPECT_EQ(recorder_.period(), 1);
}

TEST_F(RecorderTest, RunningValuesAreCutToOneDecimalAndASteadyLevelKeepsItsLastDigit) {
  const struct {
    int ticks;
    double level;
    const char *leq, *sel;
  } cases[] = {{10, 65.27, "65.2", "75.2"}, {7, 65.3, "65.3", "73.7"}, {10, 65.3, "65.3", "75.3"}};
  for (const auto& c : cases) {
    PcRecorder recorder(clock_.Source(), dir_.path());
    for (int i = 0; i < c.ticks; ++i) recorder.Tick(clock_.Second(i), c.level, "", captions_);
    EXPECT_EQ(recorder.panel().count, c.ticks);
    EXPECT_EQ(recorder.panel().leq_text, c.leq) << c.ticks << " x " << c.level;
    EXPECT_EQ(recorder.panel().sel_text, c.sel) << c.ticks << " x " << c.level;
  }
}

TEST_F(RecorderTest, MaximumKeepsTheMeterTextAndItsTimeUntilARefresh) {
  TickAt(60.0, "60.0");
  TickAt(72.5, "72.5*");
  TickAt(70.0, "70.0");
  TickAt(72.5, "72.5");  // equal is not greater
  EXPECT_DOUBLE_EQ(recorder_.panel().max, 72.5);
  EXPECT_EQ(recorder_.panel().max_text, "72.5*");
  EXPECT_EQ(recorder_.panel().max_time, "2024/05/01 10:00:01");
  recorder_.Refresh();  // starts the panel again
  EXPECT_TRUE(recorder_.list().empty());
  EXPECT_EQ(recorder_.panel().count, 0);
  EXPECT_DOUBLE_EQ(recorder_.panel().max, 0.0);
  TickAt(40.0, "40.0");
  EXPECT_EQ(recorder_.panel().leq_text, "40.0");
}

TEST_F(RecorderTest, TabRecordingWritesHeaderAndEveryLineAndTheNextStartsFromZero) {
  const std::string final_path = dir_.File("rec.dlgr");
  Ticks(2, 80.0, "80.0");  // the panel's maximum, before the recording
  StartAfterATick(final_path);
  EXPECT_TRUE(recorder_.recording());
  for (const char* level : {"66.0", "68.4", "67.0"}) TickAt(std::stod(level), level);
  EXPECT_EQ(recorder_.record_count(), 3u);
  EXPECT_EQ(recorder_.EndRecording(captions_), "");
  EXPECT_FALSE(recorder_.recording());

  // The recording's own maximum and its time, SEL over the three recorded
  // ticks only and Leq of 66.0, 68.4 and 67.0 dB.
  EXPECT_EQ(Lines(test::ReadBytes(final_path)),
            (std::vector<std::string>{
                "Real Time", "1", "A", "FAST", "80-140", "68.4", "2024/05/01 10:00:04", "72.0",
                "67.2", "No.s\tDate Time\tdB\t", "1\t2024/05/01 10:00:03\t66.0\t",
                "2\t2024/05/01 10:00:04\t68.4\t", "3\t2024/05/01 10:00:05\t67.0\t"}));

  // The next recording starts from zero, with values of its own.
  recorder_.StartRecording(dir_.File("second.dlgr"), Separator::kTab);
  EXPECT_EQ(recorder_.record_count(), 0u);
  EXPECT_EQ(recorder_.recording_values().count, 0);
  Ticks(2, 60.0, "60.0");
  ASSERT_EQ(recorder_.EndRecording(captions_), "");
  const DataFile second = OpenDataFile(dir_.File("second.dlgr"));
  ASSERT_EQ(second.list.size(), 2u);
  EXPECT_EQ(second.list.number(0), "1");
  EXPECT_EQ(second.list.header().max_level, "60.0");
  EXPECT_EQ(second.list.header().sel, "63.0");  // two ticks: 60 + 10 log10(2), cut
}

// The panel starts again after a lost meter; the recording goes on, and the
// seconds it missed are a gap: the period counts on the seconds' numbers.
TEST_F(RecorderTest, LostLinkKeepsTheRecordingAndItsRhythm) {
  const std::string final_path = dir_.File("kept.dlgr");
  recorder_.SetPeriod(2);
  StartAfterATick(final_path);
  Ticks(4, 70.0, "70.0");  // seconds 1-4: samples at 2 and 4
  recorder_.LinkLost();
  EXPECT_TRUE(recorder_.recording());
  EXPECT_TRUE(recorder_.list().empty());
  EXPECT_EQ(recorder_.panel().count, 0);
  second_ = 9;  // seconds 5-8 missed
  EXPECT_FALSE(TickAt(71.0, "71.0").sampled);
  EXPECT_TRUE(TickAt(72.0, "72.0").sampled);
  EXPECT_EQ(recorder_.recording_seconds(), 10);
  ASSERT_EQ(recorder_.EndRecording(captions_), "");
  const DataFile file = OpenDataFile(final_path);
  ASSERT_EQ(file.list.size(), 3u);
  EXPECT_EQ(file.list.date_time(1), "2024/05/01 10:00:04");
  EXPECT_EQ(file.list.date_time(2), "2024/05/01 10:00:10");
  EXPECT_EQ(file.list.number(2), "3");
}

// A recording whose file cannot be written keeps its samples in "Fake"; the
// next recording in the folder moves them aside to a name with the month,
// day, hour and minute of its start (a free one: files_tests), never over them.
TEST_F(RecorderTest, SamplesThatWereNotSavedAreNeverOverwritten) {
  std::filesystem::create_directory(dir_.File("stick"));
  const std::string final_path = dir_.File("stick/rec.dlgr");
  StartAfterATick(final_path);
  std::filesystem::remove(dir_.File("stick"));  // a removed stick
  Ticks(3, 70.0, "70.0");
  const std::string message = recorder_.EndRecording(captions_);
  EXPECT_NE(message.find(final_path), std::string::npos) << message;
  EXPECT_NE(message.find("Fake"), std::string::npos) << message;
  EXPECT_FALSE(recorder_.recording());
  const auto kept = Lines(test::ReadBytes(recorder_.fake_path()));
  ASSERT_EQ(kept.size(), 4u);
  EXPECT_EQ(kept[3], "3\t2024/05/01 10:00:03\t70.0\t");
  const std::string aside = recorder_.StartRecording(dir_.File("next.dlgr"), Separator::kTab);
  EXPECT_EQ(aside, dir_.File("Fake-05011000.unsaved"));
  EXPECT_EQ(recorder_.moved_aside(), aside);
  EXPECT_EQ(Lines(test::ReadBytes(aside)), kept);
  TickAt(60.0, "60.0");
  ASSERT_EQ(recorder_.EndRecording(captions_), "");
  EXPECT_FALSE(fs::exists(recorder_.fake_path())) << "a saved recording left its temporary file";
  EXPECT_NE(LeftoverRecordingMessage(aside).find(aside), std::string::npos);
}

#ifdef __linux__  // /proc/self/fd and /dev/full
// The temporary file's disk fills up while the final file's has room: the
// recording ends into the final file with every sample written so far.
TEST_F(RecorderTest, FullTemporaryDiskEndsTheRecordingIntoTheFinalFile) {
  const std::string final_path = dir_.File("kept.dlgr");
  StartAfterATick(final_path);
  Ticks(2, 70.0, "70.0");
  // From now on the recording's own descriptor writes to a full device.
  int held = -1;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (fs::read_symlink(entry.path(), ec).string() == recorder_.fake_path()) {
      held = std::stoi(entry.path().filename().string());
    }
  }
  ASSERT_GE(held, 0) << "the recording does not hold its temporary file open";
  const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  ASSERT_EQ(::dup2(full, held), held);
  ::close(full);

  const PcRecorder::TickResult result = TickAt(71.0, "71.0");
  EXPECT_TRUE(result.recording_ended);
  EXPECT_FALSE(recorder_.recording());
  EXPECT_EQ(result.message.rfind("Cannot write \"" + recorder_.fake_path() + "\"", 0), 0u)
      << result.message;
  EXPECT_NE(result.message.find("2 samples were written to \"" + final_path + "\""),
            std::string::npos)
      << result.message;
  const DataFile kept = OpenDataFile(final_path);
  ASSERT_EQ(kept.list.size(), 2u);
  EXPECT_EQ(kept.list.level(1), "70.0");
  EXPECT_FALSE(fs::exists(recorder_.fake_path()));
}
#endif

TEST(RecorderFolder, TemporaryFileIsNamedWithTheFullPath) {
  PcRecorder recorder([] { return ClockReading{}; }, ".");
  EXPECT_EQ(recorder.fake_path(), (fs::current_path() / "Fake").string());
  PcRecorder below([] { return ClockReading{}; }, "./sub/../sub/");
  EXPECT_EQ(below.fake_path(), (fs::current_path() / "sub" / "Fake").string());
}

TEST_F(RecorderTest, SavedPanelListCarriesThePanelValues) {
  const std::string empty_path = dir_.File("empty.dlgr");
  recorder_.SaveList(empty_path, Separator::kTab, captions_);
  EXPECT_EQ(Lines(test::ReadBytes(empty_path)).size(), 10u);  // 9 header lines and the title

  Ticks(4, 65.27, "65.2");
  TickAt(80.0, "80.0");
  const std::string path = dir_.File("list.csv");
  recorder_.SaveList(path, Separator::kComma, captions_);
  const auto lines = Lines(test::ReadBytes(path));
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[5], "80");  // the panel's maximum as a number
  EXPECT_EQ(lines[8], recorder_.panel().leq_text);
  EXPECT_EQ(lines[9], "No.s,Date Time,dB,");
  EXPECT_EQ(lines[13], "4,2024/05/01 10:00:04,80.0,");
}

// The slow one: 348000 samples. A full file is written and the recording
// goes on into the next, never replacing a file the user did not name; the
// full panel list is saved once, without the samples the recording holds,
// and starts again.
TEST_F(RecorderTest, AFullFileGoesOnIntoTheNextAndTheFullListIsSavedOnce) {
  const std::string final_path = dir_.File("long.dlgr");
  test::WriteBytes(dir_.File("long-2.dlgr"), "an earlier file");
  // The list's first sample comes before the recording.
  TickAt(50.0, "50.0");
  TickAt(51.0, "51.0");
  recorder_.StartRecording(final_path, Separator::kTab);
  for (size_t i = 1; i < kMaxRecords; ++i) {
    const auto tick = TickAt(55.5, "55.5");
    ASSERT_TRUE(!tick.part_written && tick.auto_saved.empty()) << i;
  }
  EXPECT_EQ(recorder_.list().size(), kMaxRecords);
  const auto last = TickAt(55.5, "55.5");
  ASSERT_TRUE(last.part_written);
  EXPECT_EQ(last.part_written->file, final_path);
  EXPECT_EQ(last.part_written->samples, kMaxRecords);
  EXPECT_EQ(last.message, "");
  EXPECT_TRUE(recorder_.recording());
  EXPECT_EQ(OpenDataFile(final_path).list.size(), kMaxRecords);
  ASSERT_FALSE(last.auto_saved.empty());
  EXPECT_EQ(recorder_.list().size(), 1u);
  EXPECT_EQ(recorder_.list().number(0), "1");
  const DataFile saved = OpenDataFile(last.auto_saved);
  EXPECT_EQ(saved.list.kind(), ListKind::kPlain);
  ASSERT_EQ(saved.list.size(), 1u);
  EXPECT_EQ(saved.list.level(0), "51.0");

  EXPECT_TRUE(TickAt(56.0, "56.0").auto_saved.empty());
  EXPECT_TRUE(TickAt(56.5, "56.5").auto_saved.empty());

  EXPECT_EQ(recorder_.total_samples(), kMaxRecords + 2);
  ASSERT_EQ(recorder_.EndRecording(captions_), "");
  const FinishedRecording& finished = *recorder_.last_finished();
  EXPECT_EQ(finished.samples, kMaxRecords + 2);
  ASSERT_EQ(finished.parts.size(), 2u);
  EXPECT_EQ(finished.parts[1].file, dir_.File("long-2-2.dlgr"));
  EXPECT_EQ(test::ReadBytes(dir_.File("long-2.dlgr")), "an earlier file");
  const DataFile second = OpenDataFile(finished.parts[1].file);
  ASSERT_EQ(second.list.size(), 2u);
  EXPECT_EQ(second.list.number(0), "1");
  EXPECT_EQ(second.list.level(1), "56.5");
  EXPECT_EQ(second.list.header().max_level, "56.5");  // this file's own values
  EXPECT_EQ(second.list.date_time(0),
            PcDateTimeText(DateTimeOfSeconds(LinearSeconds({2024, 5, 1, 10, 0, 0}) + 348002)));
}

TEST(LaunchPeriod, FormatAndWrap) {
  // Two digits per field and the period in seconds, or "none".
  const std::pair<const char*, const char*> cases[] = {{"00:00:10", "00:00:10 10"},
                                                       {"25:61:70", "01:01:10 3670"},
                                                       {"::", "00:00:00 0"},
                                                       {"10:30", "none"},
                                                       {"", "none"}};
  for (const auto& [text, expected] : cases) {
    const auto p = ParseLaunchPeriod(text);
    EXPECT_EQ(
        p ? p->hours + ":" + p->minutes + ":" + p->seconds + " " + std::to_string(p->period_seconds)
          : "none",
        expected)
        << text;
  }
}

}  // namespace
}  // namespace slm
