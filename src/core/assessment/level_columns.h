#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "assessment/assessment.h"

// What a chart of a long measurement `columns` pixel columns wide can show
// of a stretch [from, to) of it: the levels as a band from the lowest to the
// highest level of each column, or a line through the records where there
// are fewer records than columns; the parts of the day; the marks of the
// events. Times are seconds on the records' clock.
namespace slm {

// A level trace: at each time the lowest and the highest level drawn there
// (the same for a record of its own). A point whose levels are NaN stands
// between two that the data has a gap between (no counted record for longer
// than the record's period; between columns, a gap at least a column wide,
// as narrower ones cannot be seen), so that the gap stays a gap; a stretch
// of data with no neighbour on either side is drawn across its whole width,
// so that it shows.
struct ColumnTrace {
  std::vector<double> times;
  std::vector<double> lows;
  std::vector<double> highs;
};

// The lowest and the highest level of each column of [from, to) holding a
// counted record, at the column's middle, walking the records. Paused
// records are no levels; records outside [from, to) are passed over.
ColumnTrace MinMaxColumns(std::span<const LevelSample> samples, double from, double to,
                          int columns);

// Each counted record at the middle of its period.
ColumnTrace RecordTrace(std::span<const LevelSample> samples);

struct TimeSpan {
  double from = 0;
  double to = 0;
  friend bool operator==(const TimeSpan&, const TimeSpan&) = default;
};

// The parts of the day at the settings' hours, in time order, cut to
// [from, to).
struct PartSpan {
  TimeSpan span;
  DayPart part;
};
std::vector<PartSpan> DayPartSpans(const std::array<int, 3>& part_starts, double from, double to);

// The stretches that mark `events` (in time order) in [from, to): each event
// cut where a stretch of `holes` lies inside it (the gaps of the data, the
// stretches left out; in any order), in pieces of their own. Narrower than
// `slack` (a column) a hole cannot be seen, nor a space between two events:
// those are not cut, so that a year draws in as many pieces as it has
// columns at most.
std::vector<TimeSpan> EventMarks(std::span<const ExceedanceEvent> events,
                                 std::vector<TimeSpan> holes, double from, double to, double slack);

namespace level_columns_detail {

// True when columns `width` wide show a gap from `end` (a period after a
// column's last counted record) to `first` (the next column's first).
inline bool SeenGap(std::int64_t end, std::int64_t first, double width) {
  return static_cast<double>(first - end) >= width && first > end;
}

// Builds a trace point by point: a NaN point where the data has a gap, and a
// stretch of one point widened to the `half_width` it came with on either
// side.
class TraceBuilder {
 public:
  void Add(double time, double low, double high, bool gap_before, double half_width);
  ColumnTrace Finish();

 private:
  void CloseStretch();
  ColumnTrace trace_;
  double half_width_ = 0;  // of the last point
  std::size_t stretch_start_ = 0;
};

}  // namespace level_columns_detail

}  // namespace slm
