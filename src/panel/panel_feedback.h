#pragma once

#include <string>

#include "panel/live_session.h"
#include "panel/pc_recorder.h"

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
// The meter was lost: when it ended a recording, where it went, with how many
// samples and at what time.
std::string LinkLostNotice(const LinkLossReport& report);
// The meter is back on `port_label`; a recording the loss ended stays ended.
std::string LinkRestoredNotice(const std::string& port_label, const LinkLossReport& loss);
// The question when the panel is closed while recording.
std::string CloseWhileRecordingQuestion(const PcRecorder& recorder);

}  // namespace slm
