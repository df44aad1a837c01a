#pragma once

// A week at one second in seven daily lists (604,800 records), for the
// assessment benchmarks.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "assessment/assessment_levels.h"
#include "base/calendar.h"

namespace slm::bench {

// Seven daily lists of levels with a decimal each, as a street gives them:
// quieter at night, noisy around a daily swing, now and then over 70 dB; a
// few records marked, under and over range.
inline const std::vector<RecordList>& Week() {
  static const std::vector<RecordList> week = [] {
    std::vector<RecordList> days(7);
    const std::int64_t start = *ParseClockText("2024/05/01 00:00:00");
    std::uint32_t noise = 1;
    std::string level;
    for (std::int64_t i = 0; i < 7 * kSecondsPerDay; ++i) {
      RecordList& day = days[static_cast<std::size_t>(i / kSecondsPerDay)];
      if (day.empty()) day.Reserve(kSecondsPerDay, kSecondsPerDay * 32);
      noise = noise * 1664525u + 1013904223u;
      const double hour = static_cast<double>(i % kSecondsPerDay) / 3600.0;
      const double swing = 55.0 + 10.0 * std::sin((hour - 10.0) * 3.14159265 / 12.0);
      const int tenths = static_cast<int>(swing * 10.0) + static_cast<int>(noise >> 24) - 128;
      if (i % 997 == 0) {
        level = "--";
      } else if (i % 100003 == 0) {
        level = "L";
      } else {
        level = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
        if (i % 1009 == 0) level += "*";
      }
      day.Append(std::to_string(i % kSecondsPerDay + 1), ClockText(start + i), level);
    }
    return days;
  }();
  return week;
}

inline std::vector<NamedList> Named() {
  std::vector<NamedList> named;
  for (const RecordList& day : Week()) named.push_back({&day, "day.dlgr"});
  return named;
}

}  // namespace slm::bench
