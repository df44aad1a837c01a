#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/calibration_check.h"
#include "files/record.h"

// Every figure of an assessment as tables of typed cells, built once: the
// text form, JSON, CSV, the window's tables and the printed report are all
// renderings of these (assessment_output.h), so that a figure's caption,
// unit, key and way of writing are said in one place, here.
namespace slm {

// How a column's values are written.
enum class Format : std::uint8_t {
  kOneDecimal,  // levels and percentages: "65.3", rounded to the nearest
  kWhole,       // counts and seconds: "3600"
  kTime,        // a time on the records' clock: "yyyy/mm/dd hh:nn:ss"
  kDate,        // "yyyy/mm/dd"
  kText,
};

struct Column {
  std::string caption;  // what people read: "LAeq", "cover"
  std::string unit;     // "dB", "%", "s" or ""; headers write it after the caption
                        // ("LAeq (dB)"), the totals after the value
  // The machine's name: the CSV header's, unique in its table ("leq",
  // "day_coverage"); JSON puts the value at `json` when that is given (a
  // dotted path into nested objects: "coverage.day"), else at `key`.
  std::string key;
  Format format = Format::kOneDecimal;
  std::string json = {};
  std::string missing = "missing";  // what people read where there is no value
  const std::string& JsonPath() const { return json.empty() ? key : json; }
};

struct Cell {
  // Nothing where the figure cannot be had (a part of a day without a
  // counted record); whole numbers for kWhole and kTime and kDate, double
  // for kOneDecimal, text for kText.
  std::variant<std::monostate, std::int64_t, double, std::string> value;
  std::string flag = {};  // what the figure needs said beside it, or ""
};

// The flags of a figure that counted records out of the meter's range: its
// value is then a bound, not the level.
inline constexpr const char* kOverFlag = "over";           // records over range, taken as 145.0 dB
inline constexpr const char* kUnderFlag = "under";         // "--" records, taken as 25.0 dB
inline constexpr const char* kLowCoverFlag = "low cover";  // too little of the part was counted

struct FigureTable {
  std::string key;    // "intervals": the table's name in JSON and for --table
  std::string title;  // its heading: "Intervals of 3600 s"
  std::vector<Column> columns;
  std::vector<std::vector<Cell>> rows;  // each as long as `columns`
};

// The tables of every figure: totals (one row), intervals, days, months,
// years, events and the stretches left out. The events table is empty and
// `events_assessed` false without a threshold.
struct AssessmentTables {
  FigureTable totals;
  FigureTable intervals;
  FigureTable days;
  FigureTable months;
  FigureTable years;
  FigureTable events;
  FigureTable exclusions;
  // The calibration check (one row), empty when it was not made.
  FigureTable calibration;
  bool events_assessed = false;
  // What the figures need said beside them, a sentence each: the rules of
  // the coverages, what a flag means where one is set, a clock set back,
  // files measured differently.
  std::vector<std::string> notes;
  // The table named `key` (kTableKeys), or nothing.
  const FigureTable* Find(const std::string& key) const;
};

// What the files tell beside their records.
struct AssessedLists {
  Descriptors names;                   // the figures' names: LAeq, LAFmax ...
  std::vector<ClockSetBack> set_back;  // lists whose clock was set back
  std::string mixed;                   // what differs between lists assessed together, or ""
  // The calibration check of the survey, when it was made, and its settings.
  std::optional<CalibrationCheck> calibration;
  CalibrationSettings calibration_settings;
};

AssessmentTables BuildTables(const Assessment& a, const AssessmentSettings& settings,
                             const AssessedLists& lists = {});

// The tables' keys, the intervals first.
inline constexpr std::array<std::string_view, 8> kTableKeys = {
    "intervals", "days", "months", "years", "events", "exclusions", "totals", "calibration"};

// The stretches left out, in time order: from, to, seconds, reason.
FigureTable ExclusionsTable(const std::vector<Exclusion>& exclusions);

// A one-row table (the totals) as people read it: one row per column, its
// caption, then its value with its unit.
FigureTable ByFigure(const FigureTable& one_row);

// The totals by figure, then the calibration check's figures and the notes,
// one row each: the window's summary beside its chart.
FigureTable SummaryTable(const AssessmentTables& tables);

// A data file as the report names it: its path and the meter settings of
// its header.
struct AssessedFile {
  std::string path;
  ListHeader header;
  std::size_t records = 0;
};

// File, kind, records, frequency weighting, time weighting, range; "-" where
// the file does not say (a plain list has no header).
FigureTable FilesTable(const std::vector<AssessedFile>& files);

// The settings the figures depend on, as caption and value.
FigureTable SettingsTable(const AssessmentSettings& settings);

}  // namespace slm
