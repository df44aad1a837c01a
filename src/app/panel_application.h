#pragma once

#include <string>

#include "analysis/level_statistics.h"
#include "analysis/live_chart_data.h"
#include "live/live_session.h"
#include "live/pc_recorder.h"
#include "live/reading.h"
#include "qt/meter_connection.h"
#include "qt/qt_wait.h"
#include "ui/app_timers.h"
#include "ui/printing.h"
#include "ui/qt_dialogs.h"

namespace slm {

// The windowed program's shared state: one of each, made in main and handed
// by reference to the windows that use it.
class PanelApplication {
 public:
  // `first_device`: the device that is COM1 (from --port or the emulator);
  // `port`: the demo's port, when there is one (see MeterConnection).
  explicit PanelApplication(const std::string& first_device, SerialPort* port = nullptr)
      : meter(first_device, port),
        recorder(PcClockReading),
        session(meter.link(), reading, recorder, charts) {}

  MeterConnection meter;
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
