#include "metrics/station_metrics.h"

#include <CivetServer.h>
#include <civetweb.h>
#include <prometheus/counter.h>
#include <prometheus/exposer.h>
#include <prometheus/family.h>
#include <prometheus/gauge.h>
#include <prometheus/registry.h>

#include <cctype>
#include <cstring>
#include <ctime>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "base/calendar.h"

namespace slm {
namespace {

constexpr char kPath[] = "/metrics";

// The server starts on the thread that makes it and says why it cannot
// listen through its log; that thread collects the words here.
thread_local std::string* start_messages = nullptr;

int OnLogMessage(const mg_connection* /*conn*/, const char* message) {
  if (start_messages != nullptr && start_messages->empty() && message != nullptr) {
    *start_messages = message;
  }
  return 1;  // nothing to the server's own log
}

// The system's words in the server's first message ("cannot bind to
// 127.0.0.1:9753: 98 (Address already in use)"), or the whole message.
std::string Reason(const std::string& message) {
  const std::size_t open = message.rfind('(');
  if (open == std::string::npos || message.back() != ')') return message;
  std::string reason = message.substr(open + 1, message.size() - open - 2);
  if (!reason.empty()) reason[0] = static_cast<char>(std::tolower(reason[0]));
  return reason;
}

int Refuse(mg_connection* conn, int status, const char* text) {
  mg_response_header_start(conn, status);
  mg_response_header_add(conn, "Content-Type", "text/plain; charset=utf-8", -1);
  const std::string length = std::to_string(std::strlen(text));
  mg_response_header_add(conn, "Content-Length", length.c_str(), -1);
  if (status == 405) mg_response_header_add(conn, "Allow", "GET", -1);
  mg_response_header_send(conn);
  mg_write(conn, text, std::strlen(text));
  return status;
}

// Before the exporter sees a request: it would answer any path that begins
// with /metrics and refuses other methods with 404; only GET /metrics gets
// through.
int OnBeginRequest(mg_connection* conn) {
  const mg_request_info* request = mg_get_request_info(conn);
  const char* path = request->local_uri != nullptr ? request->local_uri : "";
  if (std::strcmp(path, kPath) != 0) {
    return Refuse(conn, 404, "Not found: this station serves only /metrics.\n");
  }
  if (std::strcmp(request->request_method, "GET") != 0) {
    return Refuse(conn, 405, "Method not allowed: /metrics answers only GET.\n");
  }
  return 0;
}

// "HOST:PORT" with a port of digits up to 65535; the server itself would also
// take lists and options in this text.
bool IsHostAndPort(std::string_view address) {
  const std::size_t colon = address.rfind(':');
  if (colon == std::string_view::npos || colon == 0 || address.find(',') != address.npos) {
    return false;
  }
  const std::string_view port = address.substr(colon + 1);
  if (port.empty() || port.size() > 5) return false;
  for (const char c : port) {
    if (c < '0' || c > '9') return false;
  }
  return std::stoi(std::string(port)) <= 65535;
}

// The Unix time of a time on the records' clock, which is the PC's local
// civil time; in the hour a clock set back goes twice, either of the two.
double UnixTime(std::int64_t seconds) {
  const DateTime t = DateTimeOfSeconds(seconds);
  std::tm local{};
  local.tm_year = t.year - 1900;
  local.tm_mon = t.month - 1;
  local.tm_mday = t.day;
  local.tm_hour = t.hour;
  local.tm_min = t.minute;
  local.tm_sec = t.second;
  local.tm_isdst = -1;
  return static_cast<double>(std::mktime(&local));
}

void SetTo(prometheus::Gauge& gauge, double value) { gauge.Set(value); }
// A counter only goes up: it takes the status's total when that is more.
void SetTo(prometheus::Counter& counter, double total) {
  if (total > counter.Value()) counter.Increment(total - counter.Value());
}

// The series of one family, one for each value of its label (or the one
// unlabelled series): Publish leaves exactly those it is given.
template <typename Metric>
class Series {
 public:
  Series(prometheus::Family<Metric>& family, std::string label)
      : family_(family), label_(std::move(label)) {}

  void Publish(const std::map<std::string, double>& values) {
    for (auto it = live_.begin(); it != live_.end();) {
      if (values.count(it->first) != 0) {
        ++it;
      } else {
        family_.Remove(it->second);
        it = live_.erase(it);
      }
    }
    for (const auto& [key, value] : values) {
      auto [it, added] = live_.try_emplace(key, nullptr);
      if (added) {
        it->second =
            &family_.Add(label_.empty() ? prometheus::Labels{} : prometheus::Labels{{label_, key}});
      }
      SetTo(*it->second, value);
    }
  }
  // The one unlabelled series, left out when there is no value.
  void Publish(std::optional<double> value) {
    Publish(value ? std::map<std::string, double>{{"", *value}} : std::map<std::string, double>{});
  }

 private:
  prometheus::Family<Metric>& family_;
  std::string label_;
  std::map<std::string, Metric*> live_;
};

using Gauges = Series<prometheus::Gauge>;
using Counters = Series<prometheus::Counter>;

Gauges MakeGauges(prometheus::Registry& registry, const char* name, const char* help,
                  std::string label = {}) {
  return Gauges(prometheus::BuildGauge().Name(name).Help(help).Register(registry),
                std::move(label));
}
Counters MakeCounters(prometheus::Registry& registry, const char* name, const char* help,
                      std::string label = {}) {
  return Counters(prometheus::BuildCounter().Name(name).Help(help).Register(registry),
                  std::move(label));
}

double Flag(bool b) { return b ? 1 : 0; }

}  // namespace

struct StationMetrics::Impl {
  std::shared_ptr<prometheus::Registry> registry = std::make_shared<prometheus::Registry>();
  prometheus::Registry& r = *registry;

