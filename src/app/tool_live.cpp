#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <string>
#include <utility>

#include "app/tool_common.h"
#include "panel/live_acquisition.h"

namespace slm::tool {

namespace {

constexpr const char* kNoDevice = "No device found, try again!";

std::string ReadingLine(const Reading& r) {
  char line[160];
  std::snprintf(line, sizeof line, "%-7s dB  %3d-%-3d  %-4s  %-2s  %s %s %s %s %s",
                r.level_text.c_str(), r.range_bottom, r.range_top, r.time_weighting.c_str(),
                r.frequency_weighting.c_str(), r.over ? "OVER" : "----",
                r.under ? "UNDER" : "-----", r.run ? "RUN" : "---", r.pause ? "PAUSE" : "-----",
                r.stop ? "STOP" : "----");
  return line;
}

int OpenOrExplain(ToolLink& tool) {
  try {
    tool.Open();
  } catch (const LinkError& e) {
    std::fprintf(stderr, "%s\n%s\n", kNoDevice, e.what());
    return 1;
  }
  return 0;
}

// Says "No COM" the moment the meter is found silent, not only when the
// tick that found it ends.
class PrintingObserver : public LinkObserver {
 public:
  void LinkLost() override {
    std::printf("No COM\n");
    std::fflush(stdout);
    printed_ = true;
  }
  void LinkRestored() override {}
  // True once after LinkLost printed its line.
  bool TakePrinted() { return std::exchange(printed_, false); }

 private:
  bool printed_ = false;
};

}  // namespace

int RunLive(const std::vector<std::string>& args) {
  const Options options(args, {"--port", "--count"}, {});
  ToolApplication app;

  ToolLink tool(options.Get("--port"));
  if (int rc = OpenOrExplain(tool); rc != 0) return rc;
  std::printf("%s\n", tool.link().PortLabel().c_str());
  std::fflush(stdout);

  const long count = static_cast<long>(options.Number("--count", 0));
  long printed = 0;
  Reading reading;
  LiveAcquisition live(tool.link(), reading);
  PrintingObserver observer;
  tool.link().SetObserver(&observer);
  QTimer timer;
  timer.setInterval(200);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    const TickResult result = live.Tick();
    switch (result) {
      case TickResult::kSkipped:
        return;  // the previous tick is still waiting for the meter
      case TickResult::kFrame:
        std::printf("%s\n", ReadingLine(reading).c_str());
        break;
      case TickResult::kLost:
        if (!observer.TakePrinted()) std::printf("No COM\n");
        break;
      case TickResult::kRestored:
        std::printf("%s\n", tool.link().PortLabel().c_str());
        break;
      case TickResult::kPortError:
        std::printf("No COM (the serial port failed)\n");
        break;
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
