// `slmtool monitor` as a process of its own against `slmtool emulate`: what a
// kill -9 leaves, a restart beside it, a second station refused, a meter
// pulled out and put back, and Prometheus scraping the station.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "files/data_file_reader.h"
#include "support/child_process.h"
#include "support/http_get.h"
#include "support/temp_dir.h"

namespace slm {
namespace {

namespace fs = std::filesystem;
using test::Child;
using test::Emulator;

class MonitorProcess : public ::testing::Test {
 protected:
  // A meter at `level` dB whose port is also reached as DIR/meter.
  void StartMeter(const std::string& level) {
    meter_ = std::make_unique<Emulator>(
        std::vector<std::string>{"--rate", "20", "--level", level, "--link", Port()});
    ASSERT_FALSE(meter_->device().empty()) << meter_->err();
  }
  std::string Port() const { return dir_.File("meter"); }
  std::string Station() const { return dir_.File("station"); }
  std::unique_ptr<Child> Monitor(std::vector<std::string> more = {},
                                 std::optional<rlim_t> disk = std::nullopt) {
    std::vector<std::string> args{"monitor", "--port", Port(), "--dir", Station()};
    args.insert(args.end(), more.begin(), more.end());
    return std::make_unique<Child>(SLMTOOL_PATH, args, test::ChildOptions{dir_.path(), disk, {}});
  }
  // The daily files of the station, in name order.
  std::vector<std::string> Files() const {
    std::vector<std::string> files;
    if (!fs::exists(Station())) return files;
    for (const auto& entry : fs::directory_iterator(Station())) {
      if (entry.path().extension() == ".dlgr") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
  }
  // The file written last.
  std::string Newest() const {
    std::string newest;
    for (const std::string& f : Files()) {
      if (newest.empty() || fs::last_write_time(f) > fs::last_write_time(newest)) newest = f;
    }
    return newest;
  }
  static std::size_t Records(const std::string& path) { return OpenDataFile(path).list.size(); }
  // Waits until the station's newest file holds `count` samples.
  bool WaitForRecords(Child& monitor, std::size_t count) {
    return monitor.ReadUntil([&] { return !Newest().empty() && Records(Newest()) >= count; }, 30);
  }
  int Count(const std::string& text, const std::string& word) const {
    int n = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
      ++n;
    return n;
  }

  test::TempDir dir_;
  std::unique_ptr<Emulator> meter_;
};

// Killed: the day's file keeps every sample written before the kill, whole
// and readable. A second station on the folder is refused; the restart
// writes a file of its own beside it and ends whole on SIGTERM.
TEST_F(MonitorProcess, AKilledStationKeepsItsDayAndItsRestartWritesANewFile) {
  StartMeter("66.6");
  auto first = Monitor();
  ASSERT_TRUE(WaitForRecords(*first, 3)) << first->err() << first->out();
  first->Signal(SIGKILL);
  first->Wait(5);
  ASSERT_EQ(Files().size(), 1u);
  const std::string killed = test::ReadBytes(Files()[0]);
  const std::size_t kept = Records(Files()[0]);
  EXPECT_GE(kept, 3u);

  auto second = Monitor();
  ASSERT_TRUE(second->ReadUntil([&] { return Files().size() == 2; }, 30)) << second->err();
  ASSERT_TRUE(Newest().ends_with("-2.dlgr")) << Newest();
  auto third = Monitor();
  EXPECT_EQ(third->Wait(30), 1);
  EXPECT_NE(third->err().find("Another station writes to"), std::string::npos) << third->err();
  ASSERT_TRUE(WaitForRecords(*second, 3)) << second->err();
  second->Signal(SIGTERM);
  ASSERT_EQ(second->Wait(15), 0) << second->err();

  const std::vector<std::string> files = Files();
  ASSERT_EQ(files.size(), 2u) << files[0] << " " << files[1] << " " << files[2];
  EXPECT_TRUE(files[0].ends_with("-2.dlgr")) << files[0];
  EXPECT_EQ(test::ReadBytes(files[1]), killed);
  const DataFile restarted = OpenDataFile(files[0]);
  EXPECT_EQ(restarted.list.header().leq, "66.6") << "closed whole with its values";
  for (std::size_t i = 0; i < restarted.list.size(); ++i)
    EXPECT_EQ(restarted.list.level(i), "66.6");
  const std::string log = test::ReadBytes(Station() + "/monitor.log");
  EXPECT_EQ(Count(log, "\tstart\t"), 2) << log;
  EXPECT_EQ(Count(log, "\tstop\t"), 1) << log;
  EXPECT_NE(log.find("Stopped by SIGTERM"), std::string::npos) << log;
}

// A full disk: the day's file ends with its last whole line, the station
// says so and goes on sampling, and still stops cleanly.
TEST_F(MonitorProcess, AFullDiskLeavesWholeLinesAndTheStationGoesOn) {
  StartMeter("62.5");
  auto monitor = Monitor({}, 400);
  ASSERT_TRUE(monitor->ReadUntil(
      [&] { return monitor->out().find("\twrite-error\t") != std::string::npos; }, 60))
      << monitor->out() << monitor->err();
  EXPECT_NE(monitor->out().find("Samples are not written"), std::string::npos) << monitor->out();
  monitor->Signal(SIGTERM);
  ASSERT_EQ(monitor->Wait(15), 0) << monitor->err();
  EXPECT_NE(monitor->out().find("\tstop\t"), std::string::npos) << monitor->out();
  const DataFile file = OpenDataFile(Newest());
  EXPECT_EQ(file.skipped_lines, 0u);
  EXPECT_GE(file.list.size(), 5u);
  EXPECT_LE(fs::file_size(Newest()), 400u);
  for (std::size_t i = 0; i < file.list.size(); ++i) EXPECT_EQ(file.list.level(i), "62.5");
}

// The meter pulled out and put back on the same port: a gap in the file and
// two lines in the log.
TEST_F(MonitorProcess, APulledMeterIsAGapAndTwoLinesInTheLog) {
  StartMeter("71.3");
  auto monitor = Monitor();
  ASSERT_TRUE(WaitForRecords(*monitor, 3)) << monitor->err();
  meter_->Signal(SIGKILL);
  meter_->Wait(5);
  ASSERT_TRUE(monitor->ReadUntil(
      [&] { return monitor->out().find("\tmeter-lost\t") != std::string::npos; }, 30))
      << monitor->out();
  meter_.reset();
  StartMeter("71.3");
  ASSERT_TRUE(monitor->ReadUntil(
      [&] { return monitor->out().find("\tmeter-back\t") != std::string::npos; }, 60))
      << monitor->out();
  const std::size_t back = Records(Newest());
  ASSERT_TRUE(WaitForRecords(*monitor, back + 2)) << monitor->err();
  monitor->Signal(SIGTERM);
  ASSERT_EQ(monitor->Wait(15), 0) << monitor->err();

  const DataFile file = OpenDataFile(Newest());
  int gaps = 0;
  for (std::size_t i = 1; i < file.list.size(); ++i) {
    const std::int64_t step =
        *ParseClockText(file.list.date_time(i)) - *ParseClockText(file.list.date_time(i - 1));
    EXPECT_GE(step, 1);
    gaps += step > 1;
  }
  EXPECT_EQ(gaps, 1);
  const std::string log = test::ReadBytes(Station() + "/monitor.log");
  EXPECT_EQ(Count(log, "\tmeter-lost\t"), 1) << log;
  EXPECT_EQ(Count(log, "\tmeter-back\t"), 1) << log;
  EXPECT_EQ(Count(log, "\tgap\t"), 0) << log;
}

// Prometheus's own server scrapes the station every second: what it holds
// is what the files show.
TEST_F(MonitorProcess, PrometheusHoldsTheLevelAndTheSamplesTheFilesShow) {
  const char* prometheus = "/usr/bin/prometheus";
  if (!fs::exists(prometheus)) {
    GTEST_SKIP() << "prometheus is not installed (scripts/setup installs it): not tested";
  }
  StartMeter("58.4");
  const int port = test::FreePort();
  auto monitor = Monitor({"--listen", "127.0.0.1:" + std::to_string(port)});
  ASSERT_TRUE(WaitForRecords(*monitor, 1)) << monitor->err();
  const std::string config = dir_.File("prometheus.yml");
  std::ofstream(config) << "global:\n  scrape_interval: 1s\nscrape_configs:\n"
                        << "  - job_name: station\n    static_configs:\n"
                        << "      - targets: ['127.0.0.1:" << port << "']\n";
  const int web = test::FreePort();
  Child server(prometheus, {"--config.file=" + config, "--storage.tsdb.path=" + dir_.File("tsdb"),
                            "--web.listen-address=127.0.0.1:" + std::to_string(web)});
  // Prometheus's query API: the value of an expression now, or "".
  auto query = [&](const std::string& expression) {
    const std::string answer = test::HttpRequest(web, "GET", "/api/v1/query?query=" + expression);
    const std::size_t value = answer.find("\"value\":[");
    if (value == std::string::npos) return std::string();
    const std::size_t open = answer.find(",\"", value);
    return answer.substr(open + 2, answer.find('"', open + 2) - open - 2);
  };
  std::string samples;
  ASSERT_TRUE(server.ReadUntil(
      [&] {
        samples = query("slm_samples_written_total");
        return !samples.empty() && std::stoi(samples) >= 3;
      },
      60))
      << server.err();
  EXPECT_EQ(query("slm_level_db"), "58.4");
  EXPECT_EQ(query("slm_meter_connected"), "1");
  EXPECT_EQ(query("slm_leq_db%7Bwindow%3D%22day%22%7D"), "58.4");
  monitor->Signal(SIGTERM);
  ASSERT_EQ(monitor->Wait(15), 0) << monitor->err();
  // The samples counted are in the file, every one at the meter's level.
  const DataFile file = OpenDataFile(Newest());
  EXPECT_GE(file.list.size(), static_cast<std::size_t>(std::stoi(samples)));
  for (std::size_t i = 0; i < file.list.size(); ++i) EXPECT_EQ(file.list.level(i), "58.4");
}

}  // namespace
}  // namespace slm
