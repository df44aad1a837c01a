#include "live/live_session.h"

#include <algorithm>
#include <cmath>

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
    ever_found_ = true;
    const ClockReading now = recorder_.ReadClock();
    frame_at_ = now.monotonic;
    // Sampling keeps its rhythm from the first reading on.
    if (!schedule_.started()) schedule_.Start(now);
  }
  return result;
}

int LiveSession::MillisecondsToNextSecond() const {
  // Until the first reading the tick only looks now and then.
  if (!schedule_.started()) return 200;
  const double wait = schedule_.NextDue() - recorder_.ReadClock().monotonic;
  // A little after the second falls due, so that the timer is never early.
  return std::clamp(static_cast<int>(std::ceil(wait * 1000.0)) + 5, 5, 2000);
}

bool LiveSession::SetPeriod(int seconds) {
  if (recorder_.recording()) return false;
  recorder_.SetPeriod(seconds);
  return true;
}

SampleResult LiveSession::Sample() {
  SampleResult out;
  // A file written inside the tick shows its progress, and the timer can
  // fire again meanwhile: the due second waits for this tick to end.
  if (in_sample_ || !schedule_.started()) return out;
  FlagGuard running(in_sample_);
  const ClockReading now = recorder_.ReadClock();
  // The PC clock was set or stepped: outside a recording the times follow
  // it; a recording keeps its own count of seconds to its end.
  if (!recorder_.recording() && std::abs(schedule_.Drift(now)) >= 1.0) schedule_.Realign(now);
  const std::optional<SampleSchedule::Due> due = schedule_.Take(now.monotonic);
  if (!due) return out;
  out.missed = due->missed;
  // Only a reading that came within the second it is taken for is that
  // second's level: after a hold-up (a suspend, a stopped process) the last
  // reading is from before it: that second is a gap like the ones missed.
  if (!fresh_frame_ || !sampling_ || frame_at_ <= due->due - 1.0) return out;
  fresh_frame_ = false;
  out.taken = true;

  out.was_recording = recorder_.recording();
  out.recorder = recorder_.Tick({due->second, PcDateTimeText(due->time)}, reading_.level,
                                reading_.level_text, Captions());
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
  report.recording = recorder_.recording();
  report.samples = recorder_.total_samples();
  report.file = recorder_.part_path();
  report.time = PcDateTimeText(recorder_.Now());
  report.never_found = !ever_found_;
  report.port = "COM" + std::to_string(link_.PortNumber());
  // A recording is the user's unattended measurement: it waits for the meter
  // and goes on when it is back, with the missing seconds as a gap.
  recorder_.LinkLost();
  charts_.ResetAfterLinkLoss();
  display_.level_text.clear();
  last_loss_ = report;
  if (view_ != nullptr) view_->ShowLinkLost(report);
}

void LiveSession::LinkRestored() {
  sampling_ = true;
  last_loss_.back_time = PcDateTimeText(recorder_.Now());
  if (view_ != nullptr) view_->ShowLinkRestored();
}

}  // namespace slm
