#include "analysis/time_plot.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/number_text.h"

namespace slm {

namespace {

// Levels at or above these are drawn at the top of the axis: a little lower
// outside a pause than inside one.
constexpr double kOverRangeRunning = 140.0;
constexpr double kOverRangePaused = 145.0;

bool Holds(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

std::span<const double> SeriesOf(const LiveChartData& charts, LiveSeries series) {
  switch (series) {
    case LiveSeries::kLevel:
      return charts.levels();
    case LiveSeries::kLeq:
      return charts.leqs();
    case LiveSeries::kSel:
      return charts.sels();
  }
  return charts.levels();
}

}  // namespace

LevelColumnPlot PlotLevelColumn(const RecordList& list, const PlotProgressFn& progress) {
  ProgressThrottle throttle;
  return PlotLevelColumn(list, progress, throttle);
}

LevelColumnPlot PlotLevelColumn(const RecordList& list, const PlotProgressFn& progress,
                                ProgressThrottle& throttle) {
  LevelColumnPlot plot;
  const std::size_t n = list.size();
  plot.y.reserve(n);
  bool paused = false;
  for (std::size_t i = 1; i <= n; ++i) {
    const std::string_view t = list.level(i - 1);
    const int row = static_cast<int>(i);
    double y = 0;
    if (Holds(t, "--")) {
      y = kPlotYLow;
    } else {
      const double value = LeadingNumber(t);
      const double over = paused ? kOverRangePaused : kOverRangeRunning;
      if (Holds(t, "L") || value >= over) {
        y = kPlotYHigh;
      } else {
        y = value;
        const bool starred = Holds(t, "*");
        if (!paused && starred) {
          paused = true;
          plot.marks.push_back({row, "Pause", kPauseLabelHeight});
        } else if (paused && !starred) {
          paused = false;
          plot.marks.push_back({row, "Start", kStartLabelHeight});
        }
        // A pause still running at the last row ends there without a mark.
      }
    }
    plot.y.push_back(y);
    if (progress && (i == n || throttle.Due())) progress(i);
  }
  return plot;
}

LiveTimePlot OpenLiveTimePlot(const LiveChartData& charts, LiveSeries series) {
  LiveTimePlot plot;
  const LiveRanges& r = charts.ranges();
  switch (series) {
    case LiveSeries::kLevel:
      plot.y_low = r.fine_low / 10;
      plot.y_high = r.fine_high / 10;
      plot.caption = "SPL (dB)";
      break;
    case LiveSeries::kLeq:
      plot.y_low = LiveChartData::NumericValue(r.leq_low);
      plot.y_high = LiveChartData::NumericValue(r.leq_high);
      plot.caption = "Leq (dB)";
      break;
    case LiveSeries::kSel:
      plot.y_low = LiveChartData::NumericValue(r.sel_low);
      plot.y_high = LiveChartData::NumericValue(r.sel_high);
      plot.caption = "SEL (dB)";
      break;
  }
  const std::span<const double> values = SeriesOf(charts, series);
  plot.values.assign(values.begin(), values.end());
  plot.x_high = std::max(charts.sample_count() - 1, 1);
  return plot;
}

std::string CursorXText(double x) {
  // A cursor exactly on zero reads "0", whichever side it came from.
  return PlainNumberText(x == 0 ? 0.0 : x);
}

std::string CursorYText(double y) {
  // Rounded to the nearest tenth, halves away from zero; the digits of the
  // tenths get their point before the last one.
  const double tenths = std::round(y * 10);
  if (!std::isfinite(tenths)) return "--";
  std::string digits = PlainNumberText(std::fabs(tenths));
  if (digits.size() < 2) digits.insert(0, "0");
  std::string text = tenths < 0 ? "-" : "";
  text.append(digits, 0, digits.size() - 1);
  text += '.';
  text += digits.back();
  return text;
}

}  // namespace slm