  Gauges level = MakeGauges(r, "slm_level_db", "The latest sound level sample, in dB");
  Gauges leq = MakeGauges(
      r, "slm_leq_db",
      "Running Leq of the current 1 min, 15 min or 1 h window, the day so far or the current "
      "part of the day, in dB",
      "window");
  Gauges part_leq =
      MakeGauges(r, "slm_part_leq_db",
                 "Leq of the day, evening and night parts of the day so far, in dB", "part");
  Gauges exceedance =
      MakeGauges(r, "slm_exceedance_level_db",
                 "LAF10 and LAF90 of the last whole assessment interval, in dB", "n");
  Counters samples = MakeCounters(r, "slm_samples_total", "Samples taken since the start");
  Counters samples_written = MakeCounters(r, "slm_samples_written_total",
                                          "Samples written to the daily files since the start");
  Counters gaps = MakeCounters(r, "slm_gaps_total", "Stretches of missing samples");
  Counters gap_seconds =
      MakeCounters(r, "slm_gap_seconds_total", "Seconds the stretches of missing samples lack");
  Counters events = MakeCounters(r, "slm_events_total", "Exceedance events ended since the start");
  Counters meter_losses = MakeCounters(r, "slm_meter_losses_total", "Times the meter was lost");
  Gauges meter_connected =
      MakeGauges(r, "slm_meter_connected", "1 while the meter answers, 0 while it is lost");
  Gauges in_event = MakeGauges(r, "slm_in_event", "1 while the level is in an exceedance event");
  Gauges alarm_active =
      MakeGauges(r, "slm_alarm_active", "1 while the alarm rule is raised", "rule");
  Counters alarms_raised = MakeCounters(r, "slm_alarms_raised_total",
                                        "Times the alarm rule was raised since the start", "rule");
  Gauges writing =
      MakeGauges(r, "slm_writing",
                 "1 while samples are written, 0 while the disk's reserve stops the writing");
  Gauges disk_free =
      MakeGauges(r, "slm_disk_free_bytes", "Bytes free on the disk of the station's folder");
  Gauges disk_reserve = MakeGauges(r, "slm_disk_reserve_bytes",
                                   "Bytes the station keeps free: it stops writing below them");
  Gauges start_time =
      MakeGauges(r, "slm_start_time_seconds", "When the station started, in Unix time");
  Gauges build_info =
      MakeGauges(r, "slm_build_info", "The program's version, as a label", "version");

  std::mutex update_mutex;  // Update only: the scrapes never take it
  std::unique_ptr<prometheus::Exposer> exposer;
};

StationMetrics::StationMetrics(const std::string& address, const std::string& version)
    : impl_(std::make_unique<Impl>()) {
  const std::string failure = "cannot listen on " + address + ": ";
  if (!IsHostAndPort(address)) {
    throw std::runtime_error(failure + "give an address and a port, such as 127.0.0.1:9753");
  }
  CivetCallbacks callbacks;
  callbacks.begin_request = OnBeginRequest;
  callbacks.log_message = OnLogMessage;
  std::string messages;
  start_messages = &messages;
  try {
    impl_->exposer = std::make_unique<prometheus::Exposer>(address, 2, &callbacks);
  } catch (const std::exception& e) {
    start_messages = nullptr;
    throw std::runtime_error(failure + (messages.empty() ? e.what() : Reason(messages)));
  }
  start_messages = nullptr;
  impl_->exposer->RegisterCollectable(impl_->registry, kPath);
  impl_->build_info.Publish({{version, 1}});
}

StationMetrics::~StationMetrics() = default;

int StationMetrics::port() const {
  const std::vector<int> ports = impl_->exposer->GetListeningPorts();
  return ports.empty() ? 0 : ports.front();
}

void StationMetrics::Update(const StationStatus& status) {
  Impl& m = *impl_;
  const std::lock_guard lock(m.update_mutex);
  m.level.Publish(status.level);
  std::map<std::string, double> leqs;
  for (const RunningLeq& window : status.leqs) {
    if (window.leq) leqs[window.window] = *window.leq;
  }
  m.leq.Publish(leqs);
  std::map<std::string, double> parts;
  if (status.lday) parts["day"] = *status.lday;
  if (status.levening) parts["evening"] = *status.levening;
  if (status.lnight) parts["night"] = *status.lnight;
  m.part_leq.Publish(parts);
  std::map<std::string, double> levels;
  if (status.l10) levels["10"] = *status.l10;
  if (status.l90) levels["90"] = *status.l90;
  m.exceedance.Publish(levels);

  m.samples.Publish(status.samples);
  m.samples_written.Publish(status.samples_written);
  m.gaps.Publish(status.gaps);
  m.gap_seconds.Publish(status.gap_seconds);
  m.events.Publish(status.events);
  m.meter_losses.Publish(status.meter_losses);
  m.meter_connected.Publish(Flag(status.meter_connected));
  m.in_event.Publish(Flag(status.in_event));

  std::map<std::string, double> active, raised;
  for (const AlarmState& alarm : status.alarms) {
    active[alarm.rule] = Flag(alarm.active);
    raised[alarm.rule] = static_cast<double>(alarm.raised);
  }
  m.alarm_active.Publish(active);
  m.alarms_raised.Publish(raised);

  m.writing.Publish(Flag(status.writing));
  m.disk_free.Publish(status.disk_free ? std::optional<double>(*status.disk_free) : std::nullopt);
  m.disk_reserve.Publish(static_cast<double>(status.disk_reserve));
  m.start_time.Publish(UnixTime(status.started));
}

}  // namespace slm
