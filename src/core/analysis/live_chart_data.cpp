#include "analysis/live_chart_data.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace slm {

namespace {

// Level bounds set by the toolbar's "Refresh"; the program-start values are
// the member initialisers of LiveRanges.
constexpr double kRefreshFineLow = 1500;
constexpr double kRefreshCoarseLow = 150;

// Largest spread FineHigh - FineLow (in 0.1 dB) for which the 0.1 dB
// histogram is shown instead of the 1 dB one.
constexpr double kFineSpreadLimit = 300;

// Rounds to the nearest whole number, halves to the even neighbour. Done by
// hand rather than with std::nearbyint so that the result does not depend on
// the floating-point rounding mode in force.
double RoundHalfToEven(double x) {
  const double away = std::round(x);  // halves away from zero
  if (std::fabs(x - std::trunc(x)) != 0.5) return away;
  return 2.0 * std::round(x / 2.0);  // x / 2 ends in .25 or .75: exact
}

// Whole part of n / 10 towards minus infinity, for a whole number n held in
// a double. The quotient of a whole number that is not a multiple of 10 is
// at least 0.1 away from a whole number, so floor() of the rounded quotient
// is exact.
double FloorTenth(double n) { return std::floor(n / 10.0); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

LiveChartData::LiveChartData()
    : levels_(kSampleHistorySize), leqs_(kSampleHistorySize), sels_(kSampleHistorySize) {}

AxisRange LiveRanges::LeqRange() const {
  return {LiveChartData::NumericValue(leq_low), LiveChartData::NumericValue(leq_high)};
}

AxisRange LiveRanges::SelRange() const {
  return {LiveChartData::NumericValue(sel_low), LiveChartData::NumericValue(sel_high)};
}

LiveChartUpdate LiveChartData::UpdateLiveCharts(double level, const std::string& leq_text,
                                                const std::string& sel_text) {
  LiveChartUpdate update;
  update.level = level;
  update.leq = NumericValue(leq_text);
  update.sel = NumericValue(sel_text);

  // Everything below works on the level as a whole number of tenths of a dB.
  // Levels come in 0.1 dB steps, but most of those steps have no exact
  // binary form, and the value we get depends on how it was reached: 65.7
  // that went through single precision is 65.699996948242188, and 0.7 + 0.1
  // is 0.79999999999999993. Times 10 these fall just short of 657 and 8, so
  // cutting off the fraction would count them a class too low and read a
  // wrong tenths digit. Whatever the path, the product stays within a tiny
  // fraction of the true count of tenths, so rounding it to the nearest
  // whole number gives that count exactly; from there on every comparison
  // is exact.
  const double tenths = RoundHalfToEven(level * 10.0);
  if (std::isfinite(tenths)) {
    if (tenths >= 0 && tenths <= kFineClassCount - 1) {
      const int fine_class = static_cast<int>(tenths);
      ++fine_[fine_class];
      // A level counts in the 1 dB class at or above it: 65.3 dB in class
      // 66, 65.0 dB in class 65. At most 140.0 dB here, so at most class 140.
      ++coarse_[(fine_class + 9) / 10];
    }
    // Levels without a class still widen the ranges.
    if (tenths > ranges_.fine_high) ranges_.fine_high = tenths;
    if (tenths < ranges_.fine_low) ranges_.fine_low = tenths;
    // L > CoarseHigh and L < CoarseLow, compared in tenths.
    if (tenths > ranges_.coarse_high * 10) ranges_.coarse_high = FloorTenth(tenths + 10);
    if (tenths < ranges_.coarse_low * 10) ranges_.coarse_low = FloorTenth(tenths - 10);
  }

  update.coarse_range = {ranges_.coarse_low - 1, ranges_.coarse_high + 1};
  update.fine_range = {ranges_.fine_low - 1, ranges_.fine_high + 1};
  update.fine_visible = ranges_.fine_high - ranges_.fine_low <= kFineSpreadLimit;

  if (NumericValue(ranges_.leq_high) < update.leq) ranges_.leq_high = leq_text;
  if (NumericValue(ranges_.leq_low) > update.leq) ranges_.leq_low = leq_text;
  if (NumericValue(ranges_.sel_high) < update.sel) ranges_.sel_high = sel_text;
  if (NumericValue(ranges_.sel_low) > update.sel) ranges_.sel_low = sel_text;
  const auto widened = [](AxisRange r) { return AxisRange{r.min - 1, r.max + 1}; };
  update.level_y = widened(ranges_.LevelRange());
  update.leq_y = widened(ranges_.LeqRange());
  update.sel_y = widened(ranges_.SelRange());

  const auto index = static_cast<std::size_t>(sample_count_);
  levels_[index] = level;
  leqs_[index] = update.leq;
  sels_[index] = update.sel;
  ++sample_count_;
  if (sample_count_ == kSampleHistorySize) sample_count_ = 0;  // overwrite from the start
  return update;
}

void LiveChartData::ResetAfterLinkLoss() {
  ClearCounts();
  sample_count_ = 0;
}

void LiveChartData::Refresh() {
  ranges_.coarse_high = 0;
  ranges_.coarse_low = kRefreshCoarseLow;
  ranges_.fine_high = 0;
  ranges_.fine_low = kRefreshFineLow;
  ClearCounts();
  sample_count_ = 0;
}

void LiveChartData::ClearCounts() {
  coarse_.fill(0);
  fine_.fill(0);
}

double LiveChartData::NumericValue(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  // Find the end of [digits][.digits][e[sign]digits] ourselves: std::from_chars
  // alone would also take "inf", "nan" and the like.
  const std::size_t start = pos;
  std::size_t digits = 0;
  while (pos < text.size() && IsDigit(text[pos])) ++pos, ++digits;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos, ++digits;
  }
  if (digits == 0) return 0;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    std::size_t exponent_end = pos + 1;
    if (exponent_end < text.size() && (text[exponent_end] == '+' || text[exponent_end] == '-')) {
      ++exponent_end;
    }
    if (exponent_end < text.size() && IsDigit(text[exponent_end])) {
      while (exponent_end < text.size() && IsDigit(text[exponent_end])) ++exponent_end;
      pos = exponent_end;
    }
  }
  double value = 0;
  const auto result = std::from_chars(text.data() + start, text.data() + pos, value);
  if (result.ec != std::errc()) return 0;  // beyond the range of a double
  return negative ? -value : value;
}

}  // namespace slm
