#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "files/record.h"

// The printed report of a record list: its results, then its records, one
// to five to a line, in fixed-width fields.
#include "files/progress.h"

namespace slm {

inline constexpr const char* kRecordsPerLinePrompt = "Input record(s) to print in one row (1-5)";

// The captions of the result labels, on screen and on paper.
inline constexpr const char* kFreqWeightCaption = "Freq Weight";
inline constexpr const char* kTimeWeightCaption = "Time Weight";
inline constexpr const char* kLevelRangeCaption = "Level Range";
inline constexpr const char* kMaxDbCaption = "Max dB";
inline constexpr const char* kSelCaption = "SEL";
inline constexpr const char* kLeqCaption = "Leq";

// The widths of a record line's fields.
inline constexpr std::size_t kNumberWidth = 14;
inline constexpr std::size_t kDateTimeWidth = 21;
inline constexpr std::size_t kLevelWidth = 9;

// The records-per-line answer: its numeric value's whole part when the value
// is from 1 to 5 ("2.7" gives 2), else nothing (ask again).
std::optional<int> ParseRecordsPerLine(const std::string& answer);

// Where a report had to stop: a text longer than its field.
struct ReportStop {
  std::size_t row = 0;  // the record (1-based) whose line could not be printed
  std::string field;    // "No.s", "Date Time" or "dB"
  std::string text;
  std::size_t width = 0;
};

struct ListReport {
  std::vector<std::string> lines;  // every line of every copy, in print order
  std::optional<ReportStop> stop;  // set when the report ended early
};

// Called every so often with the record starting the line just made ("11
// Completed" as the caption), and always for the last line.
using ReportProgressFn = std::function<void(std::size_t row)>;

// The report of `list` as the list windows print it, `copies` times over:
// four lines of one blank; the result lines ("-" + 9 blanks + caption + " : "
// + value) for frequency weighting, time weighting, level range, maximum
// (with " - " and its time), the level range again, SEL and Leq, from the
// list's header; a line "-"; the column header; the rule; then the record
// lines: No. in 14 characters, Date Time in 21, and per levels in 9 each,
// right-aligned.
ListReport BuildListReport(const RecordList& list, int per, int copies = 1,
                           const ReportProgressFn& progress = {});

// What the user is told when a report stopped early: the record, the field,
// its text and why, and that the lines before it were printed.
std::string ReportStopText(const ReportStop& stop);

}  // namespace slm
