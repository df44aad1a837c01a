#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "assessment/assessment_levels.h"
#include "assessment/level_columns.h"

namespace slm {

// The levels of a measurement summed up once, so that a chart of a year of
// seconds draws any view in time that grows with its columns, not with its
// records: the lowest and the highest counted level of each block of 64 and
// of 4096 records with the first time and the end of the counted ones, and
// the gaps of the data. The levels must outlive their summaries.
class LevelSummaries {
 public:
  explicit LevelSummaries(const MeasuredLevels& levels);
  const MeasuredLevels& levels() const { return levels_; }

  // The same columns as MinMaxColumns over the records.
  ColumnTrace Columns(double from, double to, int columns) const;
  // What a chart of `columns` columns draws of [from, to): a line through
  // the records (RecordTrace, with one record beyond either edge so that it
  // runs on to them) where there are fewer of them than columns, else the
  // columns.
  ColumnTrace Trace(double from, double to, int columns) const;
  // The stretches without a counted record for longer than a period, the
  // ones at least `min_width` long that reach into [from, to).
  std::vector<TimeSpan> Gaps(double from, double to, double min_width) const;
  // The lowest and the highest counted level; nothing without one.
  std::optional<std::pair<double, double>> Range() const;

 private:
  // Counted records of a stretch: no level when `first` > `end`.
  struct Block {
    double low = 0;
    double high = 0;
    std::int64_t first = 1;
    std::int64_t end = 0;  // the last plus its period
    bool empty() const { return first > end; }
  };
  static void Join(Block& into, const Block& b);
  static Block Of(const LevelSample& s);
  // The records [begin, end) by their index.
  Block Summary(std::size_t begin, std::size_t end) const;
  std::size_t IndexOf(double time) const;  // the first record at or after `time`

  const MeasuredLevels& levels_;
  std::span<const LevelSample> samples_;
  std::vector<Block> small_;  // of kSmall records each
  std::vector<Block> large_;  // of kLarge records each
  std::vector<TimeSpan> gaps_;
  Block all_;
};

}  // namespace slm
