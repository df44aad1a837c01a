#include "assessment/level_columns.h"

#include <algorithm>
#include <limits>

namespace slm {

ColumnTrace MinMaxColumns(std::span<const LevelSample> samples, double from, double to,
                          int columns) {
  ColumnTrace trace;
  if (columns <= 0 || to <= from) return trace;
  const double width = (to - from) / columns;
  int column = -1;
  double low = 0;
  double high = 0;
  auto flush = [&] {
    if (column < 0) return;
    const double middle = from + (column + 0.5) * width;
    trace.times.insert(trace.times.end(), {middle, middle});
    trace.levels.insert(trace.levels.end(), {low, high});
  };
  for (const LevelSample& s : samples) {
    if (s.kind == SampleKind::kPaused) continue;
    const int c = std::clamp(static_cast<int>((s.time - from) / width), 0, columns - 1);
    if (c != column) {
      flush();
      if (column >= 0 && c > column + 1) {
        trace.times.push_back(from + (column + 1.5) * width);
        trace.levels.push_back(std::numeric_limits<double>::quiet_NaN());
      }
      column = c;
      low = high = s.level;
    } else {
      low = std::min(low, s.level);
      high = std::max(high, s.level);
    }
  }
  flush();
  return trace;
}

}  // namespace slm
