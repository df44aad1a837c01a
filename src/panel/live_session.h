#pragma once

#include <optional>
#include <string>

#include "analysis/live_chart_data.h"
#include "link/meter_link.h"
#include "panel/live_acquisition.h"
#include "panel/panel_display.h"
#include "panel/pc_recorder.h"
#include "panel/reading.h"

namespace slm {

// What a lost meter did to the running recording.
struct LinkLossReport {
  bool recording_ended = false;  // a recording was running and was ended
  size_t samples = 0;            // the samples it holds
  std::string file;              // the file it was written to (absolute)
  std::string time;              // when the meter was lost, "yyyy/mm/dd hh:nn:ss"
  std::string message;           // for the user when that file could not be written
};

// How the owner of a live session (the panel, or a shell command) hears of a
// lost and a returning meter. The session has done its own part already:
// the recording is ended, the running values and the charts start again.
class LiveSessionView {
 public:
  virtual ~LiveSessionView() = default;
  virtual void ShowLinkLost(const LinkLossReport& report) = 0;
  virtual void ShowLinkRestored() = 0;
};

// What one sampling tick did.
struct SampleResult {
  // No frame has come from the meter since the last tick: nothing was
  // sampled, so that no level is ever taken twice or made up.
  bool no_fresh_frame = false;
  bool was_recording = false;
  PcRecorder::TickResult recorder;
  // Set when a sample was taken: what the live charts show of it.
  std::optional<LiveChartUpdate> charts;
};

// The live side of the program, shared by the panel and slmtool: the 200 ms
// tick that reads the meter into the one current Reading and the panel's
// display values, and the one-second tick that keeps the running values,
// samples into the list and the recording, and feeds the live charts. It is
// the link's observer: a lost meter ends the recording into its file.
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
  // The one-second tick.
  SampleResult Sample();

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
  bool sampling_ = true;
  bool fresh_frame_ = false;
  bool in_sample_ = false;
};

}  // namespace slm
