#pragma once

#include <optional>
#include <string>

#include "assessment/assessment.h"

// The assessment as people and programs read it. Levels and percentages have
// one decimal, rounded to the nearest (65.26 gives 65.3); times are
// "yyyy/mm/dd hh:nn:ss" and dates "yyyy/mm/dd" on the records' clock.
namespace slm {

// "65.3"; "" for nothing.
std::string OneDecimal(std::optional<double> value);

// Readable tables: totals, intervals, days, events and the worst rolling window.
std::string AssessmentText(const Assessment& a, const AssessmentSettings& settings);

// One JSON object: period, total, intervals, days, events, above, rolling
// and excluded; what could not be computed is null.
std::string AssessmentJson(const Assessment& a, const AssessmentSettings& settings);

// The intervals as CSV (RFC 4180, CR LF): a header line, then one line per
// interval; an empty field where there is no value.
std::string IntervalsCsv(const Assessment& a, const AssessmentSettings& settings);

}  // namespace slm
