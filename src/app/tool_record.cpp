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
#include "panel/live_acquisition.h"
#include "panel/panel_display.h"
#include "panel/pc_recorder.h"

namespace slm::tool {

namespace {

std::atomic<bool> g_interrupted{false};
void OnInterrupt(int) { g_interrupted = true; }

// Ends the recording into its file when the meter is lost, as the panel does.
class RecordingObserver : public LinkObserver {
 public:
  RecordingObserver(PcRecorder& recorder, const PanelDisplay& display)
      : recorder_(recorder), display_(display) {}
  void LinkLost() override {
    lost = true;
    message = recorder_.LinkLost({display_.board_ca, display_.board_sfi, display_.board_level});
  }
  void LinkRestored() override {}
  bool lost = false;
  std::string message;

 private:
  PcRecorder& recorder_;
  const PanelDisplay& display_;
};

}  // namespace

int RunRecord(const std::vector<std::string>& args) {
  const Options options(args, {"--port", "--period", "--count", "--output"}, {});
  const std::string output = options.Get("--output");
  if (output.empty()) throw std::runtime_error("record needs -o FILE");
  const double period = options.Number("--period", 1);
  const double count = options.Number("--count", 0);
  if (period < 1 || period > 86400) throw std::runtime_error("--period takes 1..86400 seconds");
  if (count < 1 || count > static_cast<double>(kMaxRecords)) {
    throw std::runtime_error("--count takes 1.." + std::to_string(kMaxRecords) + " samples");
  }

  ToolApplication app;
  ToolLink tool(options.Get("--port"));
  try {
    tool.Open();
  } catch (const LinkError& e) {
    std::fprintf(stderr, "No device found, try again!\n%s\n", e.what());
    return 1;
  }

  Reading reading;
  PanelDisplay display;
  LiveAcquisition live(tool.link(), reading);
  PcRecorder recorder(PcDateTime);
  recorder.SetPeriod(static_cast<int>(period));
  RecordingObserver observer(recorder, display);
  tool.link().SetObserver(&observer);
  try {
    recorder.StartRecording(output, IsCsvPath(output) ? Separator::kComma : Separator::kTab);
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "%s\nThe recording did not start.\n", e.what());
    return 1;
  }
  std::printf("recording %s every %s s into %s\n", tool.Describe().c_str(),
              NumberText(period).c_str(), output.c_str());
  std::fflush(stdout);
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);

  int exit_code = 0;
  bool have_frame = false;
  auto finish = [&](const std::string& why) {
    const size_t written = recorder.record_count();
    const std::string message =
        recorder.EndRecording({display.board_ca, display.board_sfi, display.board_level});
    if (!message.empty()) {
      std::fprintf(stderr, "%s\n", message.c_str());
      exit_code = 1;
    } else {
      std::printf("%s: %zu samples written to %s\n", why.c_str(), written, output.c_str());
    }
    QCoreApplication::quit();
  };

  QTimer timer1;
  QTimer timer2;
  timer1.setInterval(200);
  timer2.setInterval(1000);
  QObject::connect(&timer1, &QTimer::timeout, [&] {
    if (g_interrupted) {
      timer1.stop();
      timer2.stop();
      finish("interrupted");
      return;
    }
    if (live.Tick() == TickResult::kFrame) {
      UpdatePanelDisplay(display, reading);
      have_frame = true;
    }
    if (observer.lost) {
      timer1.stop();
      timer2.stop();
      std::fprintf(stderr, "The meter stopped answering; the recording was ended into %s.\n",
                   output.c_str());
      if (!observer.message.empty()) std::fprintf(stderr, "%s\n", observer.message.c_str());
      exit_code = 1;
      QCoreApplication::quit();
    }
  });
  QObject::connect(&timer2, &QTimer::timeout, [&] {
    if (!have_frame) return;  // nothing to sample before the first reading
    const PcRecorder::TickResult result =
        recorder.Tick(reading.level, reading.level_text,
                      {display.board_ca, display.board_sfi, display.board_level});
    if (result.sampled && recorder.recording()) {
      std::printf("%zu %s %s\n", recorder.record_count(), recorder.sample_time().c_str(),
                  reading.level_text.c_str());
      std::fflush(stdout);
    }
    if (!result.message.empty()) {
      std::fprintf(stderr, "%s\n", result.message.c_str());
      exit_code = 1;
    }
    if (recorder.record_count() >= static_cast<size_t>(count) || !recorder.recording()) {
      timer1.stop();
      timer2.stop();
      finish("done");
    }
  });
  timer1.start();
  timer2.start();
  QCoreApplication::exec();
  return exit_code;
}

}  // namespace slm::tool
