#pragma once

#include <array>
#include <cstdint>
#include <memory>
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
  std::vector<int> percentiles = {1, 5, 10, 50, 90, 95, 99};  // N of LN, 0 to 100
  std::optional<double> threshold = {};                       // dB; no events without one
  std::int64_t min_duration = 0;                              // seconds: shorter events are dropped
  std::int64_t hold = 0;        // seconds a level may fall below the threshold within an event
  std::int64_t rolling = 3600;  // window of the rolling Leq, seconds
  // % of the rolling window its counted records must cover for the window to count.
  double rolling_coverage = 90;
  // % of a part of the day its counted records must cover for the part to
  // have a level; a day has Lden only when all three have one.
  double min_coverage = 75;
  std::vector<Exclusion> exclusions = {};
};

// Why `settings` cannot be used, or "" when they can.
std::string SettingsProblem(const AssessmentSettings& settings);

// The hours of each part of the day.
std::array<int, 3> PartHours(const std::array<int, 3>& part_starts);

// The counted levels of a stretch. Each record weighs the seconds it stands
// for (its file's sample period).
struct LevelSummary {
  std::int64_t count = 0;        // counted records
  std::int64_t seconds = 0;      // the seconds they stand for
  std::int64_t under_range = 0;  // of them "--", taken as 25.0 dB
  std::int64_t over_range = 0;   // of them over range, taken as 145.0 dB
  double energy = 0;             // the sum of 10^(L/10) x seconds
  double lmax = 0;
  std::int64_t lmax_time = 0;  // of the first record at lmax
  double lmin = 0;
  // LN for the settings' N, in their order, when counted: the lowest counted
  // level such that the time above it is at most N % of the counted time.
  std::vector<double> percentiles;

  double Leq() const;  // 10 log10(energy / seconds)
  double Sel() const;  // 10 log10(energy): the level of the same energy in one second
};

// What a stretch without a counted record held instead.
enum class EmptyReason : std::uint8_t { kNone, kNoData, kPaused, kExcluded };

struct IntervalLevels {
  std::int64_t start = 0;
  LevelSummary levels;
  double coverage = 0;        // seconds counted / interval, in %
  std::int64_t excluded = 0;  // records inside an exclusion
  std::int64_t paused = 0;    // records marked "*" outside the exclusions
  EmptyReason Empty() const;  // kNone when a record is counted
};

struct PartLevels {
  std::int64_t count = 0;
  std::int64_t seconds = 0;
  double energy = 0;  // the sum of 10^(L/10) x seconds
  std::int64_t under_range = 0;
  std::int64_t over_range = 0;
  double coverage = 0;                  // seconds / the part's length, in %
  bool enough = false;                  // covered at least the settings' min_coverage
  std::optional<double> Leq() const;    // of what was counted
  std::optional<double> Level() const;  // Leq when covered enough
};

struct DayLevels {
  std::int64_t date = 0;  // midnight of the day the assessment day starts in
  std::array<PartLevels, 3> parts;
  std::optional<double> lden;  // when every part has its Level()
};

// The day, evening and night levels of a month or a year: the energetic
// means of its days' part levels, each over the days that have one.
struct PeriodLevels {
  std::int64_t start = 0;  // midnight of its first day (the 1st of the month, 1 January)
  std::array<std::optional<double>, 3> levels;
  std::array<std::int64_t, 3> days = {0, 0, 0};  // days with each part's level
  std::optional<double> lden;                    // when all three have a level
  bool under_range = false;                      // a day's part counted "--" records
  bool over_range = false;                       // a day's part counted over-range records
};

struct ExceedanceEvent {
  std::int64_t start = 0;
  std::int64_t end = 0;  // its last record at or above the threshold, plus that record's period
  double lmax = 0;
  std::int64_t lmax_time = 0;
  std::int64_t count = 0;    // counted records from start to end
  std::int64_t seconds = 0;  // the seconds they stand for
  double energy = 0;         // the sum of 10^(L/10) x seconds
  std::int64_t over_range = 0;
  double Leq() const;
  double Sel() const;
};

struct Assessment {
  std::int64_t period = 1;            // the sample period of most records
  std::vector<std::int64_t> periods;  // every sample period met, ascending
  LevelSummary total;
  std::int64_t start = 0;                 // the first counted record
  std::int64_t end = 0;                   // its period after the last
  std::int64_t paused = 0;                // records marked "*" outside the exclusions
  std::int64_t excluded = 0;              // records inside an exclusion
  std::vector<IntervalLevels> intervals;  // every interval from the first record's to the last's
  std::vector<DayLevels> days;            // every day from the first record's to the last's
  std::vector<PeriodLevels> months;
  std::vector<PeriodLevels> years;
  bool events_assessed = false;  // a threshold was set
  std::vector<ExceedanceEvent> events;
  std::int64_t seconds_above = 0;  // seconds of the counted records at or above the threshold
  // The largest rolling Leq over a window that starts after the first
  // counted record and whose counted records cover at least the settings'
  // rolling_coverage of it.
  std::optional<double> rolling_max;
  std::int64_t rolling_time = 0;     // the record its window ends with
  std::int32_t rolling_period = 1;   // that record's period
  double rolling_coverage = 0;       // % of that window its counted records cover
  bool rolling_under_range = false;  // that window counted "--" records
  bool rolling_over_range = false;   // or over-range records
  // The counted seconds in each 0.1 dB class (kStatFineClasses of them):
  // the distribution its percentiles are read from.
  std::vector<std::int64_t> classes;
};

// The assessment of records given one at a time in time order, holding only
// what it keeps per interval, day and event: a year of files streams through
// it one file at a time.
class Assessor {
 public:
  explicit Assessor(const AssessmentSettings& settings);
  ~Assessor();
  Assessor(const Assessor&) = delete;
  Assessor& operator=(const Assessor&) = delete;
  void Add(const LevelSample& sample);
  Assessment Finish();

 private:
  struct Parts;
  AssessmentSettings settings_;
  std::unique_ptr<Parts> parts_;
};

// The assessment of `levels` with valid `settings`, in one pass over the
// records.
Assessment Assess(const MeasuredLevels& levels, const AssessmentSettings& settings);

}  // namespace slm
