#include "analysis/plot_axes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "base/calendar.h"

namespace slm {

namespace {

constexpr double kMinute = 60;
constexpr double kHour = 3600;
constexpr double kDay = 86400;
constexpr double kWeek = 7 * kDay;
// 1970/01/01 was a Thursday: weeks are counted from Monday 1970/01/05.
constexpr double kFirstMonday = 4 * kDay;
// No axis gets more ticks than this, however it is asked.
constexpr std::size_t kMostTicks = 1000;

// The least step that leaves room for `max_ticks` labels on `span`.
double RawStep(double span, int max_ticks) { return std::fabs(span) / std::max(1, max_ticks); }

void AppendTwoDigits(int n, std::string& text) {
  text += static_cast<char>('0' + n / 10 % 10);
  text += static_cast<char>('0' + n % 10);
}

}  // namespace

double WholeTickStep(double span, int max_ticks) {
  const double raw = RawStep(span, max_ticks);
  if (!(raw > 1)) return 1;  // also a span that is no number
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double mantissa : {1.0, 2.0, 5.0, 10.0}) {
    // A hair of slack: 300 / 3 must give 100, not 200.
    if (mantissa * magnitude >= raw * (1 - 1e-12)) return mantissa * magnitude;
  }
  return 10 * magnitude;
}

double ClockTickStep(double span, int max_ticks) {
  static constexpr std::array<double, 20> kSteps = {
      1,        2,           5,           10,           15,           30,
      kMinute,  2 * kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute, 30 * kMinute,
      kHour,    2 * kHour,   3 * kHour,   6 * kHour,    12 * kHour,   kDay,
      2 * kDay, kWeek};
  const double raw = RawStep(span, max_ticks);
  for (const double step : kSteps) {
    if (step >= raw) return step;
  }
  return WholeTickStep(raw / kWeek, 1) * kWeek;
}

std::vector<double> ClockTicks(double min, double max, double step) {
  std::vector<double> ticks;
  if (!(step > 0) || !std::isfinite(min) || !std::isfinite(max) || max < min) return ticks;
  const double origin = std::fmod(step, kWeek) == 0 ? kFirstMonday : 0;
  for (double k = std::ceil((min - origin) / step); ticks.size() < kMostTicks; ++k) {
    const double tick = origin + k * step;
    if (tick > max) break;
    ticks.push_back(tick);
  }
  return ticks;
}

std::vector<std::string> ClockTickLabels(std::span<const double> ticks, double step) {
  std::vector<std::string> labels;
  labels.reserve(ticks.size());
  std::int64_t previous_day = 0;
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    const std::int64_t seconds = std::llround(ticks[i]);
    const DateTime t = DateTimeOfSeconds(seconds);
    if (step >= kDay) {
      labels.push_back(DateText(seconds));
      continue;
    }
    std::string label;
    AppendTwoDigits(t.hour, label);
    label += ':';
    AppendTwoDigits(t.minute, label);
    if (step < kMinute) {
      label += ':';
      AppendTwoDigits(t.second, label);
    }
    const std::int64_t day = DayOf(seconds);
    if (i == 0 || day != previous_day) label += "\n" + DateText(seconds);
    previous_day = day;
    labels.push_back(std::move(label));
  }
  return labels;
}

int TicksThatFit(double axis_pixels, double label_pixels) {
  // A label and a gap for each tick.
  const double each = std::max(1.0, label_pixels + 16);
  if (!(axis_pixels > 0)) return 2;
  return std::max(2, static_cast<int>(axis_pixels / each));
}

}  // namespace slm
