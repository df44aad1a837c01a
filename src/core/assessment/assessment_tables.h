#pragma once

#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "files/record.h"

// The assessment as the tables of its printed report. Every figure is
// written by the same functions as the text and JSON forms (OneDecimal,
// ClockText), so that the report and `--json` agree to the digit.
namespace slm {

struct TextTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;  // each as long as the header
};

// A data file as the report names it: its path and the meter settings of
// its header.
struct AssessedFile {
  std::string path;
  ListHeader header;
  std::size_t records = 0;
};

// File, kind, records, frequency weighting, time weighting, range; "-" where
// the file does not say (a plain list has no header).
TextTable FilesTable(const std::vector<AssessedFile>& files);

// The settings the figures depend on, as caption and value.
TextTable SettingsTable(const AssessmentSettings& settings);

// Caption and value: the measured period, the records, Leq, Lmax and its
// time, Lmin, SEL, the percentiles, the events and the worst rolling window.
TextTable TotalsTable(const Assessment& a, const AssessmentSettings& settings);

// Date, then Leq and coverage of day, evening and night, then Lden; a part
// without a counted record is "missing", and so is the Lden it leaves out.
TextTable DaysTable(const Assessment& a);

// One row per interval: start, records, coverage, Leq, Lmax and its time,
// Lmin, SEL, the percentiles (and the under- and over-range counts when the
// measurement has any).
TextTable IntervalsTable(const Assessment& a, const AssessmentSettings& settings);

// One row per event: number, start, end, seconds, Lmax and its time, Leq, SEL.
TextTable EventsTable(const Assessment& a);

// One row per stretch left out, in time order: from, to, seconds, reason.
TextTable ExclusionsTable(const AssessmentSettings& settings);

}  // namespace slm
