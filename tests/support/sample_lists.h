#pragma once

// Lists to test with, made as the program makes them; a test writes them
// out with the program's own writers (FormatListFile, SaveRecordList).
#include <cstdint>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "files/record.h"
#include "support/temp_dir.h"

namespace slm::test {

// A list of `levels`, numbered from 1, one record every `step` seconds from
// `start` ("yyyy/mm/dd hh:nn:ss").
inline RecordList ListOf(const std::vector<std::string>& levels,
                         const std::string& start = "2024/05/01 10:00:00", std::int64_t step = 1) {
  RecordList list;
  const std::int64_t first = ParseClockText(start).value_or(0);
  for (std::size_t i = 0; i < levels.size(); ++i) {
    list.Append(std::to_string(i + 1), ClockText(first + static_cast<std::int64_t>(i) * step),
                levels[i]);
  }
  return list;
}

// A panel list as the recorder builds it, with texts a grid may hold.
inline RecordList SampleRealTimeList() {
  RecordList list;
  ListHeader& h = list.header();
  h.kind = ListKind::kRealTime;
  h.second_value = "10";
  h.frequency_weighting = "A";
  h.time_weighting = "FAST";
  h.range = "80-140";
  h.max_level = "92.4";
  h.max_time = "2016/03/23 14:07:19";
  h.sel = "101.3";
  h.leq = "75.2";
  list.Append("1", "2016/03/23 14:05:09", "65.3");
  list.Append("2", "2016/03/23 14:05:19", "80.0*");
  list.Append("3", "2016/03/23 14:05:29", "--");
  list.Append("4", "2016/03/23 14:07:19", "92.4");
  return list;
}

// A downloaded memory set as the set list shows it.
inline RecordList SampleMemorySet() {
  RecordList list;
  ListHeader& h = list.header();
  h.kind = ListKind::kDataLogger2;
  h.second_value = "3";
  h.frequency_weighting = "C";
  h.time_weighting = "SLOW";
  h.range = "70-130";
  h.l05 = "78.1";
  h.l10 = "76.0";
  h.l50 = "70.4";
  h.l90 = "66.2";
  h.l95 = "65.9";
  h.max_level = "84.7";
  h.max_time = "2016/03/22 09:00:40";
  h.sel = "96.1";
  h.leq = "72.3";
  list.Append("1", "2016/03/22 09:00:00", "66.0");
  list.Append("2", "2016/03/22 09:00:20", "70.4");
  list.Append("3", "2016/03/22 09:00:40", "84.7");
  return list;
}

}  // namespace slm::test
