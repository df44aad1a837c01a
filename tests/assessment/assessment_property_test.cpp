// The assessment against a direct, slow computation of each definition on
// random lists: levels of every form, gaps, and random exclusions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "base/calendar.h"

namespace slm {
namespace {

struct Counted {
  std::int64_t time;
  double level;
  int fine;
  std::int64_t period;  // of its file
};

double Seconds(const std::vector<Counted>& c) {
  double t = 0;
  for (const Counted& r : c) t += static_cast<double>(r.period);
  return t;
}
double Leq(const std::vector<Counted>& c) {
  double e = 0;
  for (const Counted& r : c) e += std::pow(10.0, r.level / 10.0) * static_cast<double>(r.period);
  return 10 * std::log10(e / Seconds(c));
}

// LN by its definition: the lowest counted level such that the time above
// it is at most N % of the counted time.
double Exceeded(const std::vector<Counted>& c, int n) {
  int lowest = 100000;
  for (const Counted& candidate : c) {
    double above = 0;
    for (const Counted& r : c) above += r.fine > candidate.fine ? static_cast<double>(r.period) : 0;
    if (above * 100 <= n * Seconds(c)) lowest = std::min(lowest, candidate.fine);
  }
  return lowest / 10.0;
}

TEST(AssessmentProperty, AgreesWithADirectComputationOnRandomLists) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    // A file of one-second records, then one of ten-second records.
    std::array<RecordList, 2> lists;
    std::vector<Counted> all;  // every record that is not paused, with its time
    std::int64_t t = *ParseClockText("2024/05/01 21:00:00") + pick(3600);
    const std::int64_t first = t;
    for (int i = 0; i < 3000; ++i) {
      const std::int64_t period = i < 2000 ? 1 : 10;
      if (i == 2000) t += 600;
      const int form = pick(1000);
      std::string text;
      Counted c{t, 0, 0, period};
      if (form < 40) {
        text = "70.0*";
      } else if (form < 60) {
        text = "--", c.level = 25, c.fine = 250;
      } else if (form < 62) {
        text = "L", c.level = 145, c.fine = 1450;
      } else {
        c.fine = 300 + pick(700);
        c.level = c.fine / 10.0;
        text = std::to_string(c.fine / 10) + "." + std::to_string(c.fine % 10);
      }
      lists[i < 2000 ? 0 : 1].Append(std::to_string(i + 1), ClockText(t), text);
      if (form >= 40) all.push_back(c);
      const int step = pick(100);
      t += period * (step < 85   ? 1
                     : step < 95 ? 2
                     : step < 99 ? 7
                                 : 0) +
           (step >= 99 ? 900 + pick(9000) : 0);
    }
    AssessmentSettings s;
    s.interval = seed % 2 ? 900 : 3600;
    s.part_starts = seed % 3 ? std::array<int, 3>{7, 19, 23} : std::array<int, 3>{6, 18, 2};
    s.threshold = 60.0 + pick(20);
    s.hold = pick(5);
    s.min_duration = pick(4);
    s.rolling = 300;
    s.rolling_coverage = 40.0 + pick(30);
    s.min_coverage = seed % 2 ? 0.0 : 40.0;
    s.percentiles = {0, 1, 10, 50, 90, 99, 100};
    for (int k = 0; k < 3; ++k) {  // the second overlaps the first or lies within it
      const std::int64_t from =
          k == 1 ? s.exclusions[0].from + pick(400) : first + pick(static_cast<int>(t - first));
      s.exclusions.push_back({from, from + 1 + pick(600), ""});
    }
    const MeasuredLevels levels =
        MergeLevels(std::vector<NamedList>{{&lists[1], "later.dlgr"}, {&lists[0], "first.dlgr"}});
    const Assessment a = Assess(levels, s);
    ASSERT_EQ(a.periods, (std::vector<std::int64_t>{1, 10}));

    std::vector<Counted> counted;
    for (const Counted& c : all) {
      const bool out =
          std::any_of(s.exclusions.begin(), s.exclusions.end(),
                      [&](const Exclusion& e) { return e.from <= c.time && c.time < e.to; });
      if (!out) counted.push_back(c);
    }
    SCOPED_TRACE(seed);
    ASSERT_EQ(a.total.count, static_cast<std::int64_t>(counted.size()));
    EXPECT_NEAR(a.total.Leq(), Leq(counted), 1e-9);
    EXPECT_EQ(a.total.percentiles.front(), a.total.lmax);  // L0
    EXPECT_EQ(a.total.percentiles.back(), a.total.lmin);   // L100

