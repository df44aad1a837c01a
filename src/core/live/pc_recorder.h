#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "files/data_file_writer.h"
#include "files/record.h"
#include "files/recording_file.h"
#include "link/meter.h"
#include "live/sample_schedule.h"

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

// The header of a real-time list sampled every `period` seconds with the
// panel's captions and `values`.
ListHeader RealTimeHeader(int period, const PanelCaptions& captions, const RunningValues& values);

// What the user set with the panel's "Leq" button: a period of time to launch.
struct LaunchPeriod {
  std::string hours, minutes, seconds;  // two digits each
  long period_seconds = 0;
  long set_at_second = 0;  // the second of the day it was set
  long elapsed = 0;
  bool flag = false;  // flips at every accepted answer (the strip that keeps it flips it)
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

// One file of a recording: a recording longer than a list can hold goes on
// into further files, each within the limit.
struct RecordingPart {
  std::string file;  // the absolute path of its final file
  std::size_t samples = 0;
};

// A recording as it ended: where it went and how many samples it holds.
struct FinishedRecording {
  std::string file;                  // the absolute path of its last (or only) file
  std::size_t samples = 0;           // in all its files
  std::string ended_at;              // "yyyy/mm/dd hh:nn:ss" on the PC clock
  bool written = false;              // false: the last file's samples stayed in the temporary file
  std::vector<RecordingPart> parts;  // every file written, in order
};

// "Its 12 samples were written to "a.dlgr" and "a-2.dlgr"."
std::string RecordingWrittenText(const FinishedRecording& finished);

// One second of the sampling rhythm: its number and its time.
struct SampleSecond {
  long long number = 0;
  std::string time;  // "yyyy/mm/dd hh:nn:ss"
};

// Samples the meter's level on the PC every PcSamplePeriod seconds into the
// panel list, keeps the running Leq, SEL and maximum, and records samples to
// a file through the temporary file "Fake". Driven by the seconds of the
// sampling rhythm (SampleSchedule).
class PcRecorder {
 public:
  // `work_dir`: where "Fake" and the automatically saved lists go.
  explicit PcRecorder(ClockSource clock, std::string work_dir = ".");
  ~PcRecorder();

  struct TickResult {
    bool sampled = false;       // a sample was taken (feed it to the live charts)
    bool list_changed = false;  // rows were added to or removed from the panel list
    std::string auto_saved;     // the file the full panel list was saved to: those of its
                                // samples that no recording holds; "" when it was only
                                // emptied, a recording holding every sample
    // A file of the recording filled up and was written; the recording goes
    // on into the next one.
    std::optional<RecordingPart> part_written;
    bool recording_ended = false;  // a file could not be written: the recording ended
    std::string message;           // for the user: a file that could not be written
  };

  // One second of the rhythm with the meter's level and its text. Seconds
  // that were missed are simply not given: the sample period counts on the
  // seconds' numbers, so samples stay whole periods apart across a gap.
  TickResult Tick(const SampleSecond& second, double level, const std::string& level_text,
                  const PanelCaptions& captions);

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
  // Ends the recording and writes its last file. Returns a message for the
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
  // The meter was lost: the panel's running values and its list start again.
  // A running recording goes on: the seconds without the meter are a gap in it.
  void LinkLost();

  void SetPeriod(int seconds);  // 1..86400; the next sample comes period + 1 seconds later
  // Whether samples go into the panel list (and it is saved when full). A
  // station keeps none: its daily files hold the samples.
  void SetKeepList(bool keep) { keep_list_ = keep; }
  int period() const { return period_; }

  bool recording() const { return writer_ != nullptr; }
  // The last recording that ended, for as long as no other has.
  const std::optional<FinishedRecording>& last_finished() const { return last_finished_; }
  // Seconds since the recording's first second, gaps included.
  long long recording_seconds() const;
  // The PC clock's time now.
  DateTime Now() const { return clock_().wall; }
  ClockReading ReadClock() const { return clock_(); }
  // Samples in the recording's current file, and in all its files.
  size_t record_count() const { return record_count_; }
  size_t total_samples() const { return total_samples_; }
  // The file the user chose, and the one the current samples will go to
  // (further files are "NAME-2.EXT", "NAME-3.EXT"...).
  const std::string& final_path() const { return final_path_; }
  std::string part_path() const { return PartPath(part_); }
  int part() const { return part_; }
  // The temporary file, with the absolute path of the working folder.
  const std::string& fake_path() const { return fake_path_; }
  // Where the last StartRecording moved a leftover temporary file, or empty.
  const std::string& moved_aside() const { return moved_aside_; }
  const RunningValues& panel() const { return panel_; }
  const RunningValues& recording_values() const { return recording_; }
  const RecordList& list() const { return list_; }
  const std::string& sample_time() const { return sample_time_; }

 private:
  ListHeader Header(const RunningValues& values, const PanelCaptions& captions) const;
  std::string AutoSave(TickResult& result);
  std::string PartPath(int part) const;
  // Writes a sample into the recording; false when it could not be.
  bool Record(const SampleSecond& second, const std::string& level_text,
              const PanelCaptions& captions, TickResult& result);
  void ClearList();
  // Writes the current file of the recording; the next one starts empty.
  void NextPart(const PanelCaptions& captions, TickResult& result);
  // Writes the current file of the recording to the next free name of its
  // part; throws DataFileError.
  RecordingPart WritePart(const PanelCaptions& captions);
  void ForgetRecording();

  ClockSource clock_;
  std::string work_dir_;
  std::string fake_path_;
  int period_ = 1;
  bool keep_list_ = true;
  // The second the sample period counts from: samples are taken at
  // period_start_ + k x period, k >= 1.
  std::optional<long long> period_start_;
  long long last_second_ = 0;
  std::string sample_time_;
  RunningValues panel_;
  RunningValues recording_;
  RecordList list_;
  std::vector<bool> in_recording_;  // of each record of list_: a recording holds it too
  std::unique_ptr<RecordingFileWriter> writer_;
  Separator separator_ = Separator::kTab;
  size_t record_count_ = 0;
  size_t total_samples_ = 0;
  int part_ = 1;
  std::vector<RecordingPart> parts_;
  std::optional<long long> recording_first_second_;
  std::string final_path_;
  std::string moved_aside_;
  std::optional<FinishedRecording> last_finished_;
  WriteProgressFn write_progress_;
};

}  // namespace slm
