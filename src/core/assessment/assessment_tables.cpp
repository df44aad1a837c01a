#include "assessment/assessment_tables.h"

#include <algorithm>
#include <cctype>
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

std::string FlagOf(bool under, bool over) {
  if (under && over) return std::string(kUnderFlag) + "+" + kOverFlag;
  return over ? kOverFlag : under ? kUnderFlag : "";
}

Cell Flagged(Cell cell, std::string flag) {
  cell.flag = std::move(flag);
  return cell;
}

// Leq, Lmax and its time, Lmin and SEL, then LN, each under `group` in
// JSON ("total.leq"; the percentiles under "percentiles" of the group).
void AddLevelColumns(std::vector<Column>& columns, const std::string& group,
                     const AssessmentSettings& settings, const Descriptors& names) {
  const std::string at = group.empty() ? "" : group + ".";
  columns.push_back(Decibel(names.Leq(), "leq", at + "leq"));
  columns.push_back(Decibel(names.Lmax(), "lmax", at + "lmax"));
  columns.push_back(Time(names.Lmax() + " time", "lmax_time", at + "lmax_time"));
  columns.push_back(Decibel(names.Lmin(), "lmin", at + "lmin"));
  columns.push_back(Decibel(names.Sel(), "sel", at + "sel"));
  for (const int n : settings.percentiles) {
    columns.push_back(
        Decibel(names.LN(n), PercentileName(n), at + "percentiles." + PercentileName(n)));
  }
}

// The cells of AddLevelColumns; none without a counted record. A figure
// that counted records out of range carries their flag.
void AddLevels(std::vector<Cell>& row, const LevelSummary& s, const AssessmentSettings& settings) {
  if (s.count == 0) {
    row.resize(row.size() + 5 + settings.percentiles.size());
    return;
  }
  const bool under = s.under_range > 0;
  const bool over = s.over_range > 0;
  row.insert(row.end(), {Flagged(Level(s.Leq()), FlagOf(under, over)),
                         Flagged(Level(s.lmax), FlagOf(false, over)), Number(s.lmax_time),
                         Flagged(Level(s.lmin), FlagOf(under, false)),
                         Flagged(Level(s.Sel()), FlagOf(under, over))});
  for (const double level : s.percentiles) {
    row.push_back(Flagged(Level(level), FlagOf(under && level <= 25.0, over && level >= 145.0)));
  }
}

std::string Periods(const std::vector<std::int64_t>& periods) {
  std::string text;
  for (std::size_t i = 0; i < periods.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == periods.size() ? " and " : ", ") + Whole(periods[i]) + " s";
  }
  return text;
}

