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
};

double Energy(const std::vector<Counted>& c) {
  double e = 0;
  for (const Counted& r : c) e += std::pow(10.0, r.level / 10.0);
  return e;
}
double Leq(const std::vector<Counted>& c) {
  return 10 * std::log10(Energy(c) / static_cast<double>(c.size()));
}

// L(N) by its definition: the class at which more than n (99.5 - N) / 100
// of the sorted classes lie at or below.
double Percentile(std::vector<Counted> c, int n) {
  std::vector<int> fine;
  for (const Counted& r : c) fine.push_back(r.fine);
  std::sort(fine.begin(), fine.end());
  const double size = static_cast<double>(fine.size());
  const double threshold = size / 200.0 + static_cast<double>(99 - n) * size / 100.0;
  return fine[static_cast<std::size_t>(std::floor(threshold))] / 10.0;
}

TEST(AssessmentProperty, AgreesWithADirectComputationOnRandomLists) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    RecordList list;
    std::vector<Counted> all;  // every record that is not paused, with its time
    std::int64_t t = *ParseClockText("2024/05/01 21:00:00") + pick(3600);
    const std::int64_t first = t;
    for (int i = 0; i < 3000; ++i) {
      const int form = pick(1000);
      std::string text;
      Counted c{t, 0, 0};
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
      list.Append(std::to_string(i + 1), ClockText(t), text);
      if (form >= 40) all.push_back(c);
      const int step = pick(100);
      t += step < 85 ? 1 : step < 95 ? 2 : step < 99 ? 7 : 900 + pick(9000);
    }
    AssessmentSettings s;
    s.interval = seed % 2 ? 900 : 3600;
    s.part_starts = seed % 3 ? std::array<int, 3>{7, 19, 23} : std::array<int, 3>{6, 18, 2};
    s.threshold = 60.0 + pick(20);
    s.hold = pick(5);
    s.min_duration = pick(4);
    s.rolling = 300;
    for (int k = 0; k < 3; ++k) {  // the second overlaps the first or lies within it
      const std::int64_t from =
          k == 1 ? s.exclusions[0].from + pick(400) : first + pick(static_cast<int>(t - first));
      s.exclusions.push_back({from, from + 1 + pick(600), ""});
    }
    const MeasuredLevels levels = MergeLevels(std::vector<NamedList>{{&list, "random.dlgr"}});
    const Assessment a = Assess(levels, s);
    const std::int64_t p = levels.period;
    ASSERT_EQ(p, 1);

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

    // Intervals.
    std::vector<std::vector<Counted>> by_interval;
    std::vector<std::int64_t> starts;
    for (const Counted& c : counted) {
      const std::int64_t start =
          MidnightOf(c.time) + (c.time - MidnightOf(c.time)) / s.interval * s.interval;
      if (starts.empty() || starts.back() != start) {
        starts.push_back(start);
        by_interval.emplace_back();
      }
      by_interval.back().push_back(c);
    }
    ASSERT_EQ(a.intervals.size(), starts.size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
      const LevelSummary& got = a.intervals[i].levels;
      const std::vector<Counted>& want = by_interval[i];
      EXPECT_EQ(a.intervals[i].start, starts[i]);
      EXPECT_EQ(got.count, static_cast<std::int64_t>(want.size()));
      EXPECT_NEAR(got.Leq(), Leq(want), 1e-9);
      const auto loudest =
          std::max_element(want.begin(), want.end(),
                           [](const Counted& x, const Counted& y) { return x.level < y.level; });
      EXPECT_EQ(got.lmax, loudest->level);
      EXPECT_EQ(got.lmax_time, loudest->time);
      for (std::size_t k = 0; k < s.percentiles.size(); ++k) {
        EXPECT_EQ(got.percentiles[k], Percentile(want, s.percentiles[k]))
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
      if (dates.empty() || dates.back() != date) {
        dates.push_back(date);
        parts.emplace_back();
      }
      parts.back()[static_cast<std::size_t>(part)].push_back(c);
    }
    ASSERT_EQ(a.days.size(), dates.size());
    for (std::size_t d = 0; d < dates.size(); ++d) {
      EXPECT_EQ(a.days[d].date, dates[d]);
      double weighted = 0;
      for (std::size_t k = 0; k < 3; ++k) {
        const std::vector<Counted>& want = parts[d][k];
        EXPECT_EQ(a.days[d].parts[k].count, static_cast<std::int64_t>(want.size()));
        if (!want.empty()) {
          EXPECT_NEAR(*a.days[d].parts[k].Leq(), Leq(want), 1e-9);
          weighted += hours[k] * std::pow(10.0, (Leq(want) + 5.0 * static_cast<double>(k)) / 10.0);
        }
      }
      const bool whole = !parts[d][0].empty() && !parts[d][1].empty() && !parts[d][2].empty();
      ASSERT_EQ(a.days[d].lden.has_value(), whole);
      if (whole) {
        EXPECT_NEAR(*a.days[d].lden, 10 * std::log10(weighted / 24), 1e-9);
      }
    }

    // Events: runs of records above joined within the hold.
    std::vector<std::pair<std::int64_t, std::int64_t>> runs;  // first and last record above
    std::int64_t above = 0;
    for (const Counted& c : counted) {
      if (c.level < *s.threshold) continue;
      ++above;
      if (!runs.empty() && c.time - runs.back().second <= s.hold + p) {
        runs.back().second = c.time;
      } else {
        runs.push_back({c.time, c.time});
      }
    }
    EXPECT_EQ(a.seconds_above, above * p);
    std::size_t e = 0;
    for (const auto& [start, last] : runs) {
      if (last + p - start < s.min_duration) continue;
      ASSERT_LT(e, a.events.size());
      std::vector<Counted> inside;
      for (const Counted& c : counted) {
        if (c.time >= start && c.time < last + p) inside.push_back(c);
      }
      EXPECT_EQ(a.events[e].start, start);
      EXPECT_EQ(a.events[e].end, last + p);
      EXPECT_EQ(a.events[e].count, static_cast<std::int64_t>(inside.size()));
      EXPECT_NEAR(a.events[e].Leq(), Leq(inside), 1e-9);
      ++e;
    }
    EXPECT_EQ(a.events.size(), e);

    // The rolling Leq at every record that ends a full window.
    double best = -1;
    std::int64_t best_time = 0;
    for (const Counted& end : counted) {
      if (end.time < first + s.rolling - p) continue;
      std::vector<Counted> window;
      for (const Counted& c : counted) {
        if (c.time > end.time - s.rolling && c.time <= end.time) window.push_back(c);
      }
      if (Leq(window) > best + 1e-9) best = Leq(window), best_time = end.time;
    }
    ASSERT_TRUE(a.rolling_max);
    EXPECT_NEAR(*a.rolling_max, best, 1e-9);
    EXPECT_EQ(a.rolling_time, best_time);
  }
}

}  // namespace
}  // namespace slm
