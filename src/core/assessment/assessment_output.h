#pragma once

#include <optional>
#include <string>

#include "assessment/assessment_tables.h"

// The assessment's tables as people and programs read them. Levels and
// percentages have one decimal, rounded to the nearest (65.26 gives 65.3);
// times are "yyyy/mm/dd hh:nn:ss" and dates "yyyy/mm/dd" on the records'
// clock.
namespace slm {

// "65.3"; "" for nothing.
std::string OneDecimal(std::optional<double> value);

// A cell's value as its column writes it, then its flag after a blank; ""
// where there is no value.
std::string CellText(const Column& column, const Cell& cell);
// The same as people read it: the column's stand-in ("missing") where there
// is no value.
std::string ShownText(const Column& column, const Cell& cell);
// True for the columns whose values line up on the right.
bool IsFigure(const Column& column);

// A table as CSV (RFC 4180, CR LF): a header line of the columns' keys, then
// one line per row; an empty field where there is no value. `slmtool assess
// --csv` and the window's "Export Table..." both write this.
std::string TableCsv(const FigureTable& table);

// Readable tables under their titles: the totals by figure, the intervals,
// the days, the events (with a threshold) and the stretches left out (when
// there are any).
std::string AssessmentText(const AssessmentTables& tables);

// One JSON object: the totals' figures at their paths (period, total,
// rolling, excluded, above), then one array of row objects per table
// (intervals, days, events, exclusions); what could not be computed is null,
// and so are "events" and "above" without a threshold.
std::string AssessmentJson(const AssessmentTables& tables);

}  // namespace slm
