#include "assessment/assessment_tables.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "assessment/assessment_output.h"
#include "base/calendar.h"
#include "files/list_summary.h"

namespace slm {

namespace {

std::string Whole(std::int64_t n) { return std::to_string(n); }
std::string Level(std::optional<double> value) { return value ? OneDecimal(value) : "missing"; }
std::string Said(const std::string& text) { return text.empty() ? "-" : text; }
std::string HourText(int hour) { return (hour < 10 ? "0" : "") + Whole(hour) + ":00"; }
std::string PercentileName(int n) { return "L" + Whole(n); }

}  // namespace

TextTable FilesTable(const std::vector<AssessedFile>& files) {
  TextTable t{{"File", "Kind", "Records", "Frequency weighting", "Time weighting", "Range"}, {}};
  for (const AssessedFile& f : files) {
    const bool plain = f.header.kind == ListKind::kPlain;
    // A set that did not arrive whole says so wherever it is assessed.
    std::string kind(KindName(f.header.kind));
    if (f.header.note.rfind("incomplete", 0) == 0) kind += " (" + f.header.note + ")";
    t.rows.push_back({f.path, kind, Whole(static_cast<std::int64_t>(f.records)),
                      plain ? "-" : Said(f.header.frequency_weighting),
                      plain ? "-" : Said(f.header.time_weighting),
                      plain ? "-" : Said(f.header.range)});
  }
  return t;
}

TextTable SettingsTable(const AssessmentSettings& s) {
  TextTable t{{"Setting", "Value"}, {}};
  t.rows.push_back({"Intervals", Whole(s.interval) + " s from midnight"});
  t.rows.push_back({"Day, evening, night", "from " + HourText(s.part_starts[0]) + ", " +
                                               HourText(s.part_starts[1]) + ", " +
                                               HourText(s.part_starts[2])});
  std::string percentiles;
  for (const int n : s.percentiles) {
    percentiles += (percentiles.empty() ? "" : ", ") + PercentileName(n);
  }
  t.rows.push_back({"Percentiles", percentiles});
  t.rows.push_back(
      {"Threshold", s.threshold ? OneDecimal(s.threshold) + " dB, events of at least " +
                                      Whole(s.min_duration) + " s, hold " + Whole(s.hold) + " s"
                                : "none: no events"});
  t.rows.push_back({"Rolling Leq", "over " + Whole(s.rolling) + " s"});
  const std::size_t left_out = s.exclusions.size();
  t.rows.push_back({"Exclusions", left_out == 0   ? std::string("none")
                                  : left_out == 1 ? std::string("1 stretch left out")
                                                  : Whole(static_cast<std::int64_t>(left_out)) +
                                                        " stretches left out"});
  return t;
}

TextTable TotalsTable(const Assessment& a, const AssessmentSettings& settings) {
  const LevelSummary& s = a.total;
  TextTable t{{"Total", "Value"}, {}};
  t.rows.push_back({"Measured", ClockText(a.start) + " to " + ClockText(a.end)});
  t.rows.push_back({"Sample period", Whole(a.period) + " s"});
  t.rows.push_back({"Records", Whole(s.count) + " counted, " + Whole(a.paused) + " paused, " +
                                   Whole(a.excluded) + " excluded"});
  if (s.under_range + s.over_range > 0) {
    t.rows.push_back({"Out of range", Whole(s.under_range) + " under range taken as 25.0 dB, " +
                                          Whole(s.over_range) + " over range taken as 145.0 dB"});
  }
  t.rows.push_back({"Leq", OneDecimal(s.Leq()) + " dB"});
  t.rows.push_back({"Lmax", OneDecimal(s.lmax) + " dB at " + ClockText(s.lmax_time)});
  t.rows.push_back({"Lmin", OneDecimal(s.lmin) + " dB"});
  t.rows.push_back({"SEL", OneDecimal(s.Sel(a.period)) + " dB"});
  for (std::size_t i = 0; i < settings.percentiles.size() && i < s.percentiles.size(); ++i) {
    t.rows.push_back(
        {PercentileName(settings.percentiles[i]), OneDecimal(s.percentiles[i]) + " dB"});
  }
  if (a.events_assessed) {
    t.rows.push_back({"Events", Whole(static_cast<std::int64_t>(a.events.size())) +
                                    " at or above " + OneDecimal(settings.threshold) + " dB, " +
                                    Whole(a.seconds_above) + " s above"});
  }
  t.rows.push_back({"Worst rolling Leq",
                    a.rolling_max
                        ? OneDecimal(a.rolling_max) + " dB over " + Whole(settings.rolling) +
                              " s, ending with the record at " + ClockText(a.rolling_time)
                        : "none: no window of " + Whole(settings.rolling) + " s"});
  return t;
}

TextTable DaysTable(const Assessment& a) {
  TextTable t{{"Date", "Lday", "cover %", "Levening", "cover %", "Lnight", "cover %", "Lden"}, {}};
  for (const DayLevels& day : a.days) {
    std::vector<std::string> row = {DateText(day.date)};
    for (const PartLevels& part : day.parts) {
      row.push_back(Level(part.Leq()));
      row.push_back(OneDecimal(part.coverage));
    }
    row.push_back(Level(day.lden));
    t.rows.push_back(std::move(row));
  }
  return t;
}

TextTable IntervalsTable(const Assessment& a, const AssessmentSettings& settings) {
  const bool ranges = a.total.under_range + a.total.over_range > 0;
  TextTable t{{"Start", "Records", "cover %", "Leq", "Lmax", "Lmax time", "Lmin", "SEL"}, {}};
  if (ranges) t.header.insert(t.header.end(), {"under", "over"});
  for (const int n : settings.percentiles) t.header.push_back(PercentileName(n));
  for (const IntervalLevels& row : a.intervals) {
    const LevelSummary& s = row.levels;
    std::vector<std::string> cells = {ClockText(row.start),     Whole(s.count),
                                      OneDecimal(row.coverage), OneDecimal(s.Leq()),
                                      OneDecimal(s.lmax),       ClockText(s.lmax_time),
                                      OneDecimal(s.lmin),       OneDecimal(s.Sel(a.period))};
    if (ranges) cells.insert(cells.end(), {Whole(s.under_range), Whole(s.over_range)});
    for (const double level : s.percentiles) cells.push_back(OneDecimal(level));
    t.rows.push_back(std::move(cells));
  }
  return t;
}

TextTable EventsTable(const Assessment& a) {
  TextTable t{{"No.", "Start", "End", "Seconds", "Lmax", "Lmax time", "Leq", "SEL"}, {}};
  for (std::size_t i = 0; i < a.events.size(); ++i) {
    const ExceedanceEvent& e = a.events[i];
    t.rows.push_back({Whole(static_cast<std::int64_t>(i + 1)), ClockText(e.start), ClockText(e.end),
                      Whole(e.end - e.start), OneDecimal(e.lmax), ClockText(e.lmax_time),
                      OneDecimal(e.Leq()), OneDecimal(e.Sel(a.period))});
  }
  return t;
}

TextTable ExclusionsTable(const AssessmentSettings& settings) {
  std::vector<Exclusion> sorted = settings.exclusions;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Exclusion& x, const Exclusion& y) { return x.from < y.from; });
  TextTable t{{"From", "To", "Seconds", "Reason"}, {}};
  for (const Exclusion& e : sorted) {
    t.rows.push_back({ClockText(e.from), ClockText(e.to), Whole(e.to - e.from), Said(e.reason)});
  }
  return t;
}

}  // namespace slm
