#include "metrics/station_metrics.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

#include "base/calendar.h"

namespace slm {
namespace {

// One request over a plain socket; the whole answer, as the server closes.
std::string Http(int port, const std::string& method, const std::string& path) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  const timeval limit{10, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(port));
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string answer;
  if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
    const std::string request =
        method + " " + path + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";
    send(fd, request.data(), request.size(), 0);
    char buffer[4096];
    for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, n);
  }
  close(fd);
  return answer;
}

// The samples of a scrape: series ("name{labels}") to value.
std::map<std::string, double> Scrape(int port) {
  const std::string answer = Http(port, "GET", "/metrics");
  EXPECT_EQ(answer.rfind("HTTP/1.1 200", 0), 0u) << answer;
  std::map<std::string, double> samples;
  std::istringstream lines(answer.substr(answer.find("\r\n\r\n") + 4));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t space = line.rfind(' ');
    if (line.rfind("slm_", 0) == 0) samples[line.substr(0, space)] = std::stod(line.substr(space));
  }
  return samples;
}

TEST(StationMetricsTest, ServesTheLatestStatusAndNoStaleSeries) {
  setenv("TZ", "CET-1", 1);  // an hour ahead of UTC all year; no other test minds the zone
  tzset();
  StationMetrics metrics("127.0.0.1:0", "1.2.3");
  StationStatus status;
  status.meter_connected = true;
  status.level = 65.3;
  status.leqs = {{"1m", 60, 0, 61.5}, {"15m", 900, 0, 62.25}, {"part", 57600, 0, std::nullopt}};
  status.lday = 58.5;
  status.lnight = 44;
  status.l10 = 68;
  status.l90 = 41.5;
  status.samples = 120;
  status.gaps = 2;
  status.alarms = {{"night limit", true, 70, 0, 3}, {"lost", false, {}, 0, 1}};
  status.writing = false;
  status.disk_free = 5000000000;
  status.disk_reserve = 1 << 20;
  status.started = LinearSeconds({2024, 3, 5, 12, 0, 0});
  metrics.Update(status);
  std::map<std::string, double> want = {
      {"slm_level_db", 65.3},
      {"slm_leq_db{window=\"1m\"}", 61.5},
      {"slm_leq_db{window=\"15m\"}", 62.25},
      {"slm_part_leq_db{part=\"day\"}", 58.5},
      {"slm_part_leq_db{part=\"night\"}", 44},
      {"slm_exceedance_level_db{n=\"10\"}", 68},
      {"slm_exceedance_level_db{n=\"90\"}", 41.5},
      {"slm_samples_total", 120},
      {"slm_samples_written_total", 0},
      {"slm_gaps_total", 2},
      {"slm_gap_seconds_total", 0},
      {"slm_events_total", 0},
      {"slm_meter_losses_total", 0},
      {"slm_meter_connected", 1},
      {"slm_in_event", 0},
      {"slm_alarm_active{rule=\"night limit\"}", 1},
      {"slm_alarm_active{rule=\"lost\"}", 0},
      {"slm_alarms_raised_total{rule=\"night limit\"}", 3},
      {"slm_alarms_raised_total{rule=\"lost\"}", 1},
      {"slm_writing", 0},
      {"slm_disk_free_bytes", 5e9},
      {"slm_disk_reserve_bytes", 1 << 20},
      {"slm_start_time_seconds", 1709636400},  // 2024-03-05 11:00:00 UTC
      {"slm_build_info{version=\"1.2.3\"}", 1},
  };
  EXPECT_EQ(Scrape(metrics.port()), want);

  // Later: a new minute without a sample yet, no interval levels, a rule
  // less, the disk's free space unknown, more samples.
  status.level.reset();
  status.leqs = {{"1m", 60, 60, std::nullopt}, {"15m", 900, 0, 62}};
  status.l10.reset();
  status.l90.reset();
  status.alarms.pop_back();
  status.disk_free.reset();
  status.samples = 180;
  metrics.Update(status);
  for (const char* gone :
       {"slm_level_db", "slm_leq_db{window=\"1m\"}", "slm_exceedance_level_db{n=\"10\"}",
        "slm_exceedance_level_db{n=\"90\"}", "slm_alarm_active{rule=\"lost\"}",
        "slm_alarms_raised_total{rule=\"lost\"}", "slm_disk_free_bytes"}) {
    want.erase(gone);
  }
  want["slm_leq_db{window=\"15m\"}"] = 62;
  want["slm_samples_total"] = 180;
  EXPECT_EQ(Scrape(metrics.port()), want);
  status.samples = 150;  // a counter never goes back
  metrics.Update(status);
  EXPECT_EQ(Scrape(metrics.port())["slm_samples_total"], 180);
}

TEST(StationMetricsTest, AnswersOnlyGetOfMetrics) {
  StationMetrics metrics("127.0.0.1:0", "1");
  const struct {
    const char *method, *path, *status;
  } requests[] = {{"GET", "/", "404"},          {"GET", "/other", "404"},
                  {"GET", "/metrics/x", "404"}, {"GET", "/metricsx", "404"},
                  {"POST", "/metrics", "405"},  {"HEAD", "/metrics", "405"}};
  for (const auto& r : requests) {
    const std::string answer = Http(metrics.port(), r.method, r.path);
    EXPECT_EQ(answer.substr(0, 12), std::string("HTTP/1.1 ") + r.status) << r.method << r.path;
  }
  EXPECT_NE(Http(metrics.port(), "POST", "/metrics").find("Allow: GET\r\n"), std::string::npos);
}

TEST(StationMetricsTest, SaysWhyItCannotListen) {
  StationMetrics taken("127.0.0.1:0", "1");
  const std::string address = "127.0.0.1:" + std::to_string(taken.port());
  for (const auto& [bad, why] : std::map<std::string, std::string>{
           {address, "address already in use"},
           {"0", "give an address and a port, such as 127.0.0.1:9753"}}) {
    try {
      StationMetrics metrics(bad, "1");
      ADD_FAILURE() << bad;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(e.what(), "cannot listen on " + bad + ": " + why);
    }
  }
}

}  // namespace
}  // namespace slm
