#include "assessment/assessment_tables.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "assessment/assessment_output.h"
#include "base/calendar.h"
#include "files/list_summary.h"

namespace slm {

namespace {

std::string Whole(std::int64_t n) { return std::to_string(n); }
std::string HourText(int hour) { return (hour < 10 ? "0" : "") + Whole(hour) + ":00"; }
std::string PercentileName(int n) { return "L" + Whole(n); }

Cell Number(std::int64_t n) { return {n}; }
Cell Level(double level) { return {level}; }
Cell Maybe(std::optional<double> value) { return value ? Cell{*value} : Cell{}; }
Cell Text(std::string text) { return text.empty() ? Cell{} : Cell{std::move(text)}; }

Column Decibel(std::string caption, std::string key, std::string json = {}) {
  return {std::move(caption), "dB", std::move(key), Format::kOneDecimal, std::move(json)};
}
Column Count(std::string caption, std::string key, std::string unit = {}, std::string json = {}) {
  return {std::move(caption), std::move(unit), std::move(key), Format::kWhole, std::move(json)};
}
Column Time(std::string caption, std::string key, std::string json = {}) {
  return {std::move(caption), "", std::move(key), Format::kTime, std::move(json)};
}
Column Percent(std::string caption, std::string key, std::string json = {}) {
  return {std::move(caption), "%", std::move(key), Format::kOneDecimal, std::move(json)};
}
Column Words(std::string caption, std::string key) {
  return {std::move(caption), "", std::move(key), Format::kText, {}, "-"};
}

// Leq, Lmax and its time, Lmin and SEL, then L(N), each under `group` in
// JSON ("total.leq"; the percentiles under "percentiles" of the group).
void AddLevelColumns(std::vector<Column>& columns, const std::string& group,
                     const AssessmentSettings& settings) {
  const std::string at = group.empty() ? "" : group + ".";
  columns.push_back(Decibel("Leq", "leq", at + "leq"));
  columns.push_back(Decibel("Lmax", "lmax", at + "lmax"));
  columns.push_back(Time("Lmax time", "lmax_time", at + "lmax_time"));
  columns.push_back(Decibel("Lmin", "lmin", at + "lmin"));
  columns.push_back(Decibel("SEL", "sel", at + "sel"));
  for (const int n : settings.percentiles) {
    columns.push_back(
        Decibel(PercentileName(n), PercentileName(n), at + "percentiles." + PercentileName(n)));
  }
}

// The cells of AddLevelColumns; none without a counted record.
void AddLevels(std::vector<Cell>& row, const LevelSummary& s, std::int64_t period,
               const AssessmentSettings& settings) {
  if (s.count == 0) {
    row.resize(row.size() + 5 + settings.percentiles.size());
    return;
  }
  row.insert(row.end(), {Level(s.Leq()), Level(s.lmax), Number(s.lmax_time), Level(s.lmin),
                         Level(s.Sel(period))});
  for (const double level : s.percentiles) row.push_back(Level(level));
}

FigureTable Totals(const Assessment& a, const AssessmentSettings& settings) {
  const LevelSummary& s = a.total;
  FigureTable t{"totals", "Totals", {}, {}};
  t.columns = {Count("Sample period", "period", "s"),
               Time("Measured from", "start", "total.start"),
               Time("Measured to", "end", "total.end"),
               Count("Records counted", "count", "", "total.count"),
               Count("Records paused", "paused", "", "total.paused"),
               Count("Records excluded", "excluded", "", "excluded.records"),
               Count("Under range, taken as 25.0 dB", "under_range", "", "total.under_range"),
               Count("Over range, taken as 145.0 dB", "over_range", "", "total.over_range")};
  AddLevelColumns(t.columns, "total", settings);
  Column rolling_max = Decibel("Worst rolling Leq", "rolling_max", "rolling.max");
  Column rolling_time = Time("Worst rolling window's last record", "rolling_time", "rolling.time");
  rolling_max.missing = rolling_time.missing = "none";
  t.columns.insert(t.columns.end(),
                   {Count("Rolling window", "rolling_window", "s", "rolling.window"),
                    std::move(rolling_max), std::move(rolling_time)});
  std::vector<Cell> row = {Number(a.period)};
  if (s.count > 0) {
    row.insert(row.end(), {Number(a.start), Number(a.end)});
  } else {
    row.resize(3);
  }
  row.insert(row.end(), {Number(s.count), Number(a.paused), Number(a.excluded),
                         Number(s.under_range), Number(s.over_range)});
  AddLevels(row, s, a.period, settings);
  row.insert(row.end(), {Number(settings.rolling), Maybe(a.rolling_max),
                         a.rolling_max ? Number(a.rolling_time) : Cell{}});
  if (a.events_assessed) {
    t.columns.push_back(Count("Events", "events", "", "above.events"));
    t.columns.push_back(
        Count("Time at or above the threshold", "seconds_above", "s", "above.seconds"));
    row.push_back(Number(static_cast<std::int64_t>(a.events.size())));
    row.push_back(Number(a.seconds_above));
  }
  t.rows.push_back(std::move(row));
  return t;
}

FigureTable Intervals(const Assessment& a, const AssessmentSettings& settings) {
  FigureTable t{"intervals", "Intervals of " + Whole(settings.interval) + " s", {}, {}};
  t.columns = {Time("Start", "start"), Count("Records", "count"), Percent("cover %", "coverage"),
               Count("under", "under_range"), Count("over", "over_range")};
  AddLevelColumns(t.columns, "", settings);
  t.rows.reserve(a.intervals.size());
  for (const IntervalLevels& interval : a.intervals) {
    const LevelSummary& s = interval.levels;
    std::vector<Cell> row;
    row.reserve(t.columns.size());
    row.insert(row.end(), {Number(interval.start), Number(s.count), Level(interval.coverage),
                           Number(s.under_range), Number(s.over_range)});
    AddLevels(row, s, a.period, settings);
    t.rows.push_back(std::move(row));
  }
  return t;
}

FigureTable Days(const Assessment& a, const AssessmentSettings& settings) {
  const std::array<int, 3>& s = settings.part_starts;
  FigureTable t{"days",
                "Days (day from " + HourText(s[0]) + ", evening from " + HourText(s[1]) +
                    ", night from " + HourText(s[2]) + ")",
                {},
                {}};
  t.columns = {{"Date", "", "date", Format::kDate}};
  for (const char* part : {"day", "evening", "night"}) {
    const std::string name(part);
    t.columns.push_back(Decibel("L" + name, "l" + name));
    t.columns.push_back(Percent(name + " cover %", name + "_coverage", "coverage." + name));
  }
  t.columns.push_back(Decibel("Lden", "lden"));
  for (const DayLevels& day : a.days) {
    std::vector<Cell> row = {Number(day.date)};
    for (const PartLevels& part : day.parts) {
      row.push_back(Maybe(part.Leq()));
      row.push_back(Level(part.coverage));
    }
    row.push_back(Maybe(day.lden));
    t.rows.push_back(std::move(row));
  }
  return t;
}

FigureTable Events(const Assessment& a, const AssessmentSettings& settings) {
  FigureTable t{"events",
                a.events_assessed
                    ? "Events at or above " + OneDecimal(settings.threshold) + " dB (at least " +
                          Whole(settings.min_duration) + " s, hold " + Whole(settings.hold) + " s)"
                    : "Events",
                {Count("No.", "number"), Time("Start", "start"), Time("End", "end"),
                 Count("Seconds", "duration", "s"), Decibel("Lmax", "lmax"),
                 Time("Lmax time", "lmax_time"), Decibel("Leq", "leq"), Decibel("SEL", "sel")},
                {}};
  for (std::size_t i = 0; i < a.events.size(); ++i) {
    const ExceedanceEvent& e = a.events[i];
    t.rows.push_back({Number(static_cast<std::int64_t>(i + 1)), Number(e.start), Number(e.end),
                      Number(e.end - e.start), Level(e.lmax), Number(e.lmax_time), Level(e.Leq()),
                      Level(e.Sel(a.period))});
  }
  return t;
}

// A table whose cells are all texts.
FigureTable Texts(std::vector<std::pair<std::string, std::string>> captions_and_keys) {
  FigureTable t;
  for (auto& [caption, key] : captions_and_keys) {
    t.columns.push_back(Words(std::move(caption), std::move(key)));
  }
  return t;
}

}  // namespace

const FigureTable* AssessmentTables::Find(const std::string& key) const {
  for (const FigureTable* table : {&totals, &intervals, &days, &events, &exclusions}) {
    if (table->key == key) return table;
  }
  return nullptr;
}

AssessmentTables BuildTables(const Assessment& a, const AssessmentSettings& settings) {
  return {Totals(a, settings),
          Intervals(a, settings),
          Days(a, settings),
          Events(a, settings),
          ExclusionsTable(settings.exclusions),
          a.events_assessed};
}

FigureTable ExclusionsTable(const std::vector<Exclusion>& exclusions) {
  std::vector<Exclusion> sorted = exclusions;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Exclusion& x, const Exclusion& y) { return x.from < y.from; });
  FigureTable t{"exclusions",
                "Stretches left out",
                {Time("From", "from"), Time("To", "to"), Count("Seconds", "duration", "s"),
                 Words("Reason", "reason")},
                {}};
  for (const Exclusion& e : sorted) {
    t.rows.push_back({Number(e.from), Number(e.to), Number(e.to - e.from), Text(e.reason)});
  }
  return t;
}

