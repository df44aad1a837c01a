#pragma once

#include <string>

#include "live/live_session.h"
#include "live/pc_recorder.h"

namespace slm {

// What the panel's status strip shows, one text a part.
struct PanelStatus {
  std::string port;       // "COM1", "No COM" (the meter is lost) or "Offline"
  std::string recording;  // the file, samples and elapsed time, or "Not recording"
  std::string message;    // the last message the panel gave
};

// Where the panel stands: the link, the recorder and its last message.
struct PanelState {
  bool offline = false;
  bool meter_lost = false;  // the link is not open, or the meter fell silent
  std::string port_label;   // "COM1"
  std::string last_message;
};

PanelStatus DescribePanelStatus(const PanelState& state, const PcRecorder& recorder);

// "The recording was saved to "<file>": N samples." (or where its samples
// stayed when the file could not be written).
std::string RecordingFinishedNotice(const FinishedRecording& finished);
// A file of the recording is full and written; the recording goes on into the next.
std::string RecordingPartNotice(const RecordingPart& part, const std::string& next_file);
// The meter was lost at what time; a running recording goes on with a gap.
std::string LinkLostNotice(const LinkLossReport& report);
// The meter is back on `port_label`; the gap a recording has.
std::string LinkRestoredNotice(const std::string& port_label, const LinkLossReport& loss);
// Why a control that needs the meter is disabled while none answers.
std::string NoMeterTip(const std::string& port);
// Asked before a job that talks to the meter (`job`: "Reading the meter's
// memory") while a recording runs.
std::string LinkJobGapQuestion(const std::string& job);
// The question when the panel is closed while recording.
std::string CloseWhileRecordingQuestion(const PcRecorder& recorder);

}  // namespace slm
