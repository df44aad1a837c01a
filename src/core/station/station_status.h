#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a monitoring station knows at one moment: what the panel's side
// column shows and what the metrics endpoint serves. A plain copy, so that
// the one who shows it never holds up the sampling.
namespace slm {

// The running Leq of one clock-aligned window that is still going on (the
// current minute, quarter of an hour, hour), of the day so far or of the
// current part of the day.
struct RunningLeq {
  std::string window;         // "1m", "15m", "1h", "day", "part"
  std::int64_t length = 0;    // seconds; 86400 for "day", the part's length for "part"
  std::int64_t start = 0;     // its start, seconds on the records' clock (base/calendar.h)
  std::optional<double> leq;  // dB; none before its first counted sample
  double coverage = 0;        // % of the time so far its samples cover
};

// One alarm rule's state.
struct AlarmState {
  std::string rule;  // the rule's name
  bool active = false;
  std::optional<double> level;  // dB: the level it compared last (none for a lost meter)
  std::int64_t since = 0;       // when it was raised or cleared last, 0 before
  std::int64_t raised = 0;      // times raised since the start
};

struct StationStatus {
  bool meter_connected = false;
  std::optional<double> level;   // the latest sample, dB
  std::string level_text;        // as the meter gave it ("65.3", "--", "141.2*")
  std::int64_t level_time = 0;   // its time, seconds on the records' clock
  std::vector<RunningLeq> leqs;  // the windows, then "day", then "part"
  std::string part;              // "day", "evening" or "night": the part of the day now
  // The day, evening and night levels of the assessment day now running, so far.
  std::optional<double> lday, levening, lnight;
  // LAF10 and LAF90 of the last whole interval, and that interval's start.
  std::optional<double> l10, l90;
  std::int64_t l10_l90_start = 0;
  std::int64_t interval = 3600;  // seconds of the assessment interval

  std::int64_t samples = 0;          // samples taken since the start
  std::int64_t samples_written = 0;  // of them, written to the daily files
  std::int64_t gaps = 0;             // stretches of missing samples since the start
  std::int64_t gap_seconds = 0;      // the seconds they lack
  std::int64_t events = 0;           // exceedance events ended since the start
  std::int64_t events_today = 0;     // of them, those that started today
  bool in_event = false;             // the level is in an event now
  std::int64_t meter_losses = 0;     // times the meter was lost
  std::vector<AlarmState> alarms;

  bool writing = true;                     // false while the disk's reserve stops the writing
  std::optional<std::uint64_t> disk_free;  // bytes free to the station's folder
  std::uint64_t disk_reserve = 0;          // bytes it keeps free
  std::string file;                        // the daily file samples go to now (absolute)
  std::int64_t started = 0;  // when the station started, seconds on the records' clock
};

}  // namespace slm
