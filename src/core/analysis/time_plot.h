#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/live_chart_data.h"
#include "analysis/plot_series.h"
#include "files/progress.h"
#include "files/record.h"

// The data of the two time plot windows: a record list's dB column with its
// pause marks, and a snapshot of the live sample history.
namespace slm {

// The level axis of a list plot, and where the marks' captions stand.
inline constexpr double kPlotYLow = 25;
inline constexpr double kPlotYHigh = 145;
inline constexpr double kPauseLabelHeight = 30;
inline constexpr double kStartLabelHeight = 105;

// One mark on a list plot: at record `row` (drawn at x = row), caption
// "Pause" or "Start" at the given height.
struct PlotMark {
  int row = 0;
  std::string text;
  double caption_y = 0;
};

// A record list's dB column as the Plot window draws it: row i (from 1) at
// x = i, with y[i - 1] its level; levels marked "*" make paused stretches.
struct LevelColumnPlot {
  std::vector<double> y;
  std::vector<PlotMark> marks;  // each "Pause", then its "Start" when the pause ends
  // A copy of the list, for the read-out, the clock axis and the title: the
  // plot stays open when the list's window closes.
  RecordList records;
  std::size_t rows() const { return y.size(); }
};

// Called a few times a second with the row just classified (1-based), for
// the caption "57 Completed", and always for the last row.
using PlotProgressFn = std::function<void(std::size_t row)>;

// Classifies every level of `list`:
// - not paused: "--" at 25; a text holding "L" or a value of 140.0 or more at
//   145; else its value, and a "*" starts a pause (a "Pause" mark);
// - paused: "--" at 25; "L" or 145.0 or more at 145; else its value, and a
//   text without "*" ends the pause (a "Start" mark); a pause that runs to
//   the last row gets no "Start" mark.
// Texts that are not numbers read as 0.
LevelColumnPlot PlotLevelColumn(const RecordList& list, const PlotProgressFn& progress = {});

// The same, with the caller's throttle deciding which rows are reported
// besides the last one (the one above uses a ProgressThrottle of its own).
LevelColumnPlot PlotLevelColumn(const RecordList& list, const PlotProgressFn& progress,
                                ProgressThrottle& throttle);

// The three series of the live sample history.
enum class LiveSeries { kLevel, kLeq, kSel };

// What the Real Time Graph window opens with: the limits kept for its
// "Reset Scale" and a copy of the series (sample i drawn at x = i + 1).
struct LiveTimePlot {
  double x_high = 1;  // SampleCount - 1, at least 1 so an empty plot has X from 1 to 1
  double y_low = 0;
  double y_high = 0;
  std::string caption;  // "SPL (dB)", "Leq (dB)" or "SEL (dB)"
  std::vector<double> values;
};

// The level's bounds come from FineLow / 10 and FineHigh / 10, the Leq's and
// SEL's from their running extremes. The series is copied once.
LiveTimePlot OpenLiveTimePlot(const LiveChartData& charts, LiveSeries series);

// The same list against its Date Time column, in seconds of the records'
// clock (base/calendar.h). Records whose time cannot be read have no place;
// the rest are taken in time order. The trace breaks at a paused record
// (marked "*") and where the time jumps by more than one and a half usual
// steps, so a pause or a gap in the recording is a gap in the trace.
struct ClockPlot {
  BrokenTrace trace;               // as drawn
  std::vector<double> times;       // each placed record's time, in order
  std::vector<std::size_t> rows;   // and its row (0-based) in the list
  std::vector<double> mark_times;  // the time of each mark's row, as marks
  std::size_t unplaced = 0;        // records without a readable time
  bool empty() const { return times.empty(); }
};
ClockPlot PlotAgainstClock(const LevelColumnPlot& plot);

// The record numbers (rows from 1) of the first and last records drawn in a
// clock view, so that the range boxes keep counting records; nothing when
// the view holds none.
std::optional<AxisRange> RecordsInView(const ClockPlot& clock, AxisRange view);
// The clock view from record `first` to record `last` (rows from 1, taken in
// order and kept to the records there are); nothing when neither has a time.
std::optional<AxisRange> ViewOfRecords(const ClockPlot& clock, double first, double last);

// What the cursor of a list plot reads: the record nearest to it, where it
// is drawn, its number, time and level text.
struct PlotReadout {
  double x = 0;
  double y = 0;
  std::string number;
  std::string date_time;
  std::string level;
};
// The record nearest `at` on the record-number axis, or on the clock axis of
// `clock`; nothing when there is none.
std::optional<PlotReadout> ReadoutAt(const LevelColumnPlot& plot, double at);
std::optional<PlotReadout> ReadoutAt(const LevelColumnPlot& plot, const ClockPlot& clock,
                                     double at);
// The sample of a live chart's plot nearest `at` (samples numbered from 1),
// its number and level as CursorXText and CursorYText write them.
std::optional<PlotReadout> ReadoutAt(const LiveTimePlot& plot, double at);

// The Y range that fits the levels drawn in the X view ("Fit Y").
std::optional<AxisRange> FitLevels(const LevelColumnPlot& plot, AxisRange x_view);
std::optional<AxisRange> FitLevels(const ClockPlot& clock, AxisRange x_view);

// The title line of a printed or saved list plot: the file, the list's kind,
// its first and last time and its weightings, the parts that are known
// ("day1.dlgr - Real Time - 2024/05/01 10:00:00 to 2024/05/01 18:00:00 - A FAST").
std::string PlotTitleLine(std::string_view source, const RecordList& list);

// The cursor read-out: X as a plain number with as many decimals as it needs
// ("57", "57.25"), Y with one decimal ("85.3").
std::string CursorXText(double x);
std::string CursorYText(double y);

}  // namespace slm
