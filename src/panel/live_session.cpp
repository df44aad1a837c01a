#include "panel/live_session.h"

#include "base/flag_guard.h"
#include "files/record_text.h"

namespace slm {

LiveSession::LiveSession(MeterLink& link, Reading& reading, PcRecorder& recorder,
                         LiveChartData& charts)
    : link_(link), reading_(reading), recorder_(recorder), charts_(charts), live_(link, reading) {
  link_.SetObserver(this);
}

LiveSession::~LiveSession() { link_.ClearObserver(this); }

PanelCaptions LiveSession::Captions() const {
  return {display_.board_ca, display_.board_sfi, display_.board_level};
}

TickResult LiveSession::Tick() {
  const TickResult result = live_.Tick();
  if (result == TickResult::kFrame) {
    UpdatePanelDisplay(display_, reading_);
    fresh_frame_ = true;
  }
  return result;
}

SampleResult LiveSession::Sample() {
  SampleResult out;
  // A message box inside the tick lets the timer fire again.
  if (in_sample_) return out;
  if (!fresh_frame_ || !sampling_) {
    out.no_fresh_frame = true;
    return out;
  }
  FlagGuard running(in_sample_);
  fresh_frame_ = false;

  out.was_recording = recorder_.recording();
  out.recorder = recorder_.Tick(reading_.level, reading_.level_text, Captions());
  if (out.recorder.sampled) {
    out.charts = charts_.UpdateLiveCharts(reading_.level, recorder_.panel().leq_text,
                                          recorder_.panel().sel_text);
  }
  return out;
}

std::string LiveSession::StartRecording(const std::string& final_path, Separator separator) {
  return recorder_.StartRecording(final_path, separator);
}

std::string LiveSession::EndRecording() { return recorder_.EndRecording(Captions()); }

void LiveSession::Refresh() {
  recorder_.Refresh();
  charts_.Refresh();
}

void LiveSession::LinkLost() {
  sampling_ = false;
  fresh_frame_ = false;
  LinkLossReport report;
  report.recording_ended = recorder_.recording();
  report.samples = recorder_.record_count();
  report.file = recorder_.final_path();
  report.time = PcDateTimeText(recorder_.Now());
  // The samples recorded so far are the user's: the recording is ended into
  // its file as "Save" would end it.
  report.message = recorder_.LinkLost(Captions());
  charts_.ResetAfterLinkLoss();
  display_.level_text.clear();
  last_loss_ = report;
  if (view_ != nullptr) view_->ShowLinkLost(report);
}

void LiveSession::LinkRestored() {
  sampling_ = true;
  if (view_ != nullptr) view_->ShowLinkRestored();
}

}  // namespace slm
