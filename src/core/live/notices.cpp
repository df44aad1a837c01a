#include "live/notices.h"

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
    status.recording = "Rec " + std::filesystem::path(recorder.part_path()).filename().string() +
                       "  " + Samples(recorder.total_samples()) + "  " +
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
  if (finished.parts.size() > 1) {
    std::string text = "The recording was saved in " + std::to_string(finished.parts.size()) +
                       " files, " + Samples(finished.samples) + " in all:";
    for (const RecordingPart& part : finished.parts) {
      text += "\n\"" + part.file + "\": " + Samples(part.samples);
    }
    return text;
  }
  return "The recording was saved to \"" + finished.file + "\": " + Samples(finished.samples) + ".";
}

std::string RecordingPartNotice(const RecordingPart& part, const std::string& next_file) {
  return "The recording filled \"" + part.file + "\" (" + Samples(part.samples) +
         ") and goes on into \"" + next_file + "\".";
}

std::string LinkLostNotice(const LinkLossReport& report) {
  if (report.never_found) {
    return "No meter answers on " + report.port +
           ": it was not found. Check that it is switched on and connected; the panel keeps "
           "looking for it.";
  }
  if (!report.recording) return "The meter was lost at " + report.time + ".";
  return "The meter was lost at " + report.time + ". The recording into \"" + report.file + "\" (" +
         Samples(report.samples) +
         " so far) goes on when the meter is back; until then it has a gap.";
}

std::string LinkRestoredNotice(const std::string& port_label, const LinkLossReport& loss) {
  std::string text = "The meter is back on " + port_label;
  if (loss.recording) {
    text += "; the recording goes on, with no samples from " + loss.time + " to " + loss.back_time;
  }
  return text + ".";
}

std::string NoMeterTip(const std::string& port) {
  return "No meter answers on " + port + ": this needs the meter.";
}

std::string LinkJobGapQuestion(const std::string& job) {
  return "A recording is running. " + job +
         " stops the meter's live levels while it talks to the meter, so the recording will "
         "have a gap (missing seconds) until it is done.\nGo on?";
}

std::string CloseWhileRecordingQuestion(const PcRecorder& recorder) {
  return "A recording into \"" + recorder.part_path() + "\" is running (" +
         Samples(recorder.total_samples()) +
         ").\nStop it, save it and close the panel?\n"
         "No keeps the recording and the panel running.";
}

}  // namespace slm
