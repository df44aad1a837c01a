#pragma once

#include <span>
#include <string>
#include <vector>

// Where the graphs put their ticks and what the labels say. The graph widget
// asks these for every repaint; any graph of record numbers, counts or times
// (a list plot, a histogram, an assessment's chart) uses the same rules.
namespace slm {

// A view of one axis, in axis units.
struct AxisRange {
  double min = 0;
  double max = 0;
};

// How an axis counts: any number, whole numbers only (record numbers, class
// counts: no tick at 2.5), or seconds on the records' clock (base/calendar.h).
enum class AxisScale { kNumber, kWhole, kClock };

// A step of 1, 2 or 5 times a power of ten, at least 1, that puts at most
// `max_ticks` steps into `span` (and more only when a step of 1 must).
double WholeTickStep(double span, int max_ticks);

// A step of clock time that puts at most `max_ticks` steps into `span` seconds:
// 1, 2, 5, 10, 15 or 30 seconds or minutes, 1, 2, 3, 6 or 12 hours, 1 or 2
// days, a week, then whole multiples of a week.
double ClockTickStep(double span, int max_ticks);

// The ticks of `step` within [min, max]: multiples of the step from midnight
// (from a Monday for steps of weeks), so ticks fall on round clock times.
std::vector<double> ClockTicks(double min, double max, double step);

// The labels of clock ticks made with `step`: "hh:nn:ss" below a minute,
// "hh:nn" below a day, "yyyy/mm/dd" from a day. Below a day the first tick,
// and each first tick of a later day, carry the date on a second line, so
// the axis always says which day it shows.
std::vector<std::string> ClockTickLabels(std::span<const double> ticks, double step);

// How many labels of about `label_pixels` fit on an axis `axis_pixels` long
// with room between them: at least 2.
int TicksThatFit(double axis_pixels, double label_pixels);

}  // namespace slm
