// The events counted by day and by hour of the day, and the loudest, on an
// assessment worked out by hand.
#include "assessment/event_counts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assessment/assessment_output.h"
#include "base/calendar.h"

namespace slm {
namespace {

std::int64_t At(const char* text) { return *ParseClockText(text); }

// Each row's cells as people read them, joined by "|".
std::vector<std::string> Rows(const FigureTable& t) {
  std::vector<std::string> rows;
  for (const std::vector<Cell>& row : t.rows) {
    std::string text;
    for (std::size_t c = 0; c < row.size(); ++c) {
      text += (c > 0 ? "|" : "") + ShownText(t.columns[c], row[c]);
    }
    rows.push_back(text);
  }
  return rows;
}

// From 22:00 on the 1st to 00:30 on the 4th, nothing counted on the 3rd;
// an event across midnight counts for the day and the hour it starts.
TEST(EventCounts, CountEachEventForTheDayAndHourItStartsIn) {
  Assessment a;
  a.total.count = 1;
  a.start = At("2024/05/01 22:00:00");
  a.end = At("2024/05/04 00:30:00");
  a.events_assessed = true;
  for (const char* start : {"2024/05/01 22:00:00", "2024/05/01 23:00:00", "2024/05/02 00:00:00",
                            "2024/05/03 10:00:00", "2024/05/04 00:00:00"}) {
    a.intervals.push_back({At(start), {}, 0});
    // An interval without a counted record makes no day measured.
    a.intervals.back().levels.count = a.intervals.size() == 4 ? 0 : 60;
  }
  a.events = {{At("2024/05/01 22:05:00"), At("2024/05/01 22:06:00"), 85, 0, 60, 0},
              {At("2024/05/01 23:50:00"), At("2024/05/02 00:10:00"), 80, 0, 1200, 0},
              {At("2024/05/04 00:15:00"), At("2024/05/04 00:16:00"), 85, 0, 60, 0}};

  EXPECT_EQ(Rows(EventsPerDay(a)),
            (std::vector<std::string>{"2024/05/01|2|1260", "2024/05/02|0|0",
                                      "2024/05/03|no data|no data", "2024/05/04|1|60"}));
  const std::vector<std::string> hours = Rows(EventsPerHour(a));
  ASSERT_EQ(hours.size(), 24u);
  EXPECT_EQ(hours[0], "00:00-01:00|1|60");
  EXPECT_EQ(hours[12], "12:00-13:00|0|0");
  EXPECT_EQ(hours[22], "22:00-23:00|1|60");
  EXPECT_EQ(hours[23], "23:00-24:00|1|1200");

  // The loudest first, the earlier first among equals, each row as the events table has it.
  AssessmentSettings settings;
  settings.threshold = 70;
  const FigureTable loudest = LoudestEvents(BuildTables(a, settings).events, 2);
  EXPECT_EQ(loudest.title, "The 2 loudest events");
  ASSERT_EQ(loudest.rows.size(), 2u);
  EXPECT_EQ(Rows(loudest)[0].substr(0, 24), "1|2024/05/01 22:05:00|20");
  EXPECT_EQ(Rows(loudest)[1].substr(0, 24), "3|2024/05/04 00:15:00|20");

  // Two hours measured: the other hours of the day have no data.
  a.end = At("2024/05/01 23:30:00");
  a.events.pop_back();
  EXPECT_EQ(Rows(EventsPerHour(a))[21], "21:00-22:00|no data|no data");
  EXPECT_EQ(Rows(EventsPerHour(a))[23], "23:00-24:00|1|1200");
}

}  // namespace
}  // namespace slm