    // Intervals: every one from the first record's to the last's.
    const std::int64_t first_interval = first / s.interval;
    ASSERT_EQ(a.intervals.size(),
              static_cast<std::size_t>(
                  lists[1].size() > 0
                      ? *ParseClockText(lists[1].date_time(lists[1].size() - 1)) / s.interval -
                            first_interval + 1
                      : 0));
    std::vector<std::vector<Counted>> by_interval(a.intervals.size());
    for (const Counted& c : counted) {
      by_interval[static_cast<std::size_t>(c.time / s.interval - first_interval)].push_back(c);
    }
    for (std::size_t i = 0; i < a.intervals.size(); ++i) {
      const LevelSummary& got = a.intervals[i].levels;
      const std::vector<Counted>& want = by_interval[i];
      EXPECT_EQ(a.intervals[i].start, (first_interval + static_cast<std::int64_t>(i)) * s.interval);
      EXPECT_EQ(got.count, static_cast<std::int64_t>(want.size()));
      if (want.empty()) continue;
      EXPECT_NEAR(a.intervals[i].coverage, 100 * Seconds(want) / static_cast<double>(s.interval),
                  1e-9);
      EXPECT_NEAR(got.Leq(), Leq(want), 1e-9);
      const auto loudest =
          std::max_element(want.begin(), want.end(),
                           [](const Counted& x, const Counted& y) { return x.level < y.level; });
      EXPECT_EQ(got.lmax, loudest->level);
      EXPECT_EQ(got.lmax_time, loudest->time);
      for (std::size_t k = 0; k < s.percentiles.size(); ++k) {
        EXPECT_EQ(got.percentiles[k], Exceeded(want, s.percentiles[k]))
            << i << " L" << s.percentiles[k];
      }
    }

    // Days: the hour of each record decides its assessment day and part.
    const std::array<int, 3> hours = PartHours(s.part_starts);
    std::vector<std::int64_t> dates;
    std::vector<std::array<std::vector<Counted>, 3>> parts;
    for (const Counted& c : counted) {
      const int hour = DateTimeOfSeconds(c.time).hour;
      const std::int64_t date = MidnightOf(c.time) - (hour < s.part_starts[0] ? kSecondsPerDay : 0);
      const int offset = (hour - s.part_starts[0] + 24) % 24;
      const int part = offset < hours[0] ? 0 : offset < hours[0] + hours[1] ? 1 : 2;
      while (dates.empty() || dates.back() < date) {
        dates.push_back(dates.empty() ? date : dates.back() + kSecondsPerDay);
        parts.emplace_back();
      }
      parts.back()[static_cast<std::size_t>(part)].push_back(c);
    }
    ASSERT_GE(a.days.size(), dates.size());
    for (std::size_t d = 0; d < dates.size(); ++d) {
      EXPECT_EQ(a.days[d].date, dates[d]);
      double weighted = 0;
      bool whole = true;
      for (std::size_t k = 0; k < 3; ++k) {
        const std::vector<Counted>& want = parts[d][k];
        EXPECT_EQ(a.days[d].parts[k].count, static_cast<std::int64_t>(want.size()));
        const bool enough =
            !want.empty() && 100 * Seconds(want) / (hours[k] * 3600.0) >= s.min_coverage;
        EXPECT_EQ(a.days[d].parts[k].Level().has_value(), enough);
        whole = whole && enough;
        if (enough) {
          EXPECT_NEAR(*a.days[d].parts[k].Leq(), Leq(want), 1e-9);
          weighted += hours[k] * std::pow(10.0, (Leq(want) + 5.0 * static_cast<double>(k)) / 10.0);
        }
      }
      ASSERT_EQ(a.days[d].lden.has_value(), whole);
      if (whole) {
        EXPECT_NEAR(*a.days[d].lden, 10 * std::log10(weighted / 24), 1e-9);
      }
    }

    // Events: runs of records above joined within the hold after the last
    // one's period.
    std::vector<std::pair<std::int64_t, std::int64_t>> runs;  // first record above, end of last
    std::int64_t above = 0;
    for (const Counted& c : counted) {
      if (c.level < *s.threshold) continue;
      above += c.period;
      if (!runs.empty() && c.time - runs.back().second <= s.hold) {
        runs.back().second = c.time + c.period;
      } else {
        runs.push_back({c.time, c.time + c.period});
      }
    }
    EXPECT_EQ(a.seconds_above, above);
    std::size_t e = 0;
    for (const auto& [start, end] : runs) {
      if (end - start < s.min_duration) continue;
      ASSERT_LT(e, a.events.size());
      std::vector<Counted> inside;
      for (const Counted& c : counted) {
        if (c.time >= start && c.time < end) inside.push_back(c);
      }
      EXPECT_EQ(a.events[e].start, start);
      EXPECT_EQ(a.events[e].end, end);
      EXPECT_EQ(a.events[e].count, static_cast<std::int64_t>(inside.size()));
      EXPECT_NEAR(a.events[e].Leq(), Leq(inside), 1e-9);
      ++e;
    }
    EXPECT_EQ(a.events.size(), e);

    // The rolling Leq at every record that ends a full window from the first
    // counted record, covered enough.
    double best = -1;
    std::int64_t best_time = 0;
    for (const Counted& end : counted) {
      if (end.time < counted[0].time + s.rolling - counted[0].period) continue;
      std::vector<Counted> window;
      for (const Counted& c : counted) {
        if (c.time > end.time - s.rolling && c.time <= end.time) window.push_back(c);
      }
      if (100 * Seconds(window) / static_cast<double>(s.rolling) < s.rolling_coverage) continue;
      if (Leq(window) > best + 5e-12) best = Leq(window), best_time = end.time;
    }
    ASSERT_TRUE(a.rolling_max);
    EXPECT_NEAR(*a.rolling_max, best, 1e-9);
    EXPECT_EQ(a.rolling_time, best_time);
  }
}

}  // namespace
}  // namespace slm
