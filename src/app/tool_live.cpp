#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <string>
#include <utility>

#include "app/tool_meter.h"
#include "live/live_session.h"

namespace slm::tool {

namespace {

std::string ReadingLine(const Reading& r) {
  char line[160];
  std::snprintf(line, sizeof line, "%-7s dB  %3d-%-3d  %-4s  %-2s  %s %s %s %s %s",
                r.level_text.c_str(), r.range_bottom, r.range_top, r.time_weighting.c_str(),
                r.frequency_weighting.c_str(), r.over ? "OVER" : "----",
                r.under ? "UNDER" : "-----", r.run ? "RUN" : "---", r.pause ? "PAUSE" : "-----",
                r.stop ? "STOP" : "----");
  return line;
}

// Says "No COM" the moment the meter is found silent or its port fails,
// not only when the tick that found it ends, and the port when it is back.
class PrintingView : public LiveSessionView {
 public:
  explicit PrintingView(MeterLink& link) : link_(link) {}
  void ShowLinkLost(const LinkLossReport&) override {
    Print("No COM");
    announced_ = true;
  }
  void ShowLinkRestored() override { Print(link_.PortLabel()); }
  // True once after the loss was announced.
  bool TakeAnnounced() { return std::exchange(announced_, false); }

 private:
  static void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  }
  MeterLink& link_;
  bool announced_ = false;
};

}  // namespace

int RunLive(const std::vector<std::string>& args) {
  const Options options(args, {"--port", "--count"}, {});
  ToolApplication app;

  ToolLink tool(options.Get("--port"));
  if (int rc = tool.OpenOrExplain(); rc != 0) return rc;
  std::printf("%s\n", tool.link().PortLabel().c_str());
  std::fflush(stdout);

  const long count = static_cast<long>(options.Number("--count", 0));
  long printed = 0;
  Reading reading;
  PcRecorder recorder(PcClockReading);
  LiveChartData charts;
  LiveSession session(tool.link(), reading, recorder, charts);
  PrintingView view(tool.link());
  session.SetView(&view);
  QTimer timer;
  timer.setInterval(200);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    switch (session.Tick()) {
      case TickResult::kSkipped:
        return;  // the previous tick is still waiting for the meter
      case TickResult::kFrame:
        std::printf("%s\n", ReadingLine(reading).c_str());
        break;
      case TickResult::kLost:
        // Every one-second search says it again.
        if (!view.TakeAnnounced()) std::printf("No COM\n");
        break;
      case TickResult::kRestored:
        break;  // the view said so
    }
    std::fflush(stdout);
    if (count > 0 && ++printed >= count) {
      timer.stop();
      QCoreApplication::quit();
    }
  });
  timer.start();
  return QCoreApplication::exec();
}

}  // namespace slm::tool
