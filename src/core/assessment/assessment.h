#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "assessment/assessment_levels.h"
#include "files/exclusions_file.h"

// The assessment of a long measurement: totals, clock-aligned intervals,
// day/evening/night levels and Lden, exceedance events and the worst rolling
// Leq, leaving out the excluded stretches. Times are seconds on the records'
// clock (base/calendar.h); levels are dB.
namespace slm {

enum DayPart { kDayPart = 0, kEveningPart = 1, kNightPart = 2 };

struct AssessmentSettings {
  std::int64_t interval = 3600;  // seconds; divides a day
  // The hours at which day, evening and night start; each part runs to the
  // next one's start, the night into the next morning.
  std::array<int, 3> part_starts = {7, 19, 23};
  std::vector<int> percentiles = {1, 5, 10, 50, 90, 95, 99};  // N of L(N), 0 to 99
  std::optional<double> threshold = {};                       // dB; no events without one
  std::int64_t min_duration = 0;                              // seconds: shorter events are dropped
  std::int64_t hold = 0;        // seconds a level may fall below the threshold within an event
  std::int64_t rolling = 3600;  // window of the rolling Leq, seconds
  std::vector<Exclusion> exclusions = {};
};

// Why `settings` cannot be used, or "" when they can.
std::string SettingsProblem(const AssessmentSettings& settings);

// The hours of each part of the day.
std::array<int, 3> PartHours(const std::array<int, 3>& part_starts);

// The counted levels of a stretch.
struct LevelSummary {
  std::int64_t count = 0;        // counted records
  std::int64_t under_range = 0;  // of them "--", taken as 25.0 dB
  std::int64_t over_range = 0;   // of them over range, taken as 145.0 dB
  double energy = 0;             // the sum of 10^(L/10)
  double lmax = 0;
  std::int64_t lmax_time = 0;  // of the first record at lmax
  double lmin = 0;
  std::vector<double> percentiles;  // L(N) for the settings' N, in their order, when counted

  double Leq() const;
  double Sel(std::int64_t period) const;  // Leq + 10 log10(count x period)
};

struct IntervalLevels {
  std::int64_t start = 0;
  LevelSummary levels;
  double coverage = 0;  // count x period / interval, in %
};

struct PartLevels {
  std::int64_t count = 0;
  double energy = 0;
  double coverage = 0;  // count x period / the part's length, in %
  std::optional<double> Leq() const;
};

struct DayLevels {
  std::int64_t date = 0;  // midnight of the day the assessment day starts in
  std::array<PartLevels, 3> parts;
  std::optional<double> lden;  // when every part has a counted record
};

struct ExceedanceEvent {
  std::int64_t start = 0;
  std::int64_t end = 0;  // a period after its last record at or above the threshold
  double lmax = 0;
  std::int64_t lmax_time = 0;
  std::int64_t count = 0;  // counted records from start to end
  double energy = 0;
  double Leq() const;
  double Sel(std::int64_t period) const;
};

struct Assessment {
  std::int64_t period = 1;
  LevelSummary total;
  std::int64_t start = 0;                 // the first counted record
  std::int64_t end = 0;                   // a period after the last
  std::int64_t paused = 0;                // records marked "*" outside the exclusions
  std::int64_t excluded = 0;              // records inside an exclusion
  std::vector<IntervalLevels> intervals;  // those with a counted record
  std::vector<DayLevels> days;            // those with a counted record
  bool events_assessed = false;           // a threshold was set
  std::vector<ExceedanceEvent> events;
  std::int64_t seconds_above = 0;     // counted records at or above the threshold x period
  std::optional<double> rolling_max;  // the largest rolling Leq over a full window
  std::int64_t rolling_time = 0;      // the record its window ends with
  // The counted records of the total in each 0.1 dB class (kStatFineClasses
  // of them): the distribution its percentiles are read from.
  std::vector<std::int64_t> classes;
};

// The assessment of `levels` with valid `settings`, in one pass over the
// records.
Assessment Assess(const MeasuredLevels& levels, const AssessmentSettings& settings);

}  // namespace slm
