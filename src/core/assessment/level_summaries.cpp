#include "assessment/level_summaries.h"

#include <algorithm>

namespace slm {

namespace {

constexpr std::size_t kSmall = 64;
constexpr std::size_t kLarge = kSmall * 64;

}  // namespace

using level_columns_detail::TraceBuilder;

void LevelSummaries::Join(Block& into, const Block& b) {
  if (b.empty()) return;
  if (into.empty()) {
    into = b;
    return;
  }
  into.low = std::min(into.low, b.low);
  into.high = std::max(into.high, b.high);
  into.first = std::min(into.first, b.first);
  into.end = std::max(into.end, b.end);
}

LevelSummaries::Block LevelSummaries::Of(const LevelSample& s) {
  if (s.kind == SampleKind::kPaused) return {};
  return {s.level, s.level, s.time, s.time + s.period};
}

LevelSummaries::LevelSummaries(const MeasuredLevels& levels)
    : levels_(levels), samples_(levels.samples) {
  small_.resize((samples_.size() + kSmall - 1) / kSmall);
  large_.resize((samples_.size() + kLarge - 1) / kLarge);
  bool any = false;
  std::int64_t end = 0;
  for (std::size_t i = 0; i < samples_.size(); ++i) {
    const Block b = Of(samples_[i]);
    if (b.empty()) continue;
    if (any && b.first > end) {
      gaps_.push_back({static_cast<double>(end), static_cast<double>(b.first)});
    }
    any = true;
    end = b.end;
    Join(small_[i / kSmall], b);
  }
  for (std::size_t k = 0; k < small_.size(); ++k) Join(large_[k * kSmall / kLarge], small_[k]);
  for (const Block& b : large_) Join(all_, b);
}

LevelSummaries::Block LevelSummaries::Summary(std::size_t begin, std::size_t end) const {
  Block sum;
  std::size_t i = begin;
  for (; i < end && i % kSmall != 0; ++i) Join(sum, Of(samples_[i]));
  for (; i + kSmall <= end && i % kLarge != 0; i += kSmall) Join(sum, small_[i / kSmall]);
  for (; i + kLarge <= end; i += kLarge) Join(sum, large_[i / kLarge]);
  for (; i + kSmall <= end; i += kSmall) Join(sum, small_[i / kSmall]);
  for (; i < end; ++i) Join(sum, Of(samples_[i]));
  return sum;
}

std::size_t LevelSummaries::IndexOf(double time) const {
  return static_cast<std::size_t>(std::partition_point(samples_.begin(), samples_.end(),
                                                       [time](const LevelSample& s) {
                                                         return static_cast<double>(s.time) < time;
                                                       }) -
                                  samples_.begin());
}

ColumnTrace LevelSummaries::Columns(double from, double to, int columns) const {
  if (columns <= 0 || to <= from) return {};
  const double width = (to - from) / columns;
  // As MinMaxColumns places a record, so that both give the same columns.
  auto column_of = [&](const LevelSample& s) {
    return std::clamp(static_cast<int>((static_cast<double>(s.time) - from) / width), 0,
                      columns - 1);
  };
  TraceBuilder trace;
  const std::size_t last = IndexOf(to);
  bool any = false;
  std::int64_t last_end = 0;
  for (std::size_t i = IndexOf(from); i < last;) {
    const int column = column_of(samples_[i]);
    const std::size_t next = static_cast<std::size_t>(
        std::partition_point(samples_.begin() + static_cast<std::ptrdiff_t>(i),
                             samples_.begin() + static_cast<std::ptrdiff_t>(last),
                             [&](const LevelSample& s) { return column_of(s) <= column; }) -
        samples_.begin());
    const Block b = Summary(i, next);
    if (!b.empty()) {
      trace.Add(from + (column + 0.5) * width, b.low, b.high,
                any && level_columns_detail::SeenGap(last_end, b.first, width), width / 2);
      any = true;
      last_end = b.end;
    }
    i = next;
  }
  return trace.Finish();
}

ColumnTrace LevelSummaries::Trace(double from, double to, int columns) const {
  const std::size_t first = IndexOf(from);
  const std::size_t last = IndexOf(to);
  if (last - first >= static_cast<std::size_t>(std::max(columns, 0))) {
    return Columns(from, to, columns);
  }
  const std::size_t begin = first > 0 ? first - 1 : 0;
  const std::size_t end = std::min(last + 1, samples_.size());
  return RecordTrace(samples_.subspan(begin, end - begin));
}

std::vector<TimeSpan> LevelSummaries::Gaps(double from, double to, double min_width) const {
  std::vector<TimeSpan> gaps;
  for (auto g = std::partition_point(gaps_.begin(), gaps_.end(),
                                     [from](const TimeSpan& g) { return g.to <= from; });
       g != gaps_.end() && g->from < to; ++g) {
    if (g->to - g->from >= min_width) gaps.push_back(*g);
  }
  return gaps;
}

std::optional<std::pair<double, double>> LevelSummaries::Range() const {
  if (all_.empty()) return std::nullopt;
  return std::pair{all_.low, all_.high};
}

}  // namespace slm
