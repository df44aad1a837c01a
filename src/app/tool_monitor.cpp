// slmtool monitor: an unattended station. It samples the meter without end
// into one file per day, assesses the samples as they come, keeps its alarms
// and serves its figures to Prometheus.
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "app/tool_meter.h"
#include "assessment/assessment_settings.h"
#include "base/calendar.h"
#include "base/number_text.h"
#include "base/text_excerpt.h"
#include "files/file_io.h"
#include "live/live_session.h"
#include "metrics/station_metrics.h"
#include "platform/stop_signals.h"
#include "qt/stop_signal_notifier.h"
#include "station/station_config.h"
#include "station/station_session.h"

namespace slm::tool {

namespace {

const std::vector<std::string> kValueOptions = {
    "--port",         "--dir",  "--period", "--interval", "--windows", "--periods", "--threshold",
    "--min-duration", "--hold", "--listen", "--config",   "--reserve", "--flush"};

// The command line, with the config file's options for those it does not give.
std::vector<std::string> WithConfig(const std::vector<std::string>& args,
                                    std::vector<AlarmRule>& alarms) {
  const Options given(args, kValueOptions, {});
  if (!given.Has("--config")) return args;
  const StationConfig config = ReadStationConfig(given.Get("--config"));
  std::vector<std::string> all = args;
  for (const auto& [key, value] : config.options) {
    const std::string option = "--" + key;
    if (given.Has(option)) continue;
    all.push_back(option);
    all.push_back(value);
  }
  alarms = config.alarms;
  return all;
}

std::vector<std::int64_t> Windows(const std::string& text) {
  std::vector<std::int64_t> windows;
  std::istringstream parts(text);
  for (std::string part; std::getline(parts, part, ',');) {
    const std::optional<long long> w = ParseInteger(std::string(Trimmed(part)));
    if (!w || *w < 1 || kSecondsPerDay % *w != 0) {
      throw std::runtime_error("--windows takes seconds that divide a day, such as 60,900,3600");
    }
    windows.push_back(*w);
  }
  if (windows.empty()) throw std::runtime_error("--windows takes at least one number of seconds");
  return windows;
}

std::string SignalName(int signal) {
  switch (signal) {
    case SIGTERM:
      return "SIGTERM";
    case SIGINT:
      return "SIGINT";
#ifdef SIGHUP
    case SIGHUP:
      return "SIGHUP";
#endif
    default:
      return "signal " + std::to_string(signal);
  }
}

// Runs an alarm's command without waiting for it, the alarm in its environment.
std::string RunAlarmCommand(const AlarmChange& change) {
  QProcess process;
  process.setProgram("/bin/sh");
  process.setArguments({"-c", QString::fromStdString(change.command)});
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const auto& [name, value] : AlarmEnvironment(change)) {
    env.insert(QString::fromStdString(name), QString::fromStdString(value));
  }
  process.setProcessEnvironment(env);
  process.setStandardOutputFile(QProcess::nullDevice());
  qint64 pid = 0;
  if (!process.startDetached(&pid)) return "could not be started.";
  return "was started (process " + std::to_string(pid) + ").";
}

}  // namespace

int RunMonitor(const std::vector<std::string>& raw_args) {
  std::vector<AlarmRule> alarms;
  const std::vector<std::string> args = WithConfig(raw_args, alarms);
  const Options options(args, kValueOptions, {});
  if (!options.Has("--port")) throw std::runtime_error("monitor needs --port NAME");
  if (!options.Has("--dir")) throw std::runtime_error("monitor needs --dir DIR");
  StationSettings settings;
  settings.dir = options.Get("--dir");
  settings.period = static_cast<int>(options.Whole("--period", 1, 1, 86400));
  settings.reserve = static_cast<std::uint64_t>(options.Whole("--reserve", 100, 0, 1LL << 30))
                     << 20;
  settings.flush = options.Whole("--flush", 60, 1, 60);
  if (options.Has("--windows")) settings.windows = Windows(options.Get("--windows"));
  settings.alarms = alarms;
  auto given = [&](const char* name) -> std::optional<std::string> {
    if (!options.Has(name)) return std::nullopt;
    return options.Get(name);
  };
  SettingsTexts texts;
  texts.interval = given("--interval");
  texts.periods = given("--periods");
  texts.threshold = options.Get("--threshold");
  texts.min_duration = given("--min-duration");
  texts.hold = given("--hold");
  std::string problem;
  const std::optional<AssessmentSettings> assessment = ParseSettings(texts, problem);
  if (!assessment) throw std::runtime_error(problem);
  settings.assessment = *assessment;
  const std::string listen = options.Get("--listen");

  ToolApplication app;
  // Set before anything starts: a stop signal ends the station into its
  // files instead of killing it half-way.
  int stop_signal = 0;
  const StopSignalNotifier stop_signals([&stop_signal](int signal) { stop_signal = signal; });
  platform::IgnoreBrokenPipe();
  auto echo = [](const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  };
  std::unique_ptr<Station> station;
  try {
    station = std::make_unique<Station>(settings, echo);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "slmtool monitor: %s\n", e.what());
    return 1;
  }
  ToolLink tool(options.Get("--port"));
  if (int rc = tool.OpenOrExplain(); rc != 0) return rc;

  std::unique_ptr<StationMetrics> metrics;
  if (!listen.empty()) {
    try {
      metrics = std::make_unique<StationMetrics>(listen, SLM_PROGRAM_VERSION);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "slmtool monitor: %s\n", e.what());
      return 1;
    }
  }

  Reading reading;
  PcRecorder recorder(PcClockReading, settings.dir);
  LiveChartData charts;
  LiveSession session(tool.link(), reading, recorder, charts);
  StationSession glue(session, *station, tool.link().PortLabel());
  std::string what = "Monitoring " + tool.Describe() + " every " + std::to_string(settings.period) +
                     " s into " + AbsolutePath(settings.dir);
  if (metrics) what += "; metrics on http://" + listen + "/metrics";
  glue.Start(what + ".");

  auto run_commands = [&](const std::vector<AlarmChange>& changes) {
    for (const AlarmChange& change : changes) {
      if (change.run_command)
        glue.station().CommandRan(glue.Now(), change, RunAlarmCommand(change));
    }
  };
  QTimer live_timer;
  QTimer sample_timer;
  std::int64_t published = -1;
  QObject::connect(&live_timer, &QTimer::timeout, [&] {
    if (stop_signal != 0) {
      live_timer.stop();
      sample_timer.stop();
      glue.Stop("Stopped by " + SignalName(stop_signal));
      QCoreApplication::quit();
      return;
    }
    run_commands(glue.Tick());
    const std::int64_t now = glue.Now();
    if (metrics && now != published) {
      published = now;
      metrics->Update(glue.station().Status(now));
    }
  });
  QObject::connect(&sample_timer, &QTimer::timeout, [&] {
    run_commands(glue.Sample());
    sample_timer.setInterval(session.MillisecondsToNextSecond());
  });
  live_timer.setInterval(200);
  sample_timer.setTimerType(Qt::PreciseTimer);
  sample_timer.setInterval(session.MillisecondsToNextSecond());
  live_timer.start();
  sample_timer.start();
  QCoreApplication::exec();
  return 0;
}

}  // namespace slm::tool
