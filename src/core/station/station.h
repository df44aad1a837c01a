#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "assessment/assessment.h"
#include "live/pc_recorder.h"
#include "platform/files.h"
#include "station/alarm_rules.h"
#include "station/daily_files.h"
#include "station/live_assessment.h"
#include "station/station_log.h"
#include "station/station_status.h"

namespace slm {

struct StationSettings {
  std::string dir;  // where the daily files, monitor.log and events.csv go
  int period = 1;   // seconds between samples
  AssessmentSettings assessment;
  std::vector<std::int64_t> windows = {60, 900, 3600};  // the running Leqs, seconds
  std::vector<AlarmRule> alarms;
  std::uint64_t reserve = 100ULL << 20;  // bytes the station leaves free on its disk
  std::int64_t flush = 60;               // seconds between two syncs of the day's file
};

// The bytes free to `dir` on its disk, when they can be known.
std::optional<std::uint64_t> FreeSpace(const std::string& dir);
using FreeSpaceFn = std::function<std::optional<std::uint64_t>(const std::string& dir)>;

// Another station writes to the folder.
class StationBusyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A monitoring station: it takes the samples of a meter for as long as it
// runs, writes them to one file per day, assesses them as they come, keeps
// its alarms and says in its log what happened. Times are seconds on the
// records' clock (base/calendar.h): a sample's time is the second it was
// taken in, `now` the PC clock's. Driven by its owner: Sample for every
// sample, Tick every second, MeterLost and MeterBack as the link tells.
class Station {
 public:
  // Takes the folder (created when missing) for itself: throws
  // StationBusyError when another station holds it, DataFileError when it
  // cannot be made or written.
  Station(StationSettings settings, StationLog::Echo echo = {}, FreeSpaceFn free_space = FreeSpace);
  // Lets go of the day's file as it is (readable; its header then lacks the
  // running values): what a killed program leaves.
  ~Station();
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  void Start(std::int64_t now, std::string_view what);
  // One sample, taken at `time`; returns the alarms it raised or cleared.
  std::vector<AlarmChange> Sample(std::int64_t time, std::string_view level_text,
                                  const PanelCaptions& captions);
  void MeterLost(std::int64_t now, std::string_view text);
  void MeterBack(std::int64_t now, std::string_view text);
  // Every second: syncs the day's file when due, looks at the disk, keeps
  // the alarms that go by the clock. Returns the alarms raised or cleared.
  std::vector<AlarmChange> Tick(std::int64_t now);
  // The command of an alarm ran (or could not): logged.
  void CommandRan(std::int64_t now, const AlarmChange& change, std::string_view outcome);
  // Ends an event going on, closes the day's file whole and logs the stop.
  void Stop(std::int64_t now, std::string_view why);

  StationStatus Status(std::int64_t now) const;
  const StationSettings& settings() const { return settings_; }
  StationLog& log() { return log_; }

 private:
  void Write(std::int64_t time, std::string_view level_text, double level,
             const PanelCaptions& captions);
  void CheckDisk(std::int64_t now);
  void CloseFile(std::int64_t now);
  void WriteEvents(const std::vector<ExceedanceEvent>& events);
  std::vector<AlarmChange> Logged(std::vector<AlarmChange> changes);

  StationSettings settings_;
  FreeSpaceFn free_space_;
  platform::HeldFile lock_;
  StationLog log_;
  std::string events_path_;
  std::unique_ptr<DailyFile> file_;
  LiveAssessment live_;
  AlarmSet alarms_;

  std::int64_t started_ = 0;
  std::int64_t now_ = 0;
  std::optional<std::int64_t> last_time_;  // of the last sample
  bool clock_back_ = false;                // samples came earlier than the last one
  std::optional<LevelSample> last_sample_;
  std::string last_text_;
  std::int64_t samples_ = 0;
  std::int64_t written_ = 0;
  std::int64_t gaps_ = 0;
  std::int64_t gap_seconds_ = 0;
  bool connected_ = false;
  std::optional<std::int64_t> lost_since_;
  bool loss_gap_ = false;  // the meter was lost since the last sample: its log told of the gap
  std::int64_t losses_ = 0;
  bool writing_ = true;  // false while the disk's reserve stops the writing
  std::optional<std::uint64_t> disk_free_;
  std::int64_t disk_checked_ = -1;
  std::int64_t retry_at_ = 0;  // after a write error, when to try a new file
  std::int64_t synced_ = 0;
};

}  // namespace slm
