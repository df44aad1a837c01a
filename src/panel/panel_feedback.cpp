#include "panel/panel_feedback.h"

#include <filesystem>

#include "base/number_text.h"

namespace slm {

namespace {

std::string Samples(std::size_t n) { return std::to_string(n) + (n == 1 ? " sample" : " samples"); }

}  // namespace

PanelStatus DescribePanelStatus(const PanelState& state, const PcRecorder& recorder) {
  PanelStatus status;
  status.port = state.offline ? "Offline" : state.meter_lost ? "No COM" : state.port_label;
  if (recorder.recording()) {
    status.recording = "Rec " + std::filesystem::path(recorder.final_path()).filename().string() +
                       "  " + Samples(recorder.record_count()) + "  " +
                       DurationText(recorder.recording_seconds());
  } else {
    status.recording = "Not recording";
  }
  status.message = state.last_message;
  return status;
}

std::string RecordingFinishedNotice(const FinishedRecording& finished) {
  if (!finished.written) {
    return "The recording ended at " + finished.ended_at + " could not be saved to \"" +
           finished.file + "\".";
  }
  return "The recording was saved to \"" + finished.file + "\": " + Samples(finished.samples) + ".";
}

std::string LinkLostNotice(const LinkLossReport& report) {
  if (!report.recording_ended) return "The meter was lost at " + report.time + ".";
  std::string text = "The meter was lost at " + report.time + "; the recording into \"" +
                     report.file + "\" was ended with " + Samples(report.samples) + ".";
  if (!report.message.empty()) text += "\n" + report.message;
  return text;
}

std::string LinkRestoredNotice(const std::string& port_label, const LinkLossReport& loss) {
  std::string text = "The meter is back on " + port_label;
  if (loss.recording_ended) {
    text += "; the recording ended at " + loss.time + " was not resumed (\"" + loss.file + "\")";
  }
  return text + ".";
}

std::string CloseWhileRecordingQuestion(const PcRecorder& recorder) {
  return "A recording into \"" + recorder.final_path() + "\" is running (" +
         Samples(recorder.record_count()) +
         ").\nStop it, save it and close the panel?\n"
         "No keeps the recording and the panel running.";
}

}  // namespace slm
