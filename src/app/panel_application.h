#pragma once

#include <string>

#include "analysis/level_statistics.h"
#include "analysis/live_chart_data.h"
#include "link/meter_link.h"
#include "panel/live_session.h"
#include "panel/pc_recorder.h"
#include "panel/reading.h"
#include "ui/app_timers.h"
#include "ui/printing.h"
#include "ui/qt_dialogs.h"
#include "platform/qt_serial_port.h"
#include "platform/qt_wait.h"
#include "platform/system_ports.h"

namespace slm {

// The windowed program's shared state: one of each, made in main and handed
// by reference to the windows that use it.
class PanelApplication {
 public:
  // `first_device`: the device that is COM1 (from --port or the emulator).
  explicit PanelApplication(const std::string& first_device)
      : directory(first_device),
        serial([this](int n) { return directory.DeviceOf(n); }),
        rs232(clock, pump),
        link(serial, rs232),
        recorder(PcClockReading),
        session(link, reading, recorder, charts) {}

  PortDirectory directory;
  QtSerialPort serial;
  QtClock clock;
  QtEventPump pump;
  Rs232 rs232;
  MeterLink link;
  Reading reading;
  QtDialogs dialogs;
  PcRecorder recorder;
  LiveChartData charts;
  LiveSession session;
  AppTimers timers;
  QtPrinting printing;
  LnTable ln_table;
};

}  // namespace slm
