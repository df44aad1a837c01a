#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "assessment/assessment.h"

// The parts of the assessment, each fed the records in time order by the
// Assessor (assessment.cpp) so that one pass over a year serves them all.
namespace slm {

// How the assessment takes a record.
enum class Taken : std::uint8_t { kCounted, kPaused, kExcluded };

// Counted levels of a stretch, with the seconds in each 0.1 dB class for LN.
class StretchLevels {
 public:
  StretchLevels();
  void Add(const LevelSample& sample);
  bool empty() const { return summary_.count == 0; }
  // The seconds added in each 0.1 dB class.
  const std::vector<std::int64_t>& classes() const { return classes_; }
  // What was added, with LN for each N of `percents`; starts afresh.
  LevelSummary Take(std::span<const int> percents);

 private:
  LevelSummary summary_;
  std::vector<std::int64_t> classes_;
  int low_;  // the classes added to lie in [low_, high_]
  int high_;
};

// LN of a distribution of seconds in 0.1 dB classes (`classes[k]` at k/10
// dB above the first class's level `first_tenths`/10), for each N of
// `percents`: the lowest class with seconds such that the seconds in the
// classes above it are at most N % of all.
std::vector<double> ExceedanceLevels(std::span<const std::int64_t> classes, int first_tenths,
                                     std::span<const int> percents);

// Clock-aligned intervals, every one from the first record's to the last's.
class IntervalLevelsBuilder {
 public:
  IntervalLevelsBuilder(const AssessmentSettings& settings, std::vector<IntervalLevels>& out);
  void Add(const LevelSample& sample, Taken taken);
  void Finish();

 private:
  void Close();

  const AssessmentSettings& settings_;
  std::vector<IntervalLevels>& out_;
  std::optional<std::int64_t> index_;  // of the interval being filled
  IntervalLevels row_;
  StretchLevels levels_;
};

// Day, evening and night of each assessment day, and Lden; then the months
// and the years from the days.
class DayLevelsBuilder {
 public:
  DayLevelsBuilder(const AssessmentSettings& settings, std::vector<DayLevels>& out);
  // Every record, so that a day without a counted one still has its row.
  void Add(const LevelSample& sample, Taken taken);
  void Finish();

 private:
  void Close();

  double min_coverage_;
  std::int64_t day_start_;               // seconds after midnight
  std::array<std::int64_t, 3> lengths_;  // of the parts, seconds
  std::vector<DayLevels>& out_;
  std::optional<DayLevels> day_;
};

// The months and the years of `days`.
std::vector<PeriodLevels> MonthLevels(const std::vector<DayLevels>& days,
                                      const AssessmentSettings& settings);
std::vector<PeriodLevels> YearLevels(const std::vector<DayLevels>& days,
                                     const AssessmentSettings& settings);

// Exceedance events over a threshold.
class EventFinder {
 public:
  EventFinder(const AssessmentSettings& settings, std::vector<ExceedanceEvent>& out);
  void Add(const LevelSample& sample);
  void Finish();
  std::int64_t seconds_above() const { return seconds_above_; }
  // An event has begun and not ended yet (its hold may still be running).
  bool open() const { return open_; }

 private:
  void Close();
  void Join(const LevelSample& sample);

  double threshold_;
  std::int64_t hold_;
  std::int64_t min_duration_;
  std::vector<ExceedanceEvent>& out_;
  bool open_ = false;
  ExceedanceEvent event_;
  std::int64_t last_above_ = 0;
  std::int64_t last_end_ = 0;  // the last record above's time plus its period
  // Counted records below the threshold after the last one above, which
  // belong to the event only if another record above joins it.
  ExceedanceEvent pending_;
  std::int64_t seconds_above_ = 0;
};

// The largest Leq over a rolling window of full length whose records cover
// enough of it.
class RollingLeq {
 public:
  // `coverage`: % of the window its records must cover.
  RollingLeq(std::int64_t window, double coverage);
  void Add(const LevelSample& sample);
  std::optional<double> max() const;
  std::int64_t max_time() const { return max_time_; }
  std::int32_t max_period() const { return max_period_; }
  double max_coverage() const { return max_coverage_; }
  bool max_under_range() const { return max_under_; }
  bool max_over_range() const { return max_over_; }

 private:
  // A sum with Neumaier's compensation: energies come and go over a year, and
  // a loud record leaving a quiet window must not leave its rounding behind.
  struct Sum {
    double sum = 0;
    double carry = 0;
    void Add(double x);
    double value() const { return sum + carry; }
  };
  struct Entry {
    std::int64_t time;
    double energy;  // x seconds
    std::int32_t seconds;
    SampleKind kind;
  };

  std::int64_t window_;
  double coverage_;
  std::optional<std::int64_t> full_from_;  // the first record time that ends a full window
  std::vector<Entry> queue_;
  std::size_t head_ = 0;
  Sum sum_;
  std::int64_t seconds_ = 0;  // of the records in the window
  std::int64_t under_ = 0;    // "--" records in the window
  std::int64_t over_ = 0;     // over-range records in the window
  double max_mean_ = -1;
  std::int64_t max_time_ = 0;
  std::int32_t max_period_ = 1;
  double max_coverage_ = 0;
  bool max_under_ = false;
  bool max_over_ = false;
};

}  // namespace slm
