#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/assessment_parts.h"
#include "station/station_status.h"

namespace slm {

// The assessment of a station's samples as they come: the running Leq of
// the clock-aligned windows going on now (a minute, a quarter of an hour, an
// hour), of the day so far and of the part of the day, the day, evening and
// night levels of the assessment day so far, LN of the last whole interval,
// and the exceedance events, each ended exactly as the assessment of the
// day's files later ends it. Samples come in time order; each weighs its
// period, paused ones are not counted.
class LiveAssessment {
 public:
  // `windows`: seconds of each running window, each dividing a day.
  LiveAssessment(const AssessmentSettings& settings, std::vector<std::int64_t> windows);

  // Takes one sample; returns the events that ended before it.
  std::vector<ExceedanceEvent> Add(const LevelSample& sample);
  // Ends an event still going on (the station stops); returns it if it counts.
  std::vector<ExceedanceEvent> Finish();

  // The figures at `now` into `status`: leqs, part, lday/levening/lnight,
  // l10/l90, events, in_event.
  void Fill(std::int64_t now, StationStatus& status) const;

  // The name a window has in the metrics: "1m", "15m", "1h", "90s".
  static std::string WindowName(std::int64_t seconds);

 private:
  // The energy of the counted samples of one window that started at `start`.
  struct Running {
    std::int64_t length = 0;
    std::int64_t start = -1;
    double energy = 0;  // x seconds
    std::int64_t seconds = 0;
    void Add(std::int64_t window_start, const LevelSample& sample);
    RunningLeq At(std::int64_t now_start, std::int64_t now, const std::string& name) const;
  };
  // The assessment day `time` belongs to (its midnight) and its part.
  std::int64_t AssessmentDate(std::int64_t time) const;
  DayPart PartOf(std::int64_t time, std::int64_t date) const;
  std::int64_t PartStart(DayPart part, std::int64_t date) const;
  std::vector<ExceedanceEvent> TakeEnded();

  AssessmentSettings settings_;
  std::int64_t day_start_;               // seconds after midnight
  std::array<std::int64_t, 3> lengths_;  // of the parts, seconds
  std::vector<Running> windows_;
  Running day_;             // the calendar day so far
  std::int64_t date_ = -1;  // the assessment day of parts_
  std::array<Running, 3> parts_;
  StretchLevels interval_levels_;
  std::int64_t interval_start_ = -1;
  std::optional<double> l10_, l90_;
  std::int64_t l10_l90_start_ = 0;
  std::vector<ExceedanceEvent> ended_;
  EventFinder events_;
  std::int64_t events_total_ = 0;
  std::int64_t events_today_ = 0;
  std::int64_t events_midnight_ = -1;  // the day events_today_ counts
};

}  // namespace slm
