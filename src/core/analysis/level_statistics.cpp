#include "analysis/level_statistics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "base/number_text.h"
#include "files/progress.h"

namespace slm {

namespace {

// Marked and bare classes a level text can fall into.
constexpr int kDashFine = 250;  // "--": the meter was under range
constexpr int kDashCoarse = 25;
constexpr int kTopFine = 1450;  // "L..." or 145 dB and over
constexpr int kTopCoarse = 145;

// How close to a half ten times a value must be to be taken as one. A level
// text has a few decimals, so a true distance from a half is at least 1e-6
// or so, while the binary error of v x 10 below 1450 is under 1e-12.
constexpr double kHalfTolerance = 1e-9;

// The whole-number text of `n`, which is never negative here.
void AppendWhole(std::int64_t n, std::string& text) {
  char digits[24];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n > 0);
  while (count > 0) text += digits[--count];
}

// "85.3" for 853, "0.5" for 5: tenths with one decimal and a leading zero.
std::string TenthsText(std::int64_t tenths) {
  std::string text;
  AppendWhole(tenths / 10, text);
  text += '.';
  text += static_cast<char>('0' + tenths % 10);
  return text;
}

// The first non-empty class from 1 up, or -1.
int LowestFromOne(const std::vector<std::int64_t>& counts) {
  for (std::size_t k = 1; k < counts.size(); ++k) {
    if (counts[k] != 0) return static_cast<int>(k);
  }
  return -1;
}

int Highest(const std::vector<std::int64_t>& counts) {
  for (std::size_t k = counts.size(); k-- > 0;) {
    if (counts[k] != 0) return static_cast<int>(k);
  }
  return -1;
}

// Entry 100 - p for p = 1..100 as far as the table reaches.
void FillPercentiles(const std::vector<std::int64_t>& counts, bool fine, std::size_t rows,
                     LnTable& ln) {
  std::array<int, 100> percents;
  std::array<int, 100> classes;
  for (int e = 0; e < 100; ++e) percents[static_cast<std::size_t>(e)] = e;
  PercentileClasses(counts, rows, percents, classes);
  for (std::size_t e = 0; e < 100; ++e) {
    const int k = classes[e];
    if (k < 0) continue;  // out of reach: the entry keeps its earlier value
    std::string text;
    if (fine) {
      text = TenthsText(k);
    } else {
      AppendWhole(k, text);
    }
    ln[e] = std::move(text);
  }
}

}  // namespace

ClassifiedLevel ClassifyLevel(std::string_view text) {
  bool star = false;
  bool dash = false;
  bool top = false;  // an "L": the meter was over range
  for (const char c : text) {
    star |= c == '*';
    dash |= c == '-';
    top |= c == 'L';
  }
  if (star) return {};
  if (dash) return {LevelKind::kUnderRange, kDashFine / 10.0, kDashFine, kDashCoarse};
  const std::optional<double> number = top ? std::nullopt : FindLeadingNumber(text);
  if (top || (number && *number >= 145.0)) {
    return {LevelKind::kOverRange, kTopFine / 10.0, kTopFine, kTopCoarse};
  }
  if (!number) return {LevelKind::kNoNumber, 0.0, 0, 0};
  // The whole part; the "-" rule has taken every negative text.
  return {LevelKind::kLevel, *number, FineClassOf(*number),
          static_cast<int>(std::max(*number, 0.0))};
}

void PercentileClasses(std::span<const std::int64_t> counts, std::size_t n,
                       std::span<const int> percents, std::span<int> classes) {
  // The thresholds grow as N falls: take the percents in that order.
  std::array<std::size_t, 100> order;
  const std::size_t m = std::min(percents.size(), order.size());
  for (std::size_t i = 0; i < m; ++i) order[i] = i;
  std::sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(m),
            [&](std::size_t a, std::size_t b) { return percents[a] > percents[b]; });
  const double rows = static_cast<double>(n);
  std::size_t k = 0;
  std::int64_t sum = counts.empty() ? 0 : counts[0];
  for (std::size_t i = 0; i < m; ++i) {
    const int p = 100 - percents[order[i]];
    const double threshold = rows / 200.0 + static_cast<double>(p - 1) * rows / 100.0;
    while (k < counts.size() && !(static_cast<double>(sum) > threshold)) {
      ++k;
      if (k < counts.size()) sum += counts[k];
    }
    classes[order[i]] = k < counts.size() ? static_cast<int>(k) : -1;
  }
}

LnSource LnSourceFor(bool memory_set_window, StatResolution resolution) {
  if (memory_set_window) return LnSource::kFine;
  return resolution == StatResolution::kTenth ? LnSource::kFine : LnSource::kCoarse;
}

int FineClassOf(double value) {
  const double scaled = value * 10.0;
  const double below = std::floor(scaled);
  const double from_half = scaled - below - 0.5;
  double rounded;
  if (std::fabs(from_half) < kHalfTolerance) {
    // A half in decimal: to the even neighbour.
    rounded = std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
  } else {
    rounded = from_half < 0 ? below : below + 1.0;
  }
  return static_cast<int>(std::clamp(rounded, 0.0, static_cast<double>(kTopFine)));
}

LevelStatistics ComputeLevelStatistics(const RecordList& list, StatResolution resolution,
                                       LnSource source, LnTable& ln,
                                       const StatsProgressFn& progress) {
  ProgressThrottle throttle;
  return ComputeLevelStatistics(list, resolution, source, ln, progress, throttle);
}

LevelStatistics ComputeLevelStatistics(const RecordList& list, StatResolution resolution,
                                       LnSource source, LnTable& ln,
                                       const StatsProgressFn& progress,
                                       ProgressThrottle& throttle) {
  LevelStatistics stats;
  stats.fine.assign(kStatFineClasses, 0);
  stats.coarse.assign(kStatCoarseClasses, 0);
  const std::size_t rows = list.size();
  stats.record_count = rows;

  for (std::size_t i = 0; i < rows; ++i) {
    const ClassifiedLevel level = ClassifyLevel(list.level(i));
    if (level.kind != LevelKind::kPaused) {
      ++stats.fine[static_cast<std::size_t>(level.fine)];
      ++stats.coarse[static_cast<std::size_t>(level.coarse)];
    }
    if (progress) {
      const std::size_t row = i + 1;
      if (row == rows || (row % kStatsProgressRows == 0 && throttle.Due())) {
        progress(PercentCaption(row, rows));
      }
    }
  }

  const std::vector<std::int64_t>& chosen = stats.Counts(resolution);
  const int low = LowestFromOne(chosen);
  if (low < 0) return stats;
  stats.counted = true;
  stats.class_low = low;
  stats.class_high = Highest(chosen);
  const bool fine = source == LnSource::kFine;
  FillPercentiles(fine ? stats.fine : stats.coarse, fine, rows, ln);
  return stats;
}

const std::array<std::string, 11>& LnGridHeader() {
  static const std::array<std::string, 11> header = {"Ln", " 0", " 1", " 2", " 3", " 4",
                                                     " 5", " 6", " 7", " 8", " 9"};
  return header;
}

std::vector<std::string> LnGridRows(const LnTable& ln) {
  std::vector<std::string> rows;
  rows.reserve(10);
  for (int q = 0; q < 10; ++q) {
    std::string row = "L(";
    row += static_cast<char>('0' + q);
    row += "0)";
    for (int r = 0; r < 10; ++r) {
      row += '\t';
      row += ln[static_cast<std::size_t>(10 * q + r)];
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace slm
