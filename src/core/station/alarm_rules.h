#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "assessment/assessment_levels.h"
#include "station/station_status.h"

// The alarms of a monitoring station: rules on the levels it samples and on
// the meter being lost, each raised once when its condition is met and
// cleared once when it has passed, so that a level hovering at a limit does
// not flood the log or the user's command. Times are seconds on the records'
// clock (base/calendar.h).
namespace slm {

enum class AlarmKind { kLeq, kLevel, kMeterLost };

struct AlarmRule {
  std::string name = {};  // letters, digits, '-', '_' (it becomes a Prometheus label value)
  AlarmKind kind = AlarmKind::kLeq;
  double limit = 0;  // dB (kLeq, kLevel): raised at or above it
  // kLeq: seconds of the sliding Leq; kLevel: seconds the level must stay at
  // or above the limit; kMeterLost: seconds the meter is lost.
  std::int64_t window = 900;
  // Minutes of the day [from, to), wrapping past midnight (23:00-07:00 is
  // {1380, 420}); `to` may be 1440. Outside it the rule is not raised and an
  // active alarm clears.
  std::optional<std::pair<int, int>> between = {};
  // dB: an active kLeq/kLevel alarm clears only once its level is below limit - hysteresis.
  double hysteresis = 2;
  double coverage = 90;      // kLeq: % of the window its samples must cover before it is compared
  std::string command = {};  // run when the alarm is raised and when it clears; "" none
  std::int64_t command_interval = 3600;  // at least this many seconds between two runs of it
};

// One raise or clear, to log, show and maybe run the command for.
struct AlarmChange {
  std::string rule;
  bool raised = false;
  std::optional<double> level;  // the level compared, none for a lost meter
  std::int64_t time = 0;
  bool run_command = false;  // the rule has a command and its interval allows a run now
  std::string command;
  // What happened in words after the rule's name: "LAeq over 900 s 66.2 dB,
  // limit 65.0 dB", "the meter is back", "outside its hours 23:00-07:00".
  std::string detail;
};

// A plain sentence for monitor.log: "alarm night-leq raised: LAeq over 900 s
// 66.2 dB, limit 65.0 dB".
std::string AlarmLogText(const AlarmChange& change);

// "23:00-07:00" of a rule's `between`.
std::string HoursText(const std::pair<int, int>& between);

class AlarmSet {
 public:
  // `names` gives the figures their weightings in the texts ("LAeq", "LAF");
  // without them they read "Leq" and "level".
  explicit AlarmSet(std::vector<AlarmRule> rules, Descriptors names = {});
  ~AlarmSet();
  AlarmSet(AlarmSet&&) noexcept;
  AlarmSet& operator=(AlarmSet&&) noexcept;

  // A sample taken at `sample.time`, in time order. Paused ("*") samples
  // count as the level they show, under-range "--" as 25 dB as the
  // assessment takes them. A kLeq rule is compared once its samples cover
  // enough of the window; a kLevel rule's hold starts again after a gap.
  // Without a level to compare (too little coverage) an alarm stays as it is.
  std::vector<AlarmChange> Add(const LevelSample& sample);
  // Called every second with the time now and since when the meter is lost
  // (nullopt while connected): raises and clears the kMeterLost rules, and
  // clears any active alarm whose hours have ended. kLeq and kLevel rules
  // are raised by the next sample within their hours.
  std::vector<AlarmChange> Tick(std::int64_t now, std::optional<std::int64_t> lost_since);
  // One per rule, in order.
  std::vector<AlarmState> states() const;

 private:
  struct Track;
  AlarmChange Change(Track& track, bool raise, std::int64_t time, std::string detail);

  std::vector<Track> tracks_;
  Descriptors names_;
};

// The environment a command runs with: SLM_ALARM_RULE, SLM_ALARM_STATE
// ("raised"/"cleared"), SLM_ALARM_LEVEL ("66.2" or ""), SLM_ALARM_TIME
// ("yyyy/mm/dd hh:nn:ss") and SLM_ALARM_MESSAGE (the log sentence).
std::vector<std::pair<std::string, std::string>> AlarmEnvironment(const AlarmChange& change);

}  // namespace slm
