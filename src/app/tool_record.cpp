// slmtool record: a PC recording exactly as the panel makes it, without a window.
#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>

#include "app/tool_common.h"
#include "base/number_text.h"
#include "files/data_file_writer.h"
#include "files/file_io.h"
#include "panel/live_session.h"

namespace slm::tool {

namespace {

std::atomic<bool> g_interrupted{false};
void OnInterrupt(int) { g_interrupted = true; }

class LossView : public LiveSessionView {
 public:
  void ShowLinkLost(const LinkLossReport& report) override {
    lost = true;
    this->report = report;
  }
  void ShowLinkRestored() override {}
  bool lost = false;
  LinkLossReport report;
};

// A whole number of seconds or samples within [low, high].
long WholeNumber(const Options& options, const std::string& name, long fallback, long low,
                 long high) {
  if (!options.Has(name)) return fallback;
  const std::optional<long long> value = ParseInteger(options.Get(name));
  if (!value || *value < low || *value > high) {
    throw std::runtime_error(name + " takes a whole number from " + std::to_string(low) + " to " +
                             std::to_string(high) + ", not \"" + options.Get(name) + "\"");
  }
  return static_cast<long>(*value);
}

}  // namespace

int RunRecord(const std::vector<std::string>& args) {
  const Options options(args, {"--port", "--period", "--count", "--output"}, {});
  const std::string output = options.Get("--output");
  if (output.empty()) throw std::runtime_error("record needs -o FILE");
  const long period = WholeNumber(options, "--period", 1, 1, 86400);
  if (!options.Has("--count")) throw std::runtime_error("record needs --count N");
  const long count = WholeNumber(options, "--count", 0, 1, static_cast<long>(kMaxRecords));

  // Set before anything starts, so that a stop signal never kills the tool
  // half-way; it ends the recording into its file instead.
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  ToolApplication app;
  ToolLink tool(options.Get("--port"));
  if (int rc = tool.OpenOrExplain(); rc != 0) return rc;

  Reading reading;
  PcRecorder recorder(PcDateTime);
  recorder.SetPeriod(static_cast<int>(period));
  LiveChartData charts;
  LiveSession session(tool.link(), reading, recorder, charts);
  LossView view;
  session.SetView(&view);
  try {
    const std::string moved_aside =
        session.StartRecording(output, IsCsvPath(output) ? Separator::kComma : Separator::kTab);
    if (!moved_aside.empty()) {
      std::fprintf(stderr, "%s\n", LeftoverRecordingMessage(moved_aside).c_str());
    }
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "%s\nThe recording did not start.\n", e.what());
    return 1;
  }
  std::printf("recording %s every %ld s into %s\n", tool.Describe().c_str(), period,
              output.c_str());
  std::fflush(stdout);

  QTimer timer1;
  QTimer timer2;
  int exit_code = 0;
  size_t samples_so_far = 0;
  // One end, one message: why it ended, and how many samples the file holds.
  auto finish = [&](const char* why) {
    timer1.stop();
    timer2.stop();
    size_t written = recorder.recording() ? recorder.record_count() : samples_so_far;
    std::string message;
    if (view.lost) {
      written = view.report.samples;
      message = view.report.message;
    } else {
      message = session.EndRecording();
    }
    if (!message.empty()) {
      std::fprintf(stderr, "%s\n", message.c_str());
      exit_code = 1;
    } else {
      std::fprintf(written < static_cast<size_t>(count) && !g_interrupted ? stderr : stdout,
                   "%s: %zu of %ld samples written to %s\n", why, written, count, output.c_str());
    }
    // Fewer samples than asked is a failure, unless the user ended it.
    if (written < static_cast<size_t>(count) && !g_interrupted) exit_code = 1;
    QCoreApplication::quit();
  };

  timer1.setInterval(200);
  timer2.setInterval(1000);
  QObject::connect(&timer1, &QTimer::timeout, [&] {
    if (g_interrupted) return finish("interrupted");
    session.Tick();
    if (view.lost) finish("the meter stopped answering; the recording was ended");
  });
  QObject::connect(&timer2, &QTimer::timeout, [&] {
    const SampleResult result = session.Sample();
    if (result.no_fresh_frame) return;
    if (recorder.recording()) samples_so_far = recorder.record_count();
    if (result.recorder.sampled && recorder.recording()) {
      std::printf("%zu %s %s\n", recorder.record_count(), recorder.sample_time().c_str(),
                  reading.level_text.c_str());
      std::fflush(stdout);
    }
    if (!result.recorder.message.empty()) {
      std::fprintf(stderr, "%s\n", result.recorder.message.c_str());
      exit_code = 1;
    }
    if (recorder.record_count() >= static_cast<size_t>(count)) return finish("done");
    if (!recorder.recording()) return finish("the recording ended");
  });
  timer1.start();
  timer2.start();
  QCoreApplication::exec();
  return exit_code;
}

}  // namespace slm::tool
