#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "assessment/assessment.h"

// The parts of the assessment, each fed the counted records in time order by
// Assess (assessment.cpp) so that one pass over a week serves them all.
namespace slm {

// Counted levels of a stretch, with their 0.1 dB classes for L(N).
class StretchLevels {
 public:
  StretchLevels();
  void Add(const LevelSample& sample);
  bool empty() const { return summary_.count == 0; }
  // The records added in each 0.1 dB class.
  const std::vector<std::int64_t>& classes() const { return classes_; }
  // What was added, with L(N) for each N of `percents`; starts afresh.
  LevelSummary Take(std::span<const int> percents);

 private:
  LevelSummary summary_;
  std::vector<std::int64_t> classes_;
  int low_;  // the classes added to lie in [low_, high_]
  int high_;
};

// Clock-aligned intervals, each with a counted record.
class IntervalLevelsBuilder {
 public:
  IntervalLevelsBuilder(const AssessmentSettings& settings, std::int64_t period,
                        std::vector<IntervalLevels>& out);
  void Add(const LevelSample& sample);
  void Finish();

 private:
  const AssessmentSettings& settings_;
  std::int64_t period_;
  std::vector<IntervalLevels>& out_;
  std::int64_t index_ = 0;  // of the interval being filled
  StretchLevels levels_;
};

// Day, evening and night of each assessment day, and Lden.
class DayLevelsBuilder {
 public:
  DayLevelsBuilder(const AssessmentSettings& settings, std::int64_t period,
                   std::vector<DayLevels>& out);
  void Add(const LevelSample& sample);
  void Finish();

 private:
  std::int64_t period_;
  std::int64_t day_start_;               // seconds after midnight
  std::array<std::int64_t, 3> lengths_;  // of the parts, seconds
  std::vector<DayLevels>& out_;
  std::optional<DayLevels> day_;
};

// Exceedance events over a threshold.
class EventFinder {
 public:
  EventFinder(const AssessmentSettings& settings, std::int64_t period,
              std::vector<ExceedanceEvent>& out);
  void Add(const LevelSample& sample);
  void Finish();
  std::int64_t records_above() const { return records_above_; }

 private:
  void Close();

  double threshold_;
  std::int64_t reach_;  // the hold plus a period: how far a record above may follow the last
  std::int64_t min_duration_;
  std::int64_t period_;
  std::vector<ExceedanceEvent>& out_;
  bool open_ = false;
  ExceedanceEvent event_;
  std::int64_t last_above_ = 0;
  // Counted records below the threshold after the last one above, which
  // belong to the event only if another record above joins it.
  std::int64_t pending_count_ = 0;
  double pending_energy_ = 0;
  std::int64_t records_above_ = 0;
};

// The largest Leq over a rolling window of full length.
class RollingLeq {
 public:
  // `first_time`: the measurement's first record.
  RollingLeq(std::int64_t window, std::int64_t period, std::int64_t first_time);
  void Add(const LevelSample& sample);
  std::optional<double> max() const;
  std::int64_t max_time() const { return max_time_; }

 private:
  // A sum with Neumaier's compensation: energies come and go over a week, and
  // a loud record leaving a quiet window must not leave its rounding behind.
  struct Sum {
    double sum = 0;
    double carry = 0;
    void Add(double x);
    double value() const { return sum + carry; }
  };

  std::int64_t window_;
  std::int64_t full_from_;  // the first record time that ends a full window
  std::vector<std::pair<std::int64_t, double>> queue_;  // time, energy of the window's records
  std::size_t head_ = 0;
  Sum sum_;
  double max_mean_ = -1;
  std::int64_t max_time_ = 0;
};

}  // namespace slm
