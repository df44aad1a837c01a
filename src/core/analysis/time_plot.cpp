#include "analysis/time_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "base/calendar.h"
#include "base/number_text.h"
#include "files/list_summary.h"

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
  plot.records = list;
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

ClockPlot PlotAgainstClock(const LevelColumnPlot& plot) {
  constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();
  ClockPlot clock;
  const RecordList& list = plot.records;
  const std::size_t n = std::min(list.size(), plot.y.size());
  struct Placed {
    double time;
    std::size_t row;
  };
  std::vector<Placed> placed;
  placed.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::optional<std::int64_t> time = ParseClockText(list.date_time(i));
    if (time) {
      placed.push_back({static_cast<double>(*time), i});
    } else {
      ++clock.unplaced;
    }
  }
  // A clock set back puts records out of order: they are taken in time order.
  const auto earlier = [](const Placed& a, const Placed& b) { return a.time < b.time; };
  if (!std::is_sorted(placed.begin(), placed.end(), earlier)) {
    std::stable_sort(placed.begin(), placed.end(), earlier);
  }
  std::vector<double> levels;
  levels.reserve(placed.size());
  clock.times.reserve(placed.size());
  clock.rows.reserve(placed.size());
  for (const Placed& p : placed) {
    clock.times.push_back(p.time);
    clock.rows.push_back(p.row);
    levels.push_back(Holds(list.level(p.row), "*") ? kNoValue : plot.y[p.row]);
  }
  clock.trace = BreakAtGaps(clock.times, levels, 1.5 * UsualStep(clock.times));
  for (const PlotMark& mark : plot.marks) {
    const std::optional<std::int64_t> time =
        ParseClockText(list.date_time(static_cast<std::size_t>(mark.row - 1)));
    clock.mark_times.push_back(time ? static_cast<double>(*time) : kNoValue);
  }
  return clock;
}

std::optional<AxisRange> RecordsInView(const ClockPlot& clock, AxisRange view) {
  const IndexRange in = PointsInView(clock.times, view);
  if (in.empty()) return std::nullopt;
  const auto [low, high] =
      std::minmax_element(clock.rows.begin() + static_cast<std::ptrdiff_t>(in.begin),
                          clock.rows.begin() + static_cast<std::ptrdiff_t>(in.end));
  return AxisRange{static_cast<double>(*low + 1), static_cast<double>(*high + 1)};
}

std::optional<AxisRange> ViewOfRecords(const ClockPlot& clock, double first, double last) {
  if (clock.empty()) return std::nullopt;
  if (last < first) std::swap(first, last);
  // The placed records' times between the two rows, whichever are placed.
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  for (std::size_t k = 0; k < clock.rows.size(); ++k) {
    const double number = static_cast<double>(clock.rows[k] + 1);
    if (number < std::round(first) || number > std::round(last)) continue;
    low = std::min(low, clock.times[k]);
    high = std::max(high, clock.times[k]);
  }
  if (low > high) return std::nullopt;
  return AxisRange{low, high};
}

namespace {

PlotReadout ReadoutOfRow(const LevelColumnPlot& plot, std::size_t row, double x) {
  const RecordView r = plot.records.record(row);
  return {x, plot.y[row], std::string(r.number), std::string(r.date_time), std::string(r.level)};
}

}  // namespace

std::optional<PlotReadout> ReadoutAt(const LevelColumnPlot& plot, double at) {
  const std::size_t n = std::min(plot.rows(), plot.records.size());
  const std::optional<std::size_t> row = NearestStep(at, 1, n);
  if (!row) return std::nullopt;
  return ReadoutOfRow(plot, *row, static_cast<double>(*row + 1));
}

std::optional<PlotReadout> ReadoutAt(const LevelColumnPlot& plot, const ClockPlot& clock,
                                     double at) {
  const std::optional<std::size_t> k = NearestPoint(clock.times, at);
  if (!k || clock.rows[*k] >= std::min(plot.rows(), plot.records.size())) return std::nullopt;
  return ReadoutOfRow(plot, clock.rows[*k], clock.times[*k]);
}

std::optional<AxisRange> FitLevels(const LevelColumnPlot& plot, AxisRange x_view) {
  return FitRange(plot.y, StepsInView(x_view, 1, plot.rows()));
}

std::optional<AxisRange> FitLevels(const ClockPlot& clock, AxisRange x_view) {
  return FitRange(clock.trace.y, PointsInView(clock.trace.x, x_view));
}

std::string PlotTitleLine(std::string_view source, const RecordList& list) {
  std::vector<std::string> parts;
  if (!source.empty()) parts.emplace_back(source);
  parts.emplace_back(KindName(list.kind()));
  if (!list.empty()) {
    const std::string_view first = list.date_time(0);
    const std::string_view last = list.date_time(list.size() - 1);
    parts.push_back(first == last ? std::string(first)
                                  : std::string(first) + " to " + std::string(last));
  }
  std::string weighting = list.header().frequency_weighting;
  const std::string& time_weighting = list.header().time_weighting;
  if (!weighting.empty() && !time_weighting.empty()) weighting += ' ';
  weighting += time_weighting;
  if (!weighting.empty()) parts.push_back(weighting);
  std::string line;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!line.empty()) line += " - ";
    line += part;
  }
  return line;
}

LiveTimePlot OpenLiveTimePlot(const LiveChartData& charts, LiveSeries series) {
  LiveTimePlot plot;
  const LiveRanges& r = charts.ranges();
  AxisRange y;
  switch (series) {
    case LiveSeries::kLevel:
      y = r.LevelRange();
      plot.caption = "SPL (dB)";
      break;
    case LiveSeries::kLeq:
      y = r.LeqRange();
      plot.caption = "Leq (dB)";
      break;
    case LiveSeries::kSel:
      y = r.SelRange();
      plot.caption = "SEL (dB)";
      break;
  }
  plot.y_low = y.min;
  plot.y_high = y.max;
  const std::span<const double> values = SeriesOf(charts, series);
  plot.values.assign(values.begin(), values.end());
  plot.x_high = std::max(charts.sample_count() - 1, 1);
  return plot;
}

std::optional<PlotReadout> ReadoutAt(const LiveTimePlot& plot, double at) {
  const std::optional<std::size_t> k = NearestStep(at, 1, plot.values.size());
  if (!k) return std::nullopt;
  PlotReadout r;
  r.x = static_cast<double>(*k + 1);
  r.y = plot.values[*k];
  r.number = CursorXText(r.x);
  r.level = CursorYText(r.y);
  return r;
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
