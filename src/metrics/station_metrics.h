#pragma once

#include <memory>
#include <string>

#include "station/station_status.h"

// The monitoring station's state as Prometheus metrics, served over HTTP for a
// Prometheus server to scrape (GET /metrics, text format). Update only sets
// the values; the web server's own threads answer the scrapes, so a slow
// scraper never holds up the sampling.
//
// A series stands for what the station knows now: a level or Leq the status
// has no value for (no sample yet, a window just begun, a lost meter's empty
// minute) is left out rather than served stale, and a window, part or alarm
// rule the status no longer lists loses its series. Counters hold the
// status's totals since the start and never go back.
namespace slm {

class StationMetrics {
 public:
  // Serves /metrics on `address`, "HOST:PORT" ("127.0.0.1:9753"; port 0 takes
  // a free one). Throws std::runtime_error with a plain message when it
  // cannot listen ("cannot listen on 127.0.0.1:9753: ...").
  StationMetrics(const std::string& address, const std::string& version);
  ~StationMetrics();
  StationMetrics(const StationMetrics&) = delete;
  StationMetrics& operator=(const StationMetrics&) = delete;

  // Takes the station's state: sets the gauges and counters, never waits for
  // a scrape. Safe to call from any thread.
  void Update(const StationStatus& status);

  // The port it listens on.
  int port() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace slm
