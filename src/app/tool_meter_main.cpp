// The meter companion (lib/slmpanel/meter/slmtool): slmtool's commands that
// talk to the meter, with Qt Core and Qt SerialPort and nothing that draws.
// slmtool starts it in its own place.
#include "app/tool_meter.h"

int main(int argc, char** argv) {
  using namespace slm::tool;
  static constexpr NamedCommand kCommands[] = {
      {"live", RunLive},         {"key", RunKey},           {"record", RunRecord},
      {"memory", RunMemory},     {"download", RunDownload}, {"erase", RunErase},
      {"sampling", RunSampling}, {"clock", RunClock},
  };
  return CompanionMain(argc, argv, kCommands);
}