FigureTable ByFigure(const FigureTable& one_row) {
  FigureTable t = Texts({{"Figure", "figure"}, {"Value", "value"}});
  t.key = one_row.key;
  t.title = one_row.title;
  if (one_row.rows.empty()) return t;
  for (std::size_t c = 0; c < one_row.columns.size(); ++c) {
    const Column& column = one_row.columns[c];
    const Cell& cell = one_row.rows[0][c];
    std::string value = ShownText(column, cell);
    if (!std::holds_alternative<std::monostate>(cell.value) && !column.unit.empty()) {
      value += " " + column.unit;
    }
    t.rows.push_back({Text(column.caption), Text(std::move(value))});
  }
  return t;
}

FigureTable FilesTable(const std::vector<AssessedFile>& files) {
  FigureTable t = Texts({{"File", "file"},
                         {"Kind", "kind"},
                         {"Records", "records"},
                         {"Frequency weighting", "frequency_weighting"},
                         {"Time weighting", "time_weighting"},
                         {"Range", "range"}});
  t.key = "files";
  t.columns[2].format = Format::kWhole;
  for (const AssessedFile& f : files) {
    const bool plain = f.header.kind == ListKind::kPlain;
    // A set that did not arrive whole says so wherever it is assessed.
    std::string kind(KindName(f.header.kind));
    if (f.header.note.rfind("incomplete", 0) == 0) kind += " (" + f.header.note + ")";
    t.rows.push_back({Text(f.path), Text(kind), Number(static_cast<std::int64_t>(f.records)),
                      plain ? Cell{} : Text(f.header.frequency_weighting),
                      plain ? Cell{} : Text(f.header.time_weighting),
                      plain ? Cell{} : Text(f.header.range)});
  }
  return t;
}

