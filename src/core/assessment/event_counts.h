#pragma once

#include <cstddef>

#include "assessment/assessment.h"
#include "assessment/assessment_tables.h"

// The exceedance events of a long measurement in few lines: how many started
// on each day and in each hour of the day, and the loudest of them, so that
// hundreds of events do not fill a report.
namespace slm {

// A row for each day from the first counted record to the last: its date,
// the events that start on it and their seconds from start to end added up
// (an event across midnight counts for the day it starts). A day without a
// counted record says "no data" rather than 0 events. No rows without a
// threshold.
FigureTable EventsPerDay(const Assessment& a);

// 24 rows, the hours of the day 00:00 to 23:00: the events that start in
// that hour on any day, and their seconds added up. An hour of the day that
// the measurement does not reach on any day says "no data". No rows without
// a threshold.
FigureTable EventsPerHour(const Assessment& a);

// The `count` loudest rows of an events table (BuildTables's), by its Lmax,
// the loudest first and the earlier first among equals; each row as the
// table has it.
FigureTable LoudestEvents(const FigureTable& events, std::size_t count = 10);

}  // namespace slm
