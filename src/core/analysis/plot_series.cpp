#include "analysis/plot_series.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace slm {

namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

std::size_t Clamped(double k, std::size_t count) {
  if (!(k > 0)) return 0;
  return std::min(count - 1, static_cast<std::size_t>(k));
}

}  // namespace

IndexRange PointsInView(std::span<const double> x, AxisRange view) {
  const auto begin = std::lower_bound(x.begin(), x.end(), view.min);
  const auto end = std::upper_bound(begin, x.end(), view.max);
  return {static_cast<std::size_t>(begin - x.begin()), static_cast<std::size_t>(end - x.begin())};
}

IndexRange StepsInView(AxisRange view, double first, std::size_t count) {
  if (count == 0 || !(view.max >= view.min)) return {};
  const double low = std::ceil(view.min - first);
  const double high = std::floor(view.max - first);
  if (high < 0 || low > static_cast<double>(count - 1) || high < low) return {};
  return {Clamped(low, count), Clamped(high, count) + 1};
}

std::optional<std::size_t> NearestPoint(std::span<const double> x, double at) {
  if (x.empty() || std::isnan(at)) return std::nullopt;
  const auto after = std::lower_bound(x.begin(), x.end(), at);
  std::optional<std::size_t> best;
  double best_distance = 0;
  // The nearest number on either side; points without X are stepped over.
  auto consider = [&](std::size_t i) {
    const double d = std::fabs(x[i] - at);
    if (std::isnan(d)) return false;
    if (!best || d < best_distance || (d == best_distance && i < *best)) {
      best = i;
      best_distance = d;
    }
    return true;
  };
  for (std::size_t i = static_cast<std::size_t>(after - x.begin()); i < x.size(); ++i) {
    if (consider(i)) break;
  }
  for (std::size_t i = static_cast<std::size_t>(after - x.begin()); i-- > 0;) {
    if (consider(i)) break;
  }
  return best;
}

std::optional<std::size_t> NearestStep(double at, double first, std::size_t count) {
  if (count == 0 || std::isnan(at)) return std::nullopt;
  // Halves go to the earlier point.
  return Clamped(std::ceil(at - first - 0.5), count);
}

std::array<std::size_t, 2> DesignCursorSteps(AxisRange view, double first, std::size_t count) {
  const double span = view.max - view.min;
  return {NearestStep(view.min + span / 3, first, count).value_or(0),
          NearestStep(view.min + 2 * span / 3, first, count).value_or(0)};
}

std::optional<AxisRange> FitRange(std::span<const double> y, IndexRange range) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (std::size_t i = range.begin; i < std::min(range.end, y.size()); ++i) {
    if (!std::isfinite(y[i])) continue;
    low = std::min(low, y[i]);
    high = std::max(high, y[i]);
  }
  if (low > high) return std::nullopt;
  return AxisRange{std::floor(low) - 1, std::ceil(high) + 1};
}

double UsualStep(std::span<const double> x) {
  std::vector<double> steps;
  steps.reserve(x.size());
  for (std::size_t i = 1; i < x.size(); ++i) {
    const double step = x[i] - x[i - 1];
    if (step > 0) steps.push_back(step);
  }
  if (steps.empty()) return 1;
  const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
  std::nth_element(steps.begin(), middle, steps.end());
  return *middle;
}

BrokenTrace BreakAtGaps(std::span<const double> x, std::span<const double> y, double max_step) {
  BrokenTrace trace;
  const std::size_t n = std::min(x.size(), y.size());
  trace.x.reserve(n + n / 64);
  trace.y.reserve(n + n / 64);
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && x[i] - x[i - 1] > max_step) {
      trace.x.push_back((x[i] + x[i - 1]) / 2);
      trace.y.push_back(kNoValue);
    }
    trace.x.push_back(x[i]);
    trace.y.push_back(y[i]);
  }
  return trace;
}

}  // namespace slm
