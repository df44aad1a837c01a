// The station's cost per sample (the day's file, the live assessment, the
// alarms) and what a scrape of its /metrics costs while it is updated.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/calendar.h"
#include "base/number_text.h"
#include "metrics/station_metrics.h"
#include "station/station.h"

namespace slm {
namespace {

std::string TempFolder(const char* name) {
  const auto dir = std::filesystem::temp_directory_path() /
                   (std::string(name) + "-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  return dir.string();
}

StationSettings Settings(const std::string& dir) {
  StationSettings settings;
  settings.dir = dir;
  settings.assessment.threshold = 70.0;
  settings.assessment.hold = 2;
  AlarmRule night;
  night.name = "night-leq";
  night.limit = 65;
  night.between = std::pair{23 * 60, 7 * 60};
  AlarmRule loud;
  loud.name = "loud";
  loud.kind = AlarmKind::kLevel;
  loud.limit = 85;
  loud.window = 10;
  settings.alarms = {night, loud};
  return settings;
}

// One sample taken: its line in the day's file, the live figures, the
// alarms, and the station's second.
void BM_StationSample(benchmark::State& state) {
  const std::string dir = TempFolder("station-bench");
  {
    Station station(Settings(dir));
    const PanelCaptions captions{"A", "FAST", "30-100"};
    std::int64_t t = *ParseClockText("2024/05/01 10:00:00");
    station.Start(t, "bench");
    int i = 0;
    for (auto _ : state) {
      const std::string level = OneDecimalText(55.0 + (i++ * 7919 % 300) / 10.0);
      benchmark::DoNotOptimize(station.Sample(t, level, captions));
      benchmark::DoNotOptimize(station.Tick(t));
      ++t;
    }
    station.Stop(t, "bench");
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StationSample);

// The figures copied for the metrics once a second.
void BM_StationStatus(benchmark::State& state) {
  const std::string dir = TempFolder("station-status-bench");
  {
    Station station(Settings(dir));
    std::int64_t t = *ParseClockText("2024/05/01 10:00:00");
    station.Start(t, "bench");
    for (int i = 0; i < 4000; ++i) station.Sample(t + i, "63.2", {"A", "FAST", "30-100"});
    for (auto _ : state) benchmark::DoNotOptimize(station.Status(t + 4000));
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StationStatus);

std::string Get(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const std::string request = "GET /metrics HTTP/1.0\r\n\r\n";
    if (::write(fd, request.data(), request.size()) > 0) {
      char buffer[8192];
      for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) answer.append(buffer, n);
    }
  }
  ::close(fd);
  return answer;
}

// One scrape of /metrics over the loopback, the way Prometheus makes it.
void BM_MetricsScrape(benchmark::State& state) {
  const std::string dir = TempFolder("station-metrics-bench");
  {
    Station station(Settings(dir));
    std::int64_t t = *ParseClockText("2024/05/01 10:00:00");
    station.Start(t, "bench");
    for (int i = 0; i < 100; ++i) station.Sample(t + i, "63.2", {"A", "FAST", "30-100"});
    StationMetrics metrics("127.0.0.1:0", "bench");
    metrics.Update(station.Status(t + 100));
    for (auto _ : state) benchmark::DoNotOptimize(Get(metrics.port()));
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_MetricsScrape)->Unit(benchmark::kMicrosecond);

// An update of the metrics, what the sampling side pays once a second.
void BM_MetricsUpdate(benchmark::State& state) {
  const std::string dir = TempFolder("station-update-bench");
  {
    Station station(Settings(dir));
    std::int64_t t = *ParseClockText("2024/05/01 10:00:00");
    station.Start(t, "bench");
    for (int i = 0; i < 100; ++i) station.Sample(t + i, "63.2", {"A", "FAST", "30-100"});
    StationMetrics metrics("127.0.0.1:0", "bench");
    const StationStatus status = station.Status(t + 100);
    for (auto _ : state) metrics.Update(status);
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_MetricsUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace slm