FigureTable Totals(const Assessment& a, const AssessmentSettings& settings,
                   const Descriptors& names) {
  const LevelSummary& s = a.total;
  FigureTable t{"totals", "Totals", {}, {}};
  t.columns = {Count("Sample period", "period", "s"),
               Time("Measured from", "start", "total.start"),
               Time("Measured to", "end", "total.end"),
               Count("Records counted", "count", "", "total.count"),
               Count("Time counted", "seconds", "s", "total.seconds"),
               Count("Records paused", "paused", "", "total.paused"),
               Count("Records excluded", "excluded", "", "excluded.records"),
               Count("Under range, taken as 25.0 dB", "under_range", "", "total.under_range"),
               Count("Over range, taken as 145.0 dB", "over_range", "", "total.over_range")};
  AddLevelColumns(t.columns, "total", settings, names);
  Column rolling_max = Decibel("Worst rolling " + names.Leq(), "rolling_max", "rolling.max");
  Column rolling_time = Time("Worst rolling window's last record", "rolling_time", "rolling.time");
  Column rolling_cover =
      Percent("Worst rolling window covered", "rolling_coverage", "rolling.coverage");
  rolling_max.missing = rolling_time.missing = rolling_cover.missing = "none";
  t.columns.insert(
      t.columns.end(),
      {Count("Rolling window", "rolling_window", "s", "rolling.window"),
       Percent("Rolling windows covered at least", "rolling_min_coverage", "rolling.min_coverage"),
       std::move(rolling_max), std::move(rolling_time), std::move(rolling_cover)});
  std::vector<Cell> row = {Number(a.period)};
  if (s.count > 0) {
    row.insert(row.end(), {Number(a.start), Number(a.end)});
  } else {
    row.resize(3);
  }
  row.insert(row.end(), {Number(s.count), Number(s.seconds), Number(a.paused), Number(a.excluded),
                         Number(s.under_range), Number(s.over_range)});
  AddLevels(row, s, settings);
  row.insert(row.end(),
             {Number(settings.rolling), Level(settings.rolling_coverage),
              Flagged(Maybe(a.rolling_max),
                      a.rolling_max ? FlagOf(a.rolling_under_range, a.rolling_over_range) : ""),
              a.rolling_max ? Number(a.rolling_time) : Cell{},
              a.rolling_max ? Level(a.rolling_coverage) : Cell{}});
  if (a.periods.size() > 1) {
    t.columns.insert(t.columns.begin() + 1, Words("Sample periods", "periods"));
    row.insert(row.begin() + 1, Text(Periods(a.periods)));
  }
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

std::string EmptyText(EmptyReason reason) {
  switch (reason) {
    case EmptyReason::kNoData:
      return "no data";
    case EmptyReason::kPaused:
      return "paused";
    case EmptyReason::kExcluded:
      return "excluded";
    default:
      return {};
  }
}

FigureTable Intervals(const Assessment& a, const AssessmentSettings& settings,
                      const Descriptors& names) {
  FigureTable t{"intervals", "Intervals of " + Whole(settings.interval) + " s", {}, {}};
  t.columns = {Time("Start", "start"), Count("Records", "count"), Percent("cover", "coverage"),
               Count("under", "under_range"), Count("over", "over_range")};
  AddLevelColumns(t.columns, "", settings, names);
  t.columns.push_back(Words("Note", "note"));
  t.columns.back().missing = "";
  t.rows.reserve(a.intervals.size());
  for (const IntervalLevels& interval : a.intervals) {
    const LevelSummary& s = interval.levels;
    std::vector<Cell> row;
    row.reserve(t.columns.size());
    row.insert(row.end(), {Number(interval.start), Number(s.count), Level(interval.coverage),
                           Number(s.under_range), Number(s.over_range)});
    AddLevels(row, s, settings);
    row.push_back(Text(EmptyText(interval.Empty())));
    t.rows.push_back(std::move(row));
  }
  return t;
}

std::string CoverageRule(const AssessmentSettings& settings) {
  return "a part of the day covered less than " + OneDecimal(settings.min_coverage) +
         " % has no level, and its day no Lden";
}

Cell PartCell(const PartLevels& part) {
  if (part.count > 0 && !part.enough) return Flagged(Cell{}, kLowCoverFlag);
  return Flagged(Maybe(part.Level()),
                 part.Level() ? FlagOf(part.under_range > 0, part.over_range > 0) : "");
}

FigureTable Days(const Assessment& a, const AssessmentSettings& settings) {
  const std::array<int, 3>& s = settings.part_starts;
  FigureTable t{"days",
                "Days (day from " + HourText(s[0]) + ", evening from " + HourText(s[1]) +
                    ", night from " + HourText(s[2]) + "; " + CoverageRule(settings) + ")",
                {},
                {}};
  t.columns = {{"Date", "", "date", Format::kDate}};
  for (const char* part : {"day", "evening", "night"}) {
    const std::string name(part);
    t.columns.push_back(Decibel("L" + name, "l" + name));
    t.columns.push_back(Percent(name + " cover", name + "_coverage", "coverage." + name));
  }
  t.columns.push_back(Decibel("Lden", "lden"));
  for (const DayLevels& day : a.days) {
    std::vector<Cell> row = {Number(day.date)};
    bool under = false;
    bool over = false;
    for (const PartLevels& part : day.parts) {
      row.push_back(PartCell(part));
      row.push_back(Level(part.coverage));
      under = under || part.under_range > 0;
      over = over || part.over_range > 0;
    }
    row.push_back(Flagged(Maybe(day.lden), day.lden ? FlagOf(under, over) : ""));
    t.rows.push_back(std::move(row));
  }
  return t;
}

// Months ("2025/01") or years ("2025"): the energetic means of the days'
// part levels and the days each counts.
FigureTable PeriodTable(const std::vector<PeriodLevels>& periods, bool months) {
  FigureTable t{months ? "months" : "years",
                months ? "Months (energetic means over the days with a level)"
                       : "Years (energetic means over the days with a level)",
                {Words(months ? "Month" : "Year", months ? "month" : "year")},
                {}};
  for (const char* part : {"day", "evening", "night"}) {
    const std::string name(part);
    t.columns.push_back(Decibel("L" + name, "l" + name));
    t.columns.push_back(Count(name + " days", name + "_days", "", "days." + name));
  }
  t.columns.push_back(Decibel("Lden", "lden"));
  for (const PeriodLevels& p : periods) {
    const DateTime d = DateTimeOfSeconds(p.start);
    std::string name = Whole(d.year);
    if (months) name += (d.month < 10 ? "/0" : "/") + Whole(d.month);
    const std::string flag = FlagOf(p.under_range, p.over_range);
    std::vector<Cell> row = {Text(name)};
    for (std::size_t k = 0; k < 3; ++k) {
      row.push_back(Flagged(Maybe(p.levels[k]), p.levels[k] ? flag : ""));
      row.push_back(Number(p.days[k]));
    }
    row.push_back(Flagged(Maybe(p.lden), p.lden ? flag : ""));
    t.rows.push_back(std::move(row));
  }
  return t;
}

FigureTable Events(const Assessment& a, const AssessmentSettings& settings,
                   const Descriptors& names) {
  FigureTable t{"events",
                a.events_assessed
                    ? "Events at or above " + OneDecimal(settings.threshold) + " dB (at least " +
                          Whole(settings.min_duration) + " s, hold " + Whole(settings.hold) + " s)"
                    : "Events",
                {Count("No.", "number"), Time("Start", "start"), Time("End", "end"),
                 Count("Duration", "duration", "s"), Decibel(names.Lmax(), "lmax"),
                 Time(names.Lmax() + " time", "lmax_time"), Decibel(names.Leq(), "leq"),
                 Decibel(names.Sel(), "sel")},
                {}};
  for (std::size_t i = 0; i < a.events.size(); ++i) {
    const ExceedanceEvent& e = a.events[i];
    const std::string over = FlagOf(false, e.over_range > 0);
    t.rows.push_back({Number(static_cast<std::int64_t>(i + 1)), Number(e.start), Number(e.end),
                      Number(e.end - e.start), Flagged(Level(e.lmax), over), Number(e.lmax_time),
                      Flagged(Level(e.Leq()), over), Flagged(Level(e.Sel()), over)});
  }
  return t;
}

// The tones at the start and the end, their levels, the drift and whether it
// passes: one row, or none when the check was not made.
FigureTable CalibrationTable(const AssessedLists& lists) {
  FigureTable t{"calibration", "Calibration check", {}, {}};
  if (!lists.calibration) return t;
  const CalibrationCheck& c = *lists.calibration;
  std::vector<Cell> row;
  for (const auto& [tone, name] :
       {std::pair{&c.start, std::string("start")}, std::pair{&c.end, std::string("end")}}) {
    const std::string caption = name == "start" ? "Tone at the start" : "Tone at the end";
    Column from = Time(caption + " from", name + "_from", "calibration." + name + ".from");
    Column to = Time(caption + " to", name + "_to", "calibration." + name + ".to");
    Column level = Decibel(caption, name + "_level", "calibration." + name + ".level");
    from.missing = to.missing = level.missing = "not found";
    t.columns.insert(t.columns.end(), {std::move(level), std::move(from), std::move(to)});
    if (*tone) {
      row.insert(row.end(), {Level((*tone)->level), Number((*tone)->from), Number((*tone)->to)});
    } else {
      row.resize(row.size() + 3);
    }
  }
  Column drift = Decibel("Drift", "drift", "calibration.drift");
  drift.missing = "not known";
  t.columns.push_back(std::move(drift));
  t.columns.push_back(Decibel("Drift limit", "drift_limit", "calibration.drift_limit"));
  t.columns.push_back(Words("Within the limit", "within"));
  t.columns.back().json = "calibration.within";
  row.push_back(Maybe(c.drift));
  row.push_back(Level(lists.calibration_settings.drift_limit));
  row.push_back(c.drift ? Text(c.within ? "yes" : "no") : Cell{});
  t.rows.push_back(std::move(row));
  return t;
}

// True when a cell's flag is `flag` or holds it joined with another by "+".
bool AnyFlag(const FigureTable& table, std::string_view flag) {
  for (const std::vector<Cell>& row : table.rows) {
    for (const Cell& cell : row) {
      const std::string_view f = cell.flag;
      for (std::size_t at = 0; at <= f.size();) {
        const std::size_t plus = std::min(f.find('+', at), f.size());
        if (f.substr(at, plus - at) == flag) return true;
        at = plus + 1;
      }
    }
  }
  return false;
}

std::string Plural(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::vector<std::string> Notes(const AssessmentTables& t, const AssessmentSettings& settings,
                               const AssessedLists& lists) {
  std::vector<std::string> notes;
  if (lists.calibration) {
    notes.push_back(CalibrationText(*lists.calibration, lists.calibration_settings));
  }
  if (!lists.mixed.empty()) {
    notes.push_back("Files measured differently are assessed together, as asked: " + lists.mixed +
                    ".");
  }
  for (const ClockSetBack& back : lists.set_back) {
    notes.push_back("The clock was set back in \"" + back.name +
                    "\": " + Plural(back.records, "record is", "records are") +
                    " earlier than the record before them; all are taken in time order.");
  }
  notes.push_back(
      "LN is the level exceeded for N % of the counted time: the lowest counted "
      "level such that the time above it is at most N % of it, each record weighing "
      "its own sample period. (The list windows' L(N) is another convention: the 0.1 dB class "
      "statistic of the meter's own reports.)");
  notes.push_back("The worst rolling " + lists.names.Leq() + " counts windows of " +
                  Whole(settings.rolling) +
                  " s from the first counted record whose records "
                  "cover at least " +
                  OneDecimal(settings.rolling_coverage) + " % of them.");
  std::string rule = CoverageRule(settings);
  rule[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(rule[0])));
  notes.push_back(rule + " (\"" + kLowCoverFlag + "\").");
  bool over = false;
  bool under = false;
  for (const FigureTable* table :
       {&t.totals, &t.intervals, &t.days, &t.months, &t.years, &t.events}) {
    over = over || AnyFlag(*table, kOverFlag);
    under = under || AnyFlag(*table, kUnderFlag);
  }
  if (over) {
    notes.push_back(std::string("\"") + kOverFlag +
                    "\": the figure counts records over the "
                    "meter's range as 145.0 dB: the true level was higher.");
  }
  if (under) {
    notes.push_back(std::string("\"") + kUnderFlag +
                    "\": the figure counts records under the "
                    "meter's range (\"--\") as 25.0 dB: the true level was lower.");
  }
  return notes;
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
  for (const FigureTable* table :
       {&totals, &intervals, &days, &months, &years, &events, &exclusions, &calibration}) {
    if (table->key == key) return table;
  }
  return nullptr;
}

AssessmentTables BuildTables(const Assessment& a, const AssessmentSettings& settings,
                             const AssessedLists& lists) {
  AssessmentTables t{Totals(a, settings, lists.names),
                     Intervals(a, settings, lists.names),
                     Days(a, settings),
                     PeriodTable(a.months, true),
                     PeriodTable(a.years, false),
                     Events(a, settings, lists.names),
                     ExclusionsTable(settings.exclusions),
                     CalibrationTable(lists),
                     a.events_assessed,
                     {}};
  t.notes = Notes(t, settings, lists);
  return t;
}

FigureTable ExclusionsTable(const std::vector<Exclusion>& exclusions) {
  std::vector<Exclusion> sorted = exclusions;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Exclusion& x, const Exclusion& y) { return x.from < y.from; });
  FigureTable t{"exclusions",
                "Stretches left out",
                {Time("From", "from"), Time("To", "to"), Count("Duration", "duration", "s"),
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
    // The unit goes with the value, the flag after both.
    const bool missing = std::holds_alternative<std::monostate>(cell.value);
    std::string value = missing && !cell.flag.empty() ? cell.flag : ShownText(column, {cell.value});
    if (!missing && !column.unit.empty()) value += " " + column.unit;
    if (!missing && !cell.flag.empty()) value += " " + cell.flag;
    t.rows.push_back({Text(column.caption), Text(std::move(value))});
  }
  return t;
}

FigureTable SummaryTable(const AssessmentTables& tables) {
  FigureTable t = ByFigure(tables.totals);
  const FigureTable calibration = ByFigure(tables.calibration);
  t.rows.insert(t.rows.end(), calibration.rows.begin(), calibration.rows.end());
  for (const std::string& note : tables.notes) t.rows.push_back({Text("Note"), Text(note)});
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
  add("Rolling Leq", "over " + Whole(s.rolling) + " s, windows covered at least " +
                         OneDecimal(s.rolling_coverage) + " %");
  add("Day parts", "a level where covered at least " + OneDecimal(s.min_coverage) + " %");
  const std::size_t left_out = s.exclusions.size();
  add("Exclusions", left_out == 0 ? std::string("none")
                    : left_out == 1
                        ? std::string("1 stretch left out")
                        : Whole(static_cast<std::int64_t>(left_out)) + " stretches left out");
  return t;
}

}  // namespace slm
