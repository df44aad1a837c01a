// slmtool record: a PC recording exactly as the panel makes it, without a window.
#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/tool_meter.h"
#include "base/number_text.h"
#include "files/data_file_writer.h"
#include "files/file_io.h"
#include "live/live_session.h"
#include "live/notices.h"
#include "platform/stop_signals.h"
#include "qt/stop_signal_notifier.h"

namespace slm::tool {

namespace {

// Says on standard error when the meter is lost and back; the recording
// waits for it, or gives up after `give_up` seconds (0: never).
class LossView : public LiveSessionView {
 public:
  void ShowLinkLost(const LinkLossReport& report) override {
    lost = true;
    lost_at = std::chrono::steady_clock::now();
    std::fprintf(stderr, "%s\n", LinkLostNotice(report).c_str());
  }
  void ShowLinkRestored() override {
    lost = false;
    std::fprintf(stderr, "%s\n", LinkRestoredNotice(port, session->last_loss()).c_str());
  }
  double LostSeconds() const {
    if (!lost) return 0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - lost_at).count();
  }
  bool lost = false;
  std::chrono::steady_clock::time_point lost_at;
  std::string port;
  const LiveSession* session = nullptr;
};

}  // namespace

int RunRecord(const std::vector<std::string>& args) {
  const Options options(args, {"--port", "--period", "--count", "--output", "--give-up"}, {});
  const std::string output = options.Get("--output");
  if (output.empty()) throw std::runtime_error("record needs -o FILE");
  const long period = static_cast<long>(options.Whole("--period", 1, 1, 86400));
  if (!options.Has("--count")) throw std::runtime_error("record needs --count N");
  // A long recording goes on into further files, so the count has no list limit.
  const long count = static_cast<long>(options.Whole("--count", 0, 1, 1000000000L));
  const long give_up = static_cast<long>(options.Whole("--give-up", 0, 0, 31536000L));

  ToolApplication app;
  // Set before anything starts, so that a stop signal (Ctrl+C, SIGTERM, a
  // closed terminal's SIGHUP) never kills the tool half-way; it ends the
  // recording into its file instead. A reader of the printed samples that
  // goes away does not end the recording either.
  bool interrupted = false;
  const StopSignalNotifier stop_signals([&interrupted](int) { interrupted = true; });
  platform::IgnoreBrokenPipe();
  ToolLink tool(options.Get("--port"));
  if (int rc = tool.OpenOrExplain(); rc != 0) return rc;

  Reading reading;
  PcRecorder recorder(PcClockReading);
  recorder.SetPeriod(static_cast<int>(period));
  LiveChartData charts;
  LiveSession session(tool.link(), reading, recorder, charts);
  LossView view;
  view.port = tool.link().PortLabel();
  view.session = &session;
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
  // One end, one message: why it ended, and how many samples its files hold.
  auto finish = [&](const char* why) {
    timer1.stop();
    timer2.stop();
    const std::string message = session.EndRecording();
    const std::optional<FinishedRecording>& finished = recorder.last_finished();
    const size_t written = finished ? finished->samples : 0;
    if (!message.empty()) {
      std::fprintf(stderr, "%s\n", message.c_str());
      exit_code = 1;
    }
    std::string files;
    if (finished) {
      for (const RecordingPart& part : finished->parts) {
        files += (files.empty() ? "" : ", ") + part.file;
      }
    }
    if (files.empty()) files = output;
    // Fewer samples than asked is a failure, unless the user ended it.
    const bool short_of_count = written < static_cast<size_t>(count) && !interrupted;
    std::fprintf(short_of_count || exit_code != 0 ? stderr : stdout,
                 "%s: %zu of %ld samples written to %s\n", why, written, count, files.c_str());
    if (short_of_count) exit_code = 1;
    QCoreApplication::quit();
  };

  timer1.setInterval(200);
  timer2.setTimerType(Qt::PreciseTimer);
  timer2.setInterval(session.MillisecondsToNextSecond());
  QObject::connect(&timer1, &QTimer::timeout, [&] {
    if (interrupted) return finish("interrupted");
    session.Tick();
    if (give_up > 0 && view.LostSeconds() >= static_cast<double>(give_up)) {
      finish("the meter was lost for too long; the recording was ended");
    }
  });
  QObject::connect(&timer2, &QTimer::timeout, [&] {
    const SampleResult result = session.Sample();
    timer2.setInterval(session.MillisecondsToNextSecond());
    if (!result.taken) return;
    const PcRecorder::TickResult& tick = result.recorder;
    if (tick.sampled && recorder.recording()) {
      std::printf("%zu %s %s\n", recorder.total_samples(), recorder.sample_time().c_str(),
                  reading.level_text.c_str());
    }
    if (tick.part_written) {
      std::printf("%s\n", RecordingPartNotice(*tick.part_written, recorder.part_path()).c_str());
    }
    std::fflush(stdout);
    if (!tick.message.empty()) {
      std::fprintf(stderr, "%s\n", tick.message.c_str());
      exit_code = 1;
    }
    if (recorder.recording() && recorder.total_samples() >= static_cast<size_t>(count)) {
      return finish("done");
    }
    if (!recorder.recording()) return finish("the recording ended");
  });
  timer1.start();
  timer2.start();
  QCoreApplication::exec();
  return exit_code;
}

}  // namespace slm::tool
