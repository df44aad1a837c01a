#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/number_text.h"
#include "files/data_file_writer.h"
#include "files/record.h"
#include "files/recording_file.h"
#include "link/meter.h"

namespace slm {

// The captions the panel shows for the meter's settings; they go into the
// header of every list the panel saves.
struct PanelCaptions {
  std::string frequency_weighting;  // BoardCA
  std::string time_weighting;       // BoardSFI
  std::string range;                // BoardLevel
};

// Leq, SEL and maximum over one-second ticks.
struct RunningValues {
  long count = 0;
  double energy = 0;
  double leq = 0;
  double sel = 0;
  std::string leq_text;
  std::string sel_text;
  double max = 0;        // the panel compares with this number
  std::string max_text;  // the level text of the maximum
  std::string max_time;  // "yyyy/mm/dd hh:nn:ss"

  // Adds one tick at `level`. The panel's maximum compares with `max`; a
  // recording's compares with the number its stored maximum text holds.
  void Add(double level, const std::string& level_text, const std::string& now_text,
           bool compare_with_text);
  void Reset() { *this = RunningValues{}; }
};

// What the user set with the panel's "Leq" button: a period of time to launch.
struct LaunchPeriod {
  std::string hours, minutes, seconds;  // two digits each
  long period_seconds = 0;
  long set_at_second = 0;  // the second of the day it was set
  long elapsed = 0;
  bool flag = false;  // flips at every accepted answer
};

// "hh:nn:ss" with two ":"; hours past 23 and minutes or seconds past 59 wrap.
// Returns nothing when the text does not hold two ":".
std::optional<LaunchPeriod> ParseLaunchPeriod(const std::string& text);

// What to tell the user once after StartRecording moved an unsaved recording
// to `moved_aside`.
std::string LeftoverRecordingMessage(const std::string& moved_aside);

inline constexpr const char* kLaunchPrompt =
    "Set up the willing time period to launch. \n (hh:nn:ss) ";
inline constexpr const char* kLaunchTitle = "Set up the willing time period";
inline constexpr const char* kLaunchDefault = "00:00:10";
inline constexpr const char* kLaunchInvalid = "Invalid, comply with the data format properly\n";

// A recording as it ended: where it went and how many samples it holds.
struct FinishedRecording {
  std::string file;  // the absolute path of its final file
  std::size_t samples = 0;
  std::string ended_at;  // "yyyy/mm/dd hh:nn:ss" on the PC clock
  bool written = false;  // false: the samples stayed in the temporary file
};

// Samples the meter's level on the PC every PcSamplePeriod seconds into the
// panel list, keeps the running Leq, SEL and maximum, and records samples to
// a file through the temporary file "Fake". Driven by the one-second Timer2.
class PcRecorder {
 public:
  using ClockFn = std::function<DateTime()>;
  // `work_dir`: where "Fake" and the automatically saved lists go.
  explicit PcRecorder(ClockFn clock, std::string work_dir = ".");
  ~PcRecorder();

  struct TickResult {
    bool sampled = false;          // a sample was taken (feed it to the live charts)
    bool list_changed = false;     // rows were added to or removed from the panel list
    std::string auto_saved;        // the file the full panel list was saved to
    bool recording_ended = false;  // the recording reached its limit and was written
    std::string message;           // for the user: a file that could not be written
  };

  // One Timer2 tick with the meter's current level and its text.
  TickResult Tick(double level, const std::string& level_text, const PanelCaptions& captions);

  // Starts a recording that ends in `final_path` (made absolute). The file is
  // first checked with CheckWritable: DataFileError naming its absolute path
  // when it cannot be written. A temporary file left by an
  // earlier recording that was never saved (the program ended, or its final
  // file could not be written) is first moved aside as "Fake-mmddhhnn.unsaved"
  // ("-2", "-3"... before ".unsaved" when that name is taken); returns where it
  // went, else an empty text (see LeftoverRecordingMessage). Throws
  // RecordingBusyError when another recording is running in the folder and
  // DataFileError when the temporary file cannot be created; nothing starts then.
  std::string StartRecording(const std::string& final_path, Separator separator);
  // Ends the recording and writes its final file. Returns a message for the
  // user when a file could not be written (the temporary file is then kept),
  // else an empty text.
  std::string EndRecording(const PanelCaptions& captions);
  // Saves the panel list as a real-time list with the panel's values.
  // Throws DataFileError.
  void SaveList(const std::string& path, Separator separator, const PanelCaptions& captions);
  // Where the saving of the panel list (by the user or at the list limit)
  // reports how far it has come.
  void SetWriteProgress(WriteProgressFn progress) { write_progress_ = std::move(progress); }
  // The toolbar's "Refresh": the panel values and the list start again.
  void Refresh();
  // The meter was lost: a running recording is ended and written (the samples
  // are the user's), then the running values and the list start again.
  // Returns the message of EndRecording.
  std::string LinkLost(const PanelCaptions& captions);

  void SetPeriod(int seconds);  // 1..86400; the next sample comes period + 1 ticks later
  int period() const { return period_; }
  int save_mode() const { return save_mode_; }
  void SetSaveMode(int mode) { save_mode_ = mode; }
  void SetLaunchPeriod(const LaunchPeriod& launch) { launch_ = launch; }
  const std::optional<LaunchPeriod>& launch_period() const { return launch_; }

  bool recording() const { return writer_ != nullptr; }
  // The last recording that ended, for as long as no other has.
  const std::optional<FinishedRecording>& last_finished() const { return last_finished_; }
  // Seconds since the recording started (its one-second ticks).
  long recording_seconds() const { return recording_.count; }
  // The PC clock's time now.
  DateTime Now() const { return clock_(); }
  size_t record_count() const { return record_count_; }
  const std::string& final_path() const { return final_path_; }
  // The temporary file, with the absolute path of the working folder.
  const std::string& fake_path() const { return fake_path_; }
  // Where the last StartRecording moved a leftover temporary file, or empty.
  const std::string& moved_aside() const { return moved_aside_; }
  const RunningValues& panel() const { return panel_; }
  const RunningValues& recording_values() const { return recording_; }
  const RecordList& list() const { return list_; }
  const std::string& sample_time() const { return sample_time_; }
  int sample_tick() const { return sample_tick_; }

 private:
  ListHeader Header(const RunningValues& values, const PanelCaptions& captions) const;
  std::string AutoSave(TickResult& result);

  ClockFn clock_;
  std::string work_dir_;
  std::string fake_path_;
  int period_ = 1;
  int sample_tick_ = 0;
  std::string sample_time_;
  int save_mode_ = 1;
  RunningValues panel_;
  RunningValues recording_;
  RecordList list_;
  std::unique_ptr<RecordingFileWriter> writer_;
  Separator separator_ = Separator::kTab;
  size_t record_count_ = 0;
  std::string final_path_;
  std::string moved_aside_;
  std::optional<FinishedRecording> last_finished_;
  std::optional<LaunchPeriod> launch_;
  WriteProgressFn write_progress_;
};

}  // namespace slm
