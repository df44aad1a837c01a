// The entry of slmtool's Qt part (tool_qt_part.h): the meter's commands, with
// Qt Core and Qt SerialPort and nothing that draws, and the loader of the
// drawing plugin.
#include "app/tool_meter.h"
#include "app/tool_qt_part.h"

namespace slm::tool {
ToolDrawing* LoadDrawingPlugin(const std::string& command);  // tool_draw_loader.cpp
}  // namespace slm::tool

extern "C" __attribute__((visibility("default"))) const slm::tool::QtPart* SlmToolQtPart() {
  using namespace slm::tool;
  static constexpr QtPart kPart = {
      .live = RunLive,
      .key = RunKey,
      .record = RunRecord,
      .monitor = RunMonitor,
      .memory = RunMemory,
      .download = RunDownload,
      .erase = RunErase,
      .sampling = RunSampling,
      .clock = RunClock,
      .drawing = LoadDrawingPlugin,
  };
  return &kPart;
}
