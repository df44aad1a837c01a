#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "assessment/assessment_tables.h"

// The assessment's tables as people and programs read them. Levels and
// percentages have one decimal, rounded to the nearest (65.26 gives 65.3);
// times are "yyyy/mm/dd hh:nn:ss" and dates "yyyy/mm/dd" on the records'
// clock.
namespace slm {

// `text` as a JSON string. The program's texts are Latin-1: each byte above
// 127 is the character of that code, written as an escape so that the
// output is ASCII whatever the bytes were.
std::string JsonString(std::string_view text);

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
// A column's header as people read it: its caption, then its unit in
// brackets when it has one: "LAeq (dB)", "cover (%)".
std::string HeaderText(const Column& column);

// A table as CSV (RFC 4180, CR LF): a header line of the columns' keys, then
// one line per row; an empty field where there is no value. A column with a
// flag in any row is followed by a column "<key>_flag" of its flags. `slmtool assess
// --csv` and the window's "Export Table..." both write this.
std::string TableCsv(const FigureTable& table);

// Readable tables under their titles: the totals by figure, the intervals,
// the days, the months, the years, the events (with a threshold), the
// stretches left out (when there are any), then the notes.
std::string AssessmentText(const AssessmentTables& tables);

// One JSON object: the totals' figures at their paths (period, total,
// rolling, excluded, above), then one array of row objects per table
// (intervals, days, months, years, events, exclusions) and "notes", an array
// of sentences; what could not be computed is null, and so are "events" and
// "above" without a threshold.
std::string AssessmentJson(const AssessmentTables& tables);

}  // namespace slm
