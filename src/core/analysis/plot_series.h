#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "analysis/plot_axes.h"

// A series as the graphs draw it against a sorted X (record numbers, sample
// numbers, times in seconds): which points are in view, which point a cursor
// snaps to, the Y range that fits, and where the trace breaks.
namespace slm {

// Points [begin, end) of a series.
struct IndexRange {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool empty() const { return end <= begin; }
};

// The points of sorted `x` that lie in the view.
IndexRange PointsInView(std::span<const double> x, AxisRange view);
// The same for `count` points at x = first + k (record and sample numbers).
IndexRange StepsInView(AxisRange view, double first, std::size_t count);

// The point of sorted `x` nearest to `at`, the earlier on a tie; nothing
// for no points. Points whose X is no number are never taken.
std::optional<std::size_t> NearestPoint(std::span<const double> x, double at);
// The same for `count` points at x = first + k.
std::optional<std::size_t> NearestStep(double at, double first, std::size_t count);

// The two cursors a graph window starts with: on the points nearest a third
// and two thirds of the way across the view.
std::array<std::size_t, 2> DesignCursorSteps(AxisRange view, double first, std::size_t count);

// A Y range that shows the finite values of y[range] with a margin: from a
// whole unit below the lowest to a whole unit above the highest (60.2 to
// 72.8 gives 59 to 74). Nothing when the range holds no finite value.
std::optional<AxisRange> FitRange(std::span<const double> y, IndexRange range);

// The usual step between neighbours of sorted `x` (the median of the
// positive steps); 1 for fewer than two points.
double UsualStep(std::span<const double> x);

// A trace over sorted `x` that breaks where the data do: a value that is no
// number already breaks the line where it stands, and a step longer than
// `max_step` gets a break (a point at the middle of the step without a
// value). A gap in time then shows as a gap, not a straight line across it.
struct BrokenTrace {
  std::vector<double> x;
  std::vector<double> y;
};
BrokenTrace BreakAtGaps(std::span<const double> x, std::span<const double> y, double max_step);

}  // namespace slm
