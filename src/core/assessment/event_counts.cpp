#include "assessment/event_counts.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "base/calendar.h"

namespace slm {

namespace {

constexpr std::int64_t kSecondsPerHour = 3600;

// The events and their seconds in each of `slots`, and which slots the
// measurement reaches.
struct Counts {
  explicit Counts(std::size_t slots) : events(slots), seconds(slots), measured(slots) {}
  void Add(std::size_t slot, const ExceedanceEvent& e) {
    if (slot >= events.size()) return;
    ++events[slot];
    seconds[slot] += e.end - e.start;
  }
  std::vector<std::int64_t> events;
  std::vector<std::int64_t> seconds;
  std::vector<bool> measured;
};

// `first` (the date or the hour), then the events and their seconds; "no
// data" where the measurement does not reach.
FigureTable CountsTable(std::string key, std::string title, Column first,
                        const std::vector<Cell>& firsts, const Counts& counts) {
  Column events{"Events", "", "events", Format::kWhole};
  Column seconds{"Time in events", "s", "seconds", Format::kWhole};
  events.missing = seconds.missing = "no data";
  FigureTable t{std::move(key), std::move(title), {std::move(first), events, seconds}, {}};
  for (std::size_t i = 0; i < firsts.size(); ++i) {
    if (!counts.measured[i]) {
      t.rows.push_back({firsts[i], Cell{}, Cell{}});
    } else {
      t.rows.push_back({firsts[i], Cell{counts.events[i]}, Cell{counts.seconds[i]}});
    }
  }
  return t;
}

std::size_t HourOf(std::int64_t time) {
  return static_cast<std::size_t>((time - MidnightOf(time)) / kSecondsPerHour);
}

}  // namespace

FigureTable EventsPerDay(const Assessment& a) {
  const Column date{"Date", "", "date", Format::kDate};
  if (!a.events_assessed || a.total.count == 0 || a.end <= a.start) {
    return CountsTable("events_per_day", "Events per day", date, {}, Counts(0));
  }
  const std::int64_t first = DayOf(a.start);
  const std::size_t days = static_cast<std::size_t>(DayOf(a.end - 1) - first + 1);
  Counts counts(days);
  // An interval lies within one day: a day with a counted interval was measured.
  for (const IntervalLevels& interval : a.intervals) {
    const std::size_t day = static_cast<std::size_t>(DayOf(interval.start) - first);
    if (interval.levels.count > 0 && day < days) counts.measured[day] = true;
  }
  for (const ExceedanceEvent& e : a.events) {
    counts.Add(static_cast<std::size_t>(DayOf(e.start) - first), e);
  }
  std::vector<Cell> dates;
  for (std::size_t day = 0; day < days; ++day) {
    dates.push_back({(first + static_cast<std::int64_t>(day)) * kSecondsPerDay});
  }
  return CountsTable("events_per_day", "Events per day", date, dates, counts);
}

FigureTable EventsPerHour(const Assessment& a) {
  const Column hour{"Hour", "", "hour", Format::kText};
  if (!a.events_assessed || a.total.count == 0 || a.end <= a.start) {
    return CountsTable("events_per_hour", "Events per hour of the day", hour, {}, Counts(0));
  }
  Counts counts(24);
  // The hours of the day from the first counted record to the last: all of
  // them once the measurement spans a day.
  const std::int64_t last = std::min(a.end, a.start + kSecondsPerDay);
  for (std::int64_t t = a.start - (a.start - MidnightOf(a.start)) % kSecondsPerHour; t < last;
       t += kSecondsPerHour) {
    counts.measured[HourOf(t)] = true;
  }
  for (const ExceedanceEvent& e : a.events) counts.Add(HourOf(e.start), e);
  std::vector<Cell> hours;
  for (int h = 0; h < 24; ++h) {
    const auto two = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
    hours.push_back({two(h) + ":00-" + two(h + 1) + ":00"});
  }
  return CountsTable("events_per_hour", "Events per hour of the day", hour, hours, counts);
}

FigureTable LoudestEvents(const FigureTable& events, std::size_t count) {
  FigureTable t{"loudest_events", {}, events.columns, {}};
  const auto lmax = std::find_if(events.columns.begin(), events.columns.end(),
                                 [](const Column& c) { return c.key == "lmax"; });
  const std::size_t column = static_cast<std::size_t>(lmax - events.columns.begin());
  const auto level = [&](std::size_t row) {
    const double* value = column < events.rows[row].size()
                              ? std::get_if<double>(&events.rows[row][column].value)
                              : nullptr;
    return value ? *value : -std::numeric_limits<double>::infinity();
  };
  std::vector<std::size_t> order(events.rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t x, std::size_t y) { return level(x) > level(y); });
  order.resize(std::min(count, order.size()));
  for (const std::size_t row : order) t.rows.push_back(events.rows[row]);
  t.title = t.rows.size() == 1 ? "The loudest event"
                               : "The " + std::to_string(t.rows.size()) + " loudest events";
  return t;
}

}  // namespace slm
