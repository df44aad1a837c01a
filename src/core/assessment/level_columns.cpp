#include "assessment/level_columns.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/calendar.h"

namespace slm {

namespace level_columns_detail {

void TraceBuilder::Add(double time, double low, double high, bool gap_before, double half_width) {
  if (gap_before && !trace_.times.empty()) {
    CloseStretch();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    trace_.times.push_back((trace_.times.back() + time) / 2);
    trace_.lows.push_back(nan);
    trace_.highs.push_back(nan);
    stretch_start_ = trace_.times.size();
  }
  trace_.times.push_back(time);
  trace_.lows.push_back(low);
  trace_.highs.push_back(high);
  half_width_ = half_width;
}

void TraceBuilder::CloseStretch() {
  if (trace_.times.size() != stretch_start_ + 1) return;
  // A line of one point draws nothing: it runs across its column or period.
  const double time = trace_.times.back();
  trace_.times.back() = time - half_width_;
  trace_.times.push_back(time + half_width_);
  trace_.lows.push_back(trace_.lows.back());
  trace_.highs.push_back(trace_.highs.back());
}

ColumnTrace TraceBuilder::Finish() {
  CloseStretch();
  return std::move(trace_);
}

}  // namespace level_columns_detail

using level_columns_detail::SeenGap;
using level_columns_detail::TraceBuilder;

ColumnTrace MinMaxColumns(std::span<const LevelSample> samples, double from, double to,
                          int columns) {
  if (columns <= 0 || to <= from) return {};
  const double width = (to - from) / columns;
  TraceBuilder trace;
  int column = -1;
  double low = 0;
  double high = 0;
  std::int64_t first = 0;
  std::int64_t end = 0;       // the column's last counted record plus its period
  std::int64_t last_end = 0;  // of the column before
  bool any_before = false;
  auto flush = [&] {
    if (column < 0) return;
    trace.Add(from + (column + 0.5) * width, low, high,
              any_before && SeenGap(last_end, first, width), width / 2);
    any_before = true;
    last_end = end;
  };
  for (const LevelSample& s : samples) {
    const double t = static_cast<double>(s.time);
    if (s.kind == SampleKind::kPaused || t < from || t >= to) continue;
    const int c = std::clamp(static_cast<int>((t - from) / width), 0, columns - 1);
    if (c != column) {
      flush();
      column = c;
      low = high = s.level;
      first = s.time;
    } else {
      low = std::min(low, s.level);
      high = std::max(high, s.level);
    }
    end = s.time + s.period;
  }
  flush();
  return trace.Finish();
}

ColumnTrace RecordTrace(std::span<const LevelSample> samples) {
  TraceBuilder trace;
  bool any = false;
  std::int64_t end = 0;
  for (const LevelSample& s : samples) {
    if (s.kind == SampleKind::kPaused) continue;
    const double half = s.period / 2.0;
    trace.Add(static_cast<double>(s.time) + half, s.level, s.level, any && s.time > end, half);
    any = true;
    end = s.time + s.period;
  }
  return trace.Finish();
}

std::vector<PartSpan> DayPartSpans(const std::array<int, 3>& part_starts, double from, double to) {
  std::vector<PartSpan> spans;
  if (to <= from) return spans;
  const std::array<int, 3> hours = PartHours(part_starts);
  // An assessment day starts with its day part, the night runs into the next one.
  const auto first_day = MidnightOf(static_cast<std::int64_t>(std::floor(from))) - kSecondsPerDay +
                         part_starts[kDayPart] * 3600LL;
  for (std::int64_t day = first_day; static_cast<double>(day) < to; day += kSecondsPerDay) {
    std::int64_t start = day;
    for (int part = 0; part < 3; ++part) {
      const std::int64_t end = start + hours[static_cast<std::size_t>(part)] * 3600LL;
      if (static_cast<double>(end) > from && static_cast<double>(start) < to) {
        spans.push_back(
            {{std::max(static_cast<double>(start), from), std::min(static_cast<double>(end), to)},
             static_cast<DayPart>(part)});
      }
      start = end;
    }
  }
  return spans;
}

std::vector<TimeSpan> EventMarks(std::span<const ExceedanceEvent> events,
                                 std::vector<TimeSpan> holes, double from, double to,
                                 double slack) {
  // The events in view, those closer than `slack` as one stretch. Each step
  // takes every event that starts before the stretch's end and slack, so
  // that a run of many short events takes a few steps per column.
  std::vector<TimeSpan> covered;
  auto next = std::partition_point(events.begin(), events.end(), [from](const ExceedanceEvent& e) {
    return static_cast<double>(e.end) <= from;
  });
  while (next != events.end() && static_cast<double>(next->start) < to) {
    TimeSpan stretch{static_cast<double>(next->start), static_cast<double>(next->end)};
    for (;;) {
      const auto after = std::partition_point(next, events.end(), [&](const ExceedanceEvent& e) {
        return static_cast<double>(e.start) < stretch.to + slack;
      });
      next = after;
      const double end = static_cast<double>(std::prev(after)->end);
      if (end <= stretch.to) break;
      stretch.to = end;
    }
    covered.push_back({std::max(stretch.from, from), std::min(stretch.to, to)});
  }

  // The holes wide enough to see, in order and joined where they overlap.
  std::erase_if(holes, [slack](const TimeSpan& h) { return h.to - h.from < slack; });
  std::sort(holes.begin(), holes.end(),
            [](const TimeSpan& x, const TimeSpan& y) { return x.from < y.from; });
  std::vector<TimeSpan> joined;
  for (const TimeSpan& h : holes) {
    if (!joined.empty() && h.from <= joined.back().to) {
      joined.back().to = std::max(joined.back().to, h.to);
    } else {
      joined.push_back(h);
    }
  }

  std::vector<TimeSpan> marks;
  auto hole = joined.begin();
  for (const TimeSpan& c : covered) {
    double at = c.from;
    while (hole != joined.end() && hole->to <= at) ++hole;
    for (auto h = hole; h != joined.end() && h->from < c.to; ++h) {
      if (h->from > at) marks.push_back({at, h->from});
      at = std::max(at, h->to);
    }
    if (at < c.to) marks.push_back({at, c.to});
  }
  return marks;
}

}  // namespace slm
