#pragma once

#include <optional>
#include <string>

#include "analysis/live_chart_data.h"
#include "link/meter_link.h"
#include "live/live_acquisition.h"
#include "live/panel_display.h"
#include "live/pc_recorder.h"
#include "live/reading.h"
#include "live/sample_schedule.h"

namespace slm {

// A lost meter and a running recording: the recording goes on, and the
// seconds without the meter are a gap in it.
struct LinkLossReport {
  bool recording = false;    // a recording was running and goes on
  size_t samples = 0;        // the samples it held when the meter was lost
  std::string file;          // the file its samples go to (absolute)
  std::string time;          // when the meter was lost, "yyyy/mm/dd hh:nn:ss"
  std::string back_time;     // when it came back, once it has
  bool never_found = false;  // no reading ever came: the meter was not found at all
  std::string port;          // "COM1"
};

// How the owner of a live session (the panel, or a shell command) hears of a
// lost and a returning meter. The session has done its own part already:
// the running values and the charts start again; a recording goes on.
class LiveSessionView {
 public:
  virtual ~LiveSessionView() = default;
  virtual void ShowLinkLost(const LinkLossReport& report) = 0;
  virtual void ShowLinkRestored() = 0;
};

// What one sampling tick did.
struct SampleResult {
  // A second of the rhythm was due and the meter had sent a fresh reading
  // within that second: the second was taken. Without one (a lost meter, or
  // a program held up, whose last reading is from before the hold-up) a due
  // second is skipped, so that no level is ever taken twice, made up or
  // carried over into another second.
  bool taken = false;
  // Seconds that came due before this one and were not taken (the program
  // was held up, or the system slept): a gap.
  long long missed = 0;
  bool was_recording = false;
  PcRecorder::TickResult recorder;
  // Set when a sample was taken: what the live charts show of it.
  std::optional<LiveChartUpdate> charts;
};

// The live side of the program, shared by the panel and slmtool: the 200 ms
// tick that reads the meter into the one current Reading and the panel's
// display values, and the sampling tick that takes each second of the
// sampling rhythm as it comes due: it keeps the running values, samples into
// the list and the recording, and feeds the live charts. The rhythm starts
// with the first reading. It is the link's observer: while the meter is lost
// no second is taken, and a recording goes on with a gap.
class LiveSession : public LinkObserver {
 public:
  LiveSession(MeterLink& link, Reading& reading, PcRecorder& recorder, LiveChartData& charts);
  ~LiveSession() override;
  LiveSession(const LiveSession&) = delete;
  LiveSession& operator=(const LiveSession&) = delete;

  void SetView(LiveSessionView* view) { view_ = view; }
  // Clears the view, but only when `view` is the one set.
  void ClearView(LiveSessionView* view) {
    if (view_ == view) view_ = nullptr;
  }

  // The 200 ms tick.
  TickResult Tick();
  // The sampling tick: takes the second that is due, if any. Call it often
  // enough (MillisecondsToNextSecond says when) and a second is taken
  // within moments of falling due; a late call still takes the due second.
  SampleResult Sample();
  // When the next second falls due, from now; the sampling timer's interval.
  int MillisecondsToNextSecond() const;

  // False while the meter is lost: the one-second tick waits for it.
  bool sampling() const { return sampling_; }
  // The last loss of the meter (empty before the first).
  const LinkLossReport& last_loss() const { return last_loss_; }
  const PanelDisplay& display() const { return display_; }
  // The meter's settings as the panel shows them; they go into the header of
  // every list the panel saves.
  PanelCaptions Captions() const;

  // Starts a recording (see PcRecorder::StartRecording): returns where a
  // recording left behind by an earlier run was moved, or "".
  std::string StartRecording(const std::string& final_path, Separator separator);
  // Ends a running recording into its file; a message for the user or "".
  std::string EndRecording();
  // Sets the PC's sampling period; refused (false) while a recording runs,
  // since its file holds one period.
  bool SetPeriod(int seconds);
  // The toolbar's "Refresh": the running values, the list and the charts
  // start again.
  void Refresh();

  MeterLink& link() { return link_; }
  PcRecorder& recorder() { return recorder_; }
  const Reading& reading() const { return reading_; }
  LiveChartData& charts() { return charts_; }

  // LinkObserver
  void LinkLost() override;
  void LinkRestored() override;

 private:
  MeterLink& link_;
  Reading& reading_;
  PcRecorder& recorder_;
  LiveChartData& charts_;
  LiveAcquisition live_;
  PanelDisplay display_;
  LiveSessionView* view_ = nullptr;
  LinkLossReport last_loss_;
  SampleSchedule schedule_;
  bool sampling_ = true;
  bool ever_found_ = false;
  bool fresh_frame_ = false;
  double frame_at_ = 0;  // when the reading's frame came, on the monotonic clock
  bool in_sample_ = false;
};

}  // namespace slm
