#pragma once

#include <span>
#include <vector>

#include "assessment/assessment_levels.h"

namespace slm {

// A level trace cut down to what a drawing of `columns` columns can show:
// the lowest and the highest level of each column at its middle (in that
// order), and a NaN level after a column where the next is empty, so that a
// gap in the measurement stays a gap. Paused records are no levels. A week
// of seconds draws as fast as an hour.
struct ColumnTrace {
  std::vector<double> times;
  std::vector<double> levels;
};
ColumnTrace MinMaxColumns(std::span<const LevelSample> samples, double from, double to,
                          int columns);

}  // namespace slm