FigureTable SettingsTable(const AssessmentSettings& s) {
  FigureTable t = Texts({{"Setting", "setting"}, {"Value", "value"}});
  t.key = "settings";
  auto add = [&t](std::string caption, std::string value) {
    t.rows.push_back({Text(std::move(caption)), Text(std::move(value))});
  };
  add("Intervals", Whole(s.interval) + " s from midnight");
  add("Day, evening, night", "from " + HourText(s.part_starts[0]) + ", " +
                                 HourText(s.part_starts[1]) + ", " + HourText(s.part_starts[2]));
  std::string percentiles;
  for (const int n : s.percentiles) {
    percentiles += (percentiles.empty() ? "" : ", ") + PercentileName(n);
  }
  add("Percentiles", percentiles);
  add("Threshold", s.threshold ? OneDecimal(s.threshold) + " dB, events of at least " +
                                     Whole(s.min_duration) + " s, hold " + Whole(s.hold) + " s"
                               : "none: no events");
  add("Rolling Leq", "over " + Whole(s.rolling) + " s");
  const std::size_t left_out = s.exclusions.size();
  add("Exclusions", left_out == 0 ? std::string("none")
                    : left_out == 1
                        ? std::string("1 stretch left out")
                        : Whole(static_cast<std::int64_t>(left_out)) + " stretches left out");
  return t;
}

}  // namespace slm
