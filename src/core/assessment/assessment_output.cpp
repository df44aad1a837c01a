#include "assessment/assessment_output.h"

#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/calendar.h"
#include "files/csv_fields.h"

namespace slm {

namespace {

std::string Whole(std::int64_t n) { return std::to_string(n); }

std::optional<double> LeqIf(const LevelSummary& s) {
  return s.count > 0 ? std::optional<double>(s.Leq()) : std::nullopt;
}

std::string PercentileName(int n) { return "L" + Whole(n); }

// ---- JSON -----------------------------------------------------------------

// Appends "key": value pairs to an object, commas between them.
class JsonObject {
 public:
  explicit JsonObject(std::string& out) : out_(out) { out_ += '{'; }
  ~JsonObject() { out_ += '}'; }
  JsonObject& Raw(std::string_view key, std::string_view value) {
    if (!first_) out_ += ", ";
    first_ = false;
    out_ += '"';
    out_ += key;
    out_ += "\": ";
    out_ += value;
    return *this;
  }
  JsonObject& Level(std::string_view key, std::optional<double> value) {
    return Raw(key, value ? OneDecimal(value) : "null");
  }
  JsonObject& Time(std::string_view key, std::optional<std::int64_t> seconds) {
    return Raw(key, seconds ? "\"" + ClockText(*seconds) + "\"" : "null");
  }
  JsonObject& Number(std::string_view key, std::int64_t n) { return Raw(key, Whole(n)); }

 private:
  std::string& out_;
  bool first_ = true;
};

std::string JsonPercentiles(const LevelSummary& s, const AssessmentSettings& settings) {
  std::string out;
  JsonObject object(out);
  for (std::size_t i = 0; i < settings.percentiles.size(); ++i) {
    object.Level(PercentileName(settings.percentiles[i]),
                 s.count > 0 ? std::optional<double>(s.percentiles[i]) : std::nullopt);
  }
  return out;
}

// The levels every stretch has, after its own keys; `coverage` for an
// interval, `paused` for the total.
void JsonLevels(JsonObject& o, const LevelSummary& s, std::int64_t period,
                const AssessmentSettings& settings, std::optional<double> coverage,
                std::optional<std::int64_t> paused) {
  const bool counted = s.count > 0;
  o.Number("count", s.count);
  if (coverage) o.Level("coverage", coverage);
  if (paused) o.Number("paused", *paused);
  o.Number("under_range", s.under_range)
      .Number("over_range", s.over_range)
      .Level("leq", LeqIf(s))
      .Level("lmax", counted ? std::optional<double>(s.lmax) : std::nullopt)
      .Time("lmax_time", counted ? std::optional<std::int64_t>(s.lmax_time) : std::nullopt)
      .Level("lmin", counted ? std::optional<double>(s.lmin) : std::nullopt)
      .Level("sel", counted ? std::optional<double>(s.Sel(period)) : std::nullopt)
      .Raw("percentiles", JsonPercentiles(s, settings));
}

template <typename T, typename Fn>
std::string JsonArray(const std::vector<T>& items, Fn&& one) {
  if (items.empty()) return "[]";
  std::string out = "[\n";
  for (std::size_t i = 0; i < items.size(); ++i) {
    out += "    ";
    one(out, items[i]);
    out += i + 1 < items.size() ? ",\n" : "\n";
  }
  return out + "  ]";
}

// ---- text -----------------------------------------------------------------

// `text` right-aligned in `width` characters, after a blank.
void Cell(std::string& line, std::string_view text, std::size_t width) {
  line += ' ';
  if (text.size() < width) line.append(width - text.size(), ' ');
  line += text;
}

std::string Dash(std::string text) { return text.empty() ? "-" : text; }

std::string HourText(int hour) { return (hour < 10 ? "0" : "") + Whole(hour) + ":00"; }

void TextTotal(std::string& out, const Assessment& a, const AssessmentSettings& settings) {
  const LevelSummary& t = a.total;
  out += "Sample period  " + Whole(a.period) + " s\n";
  out += "Measured       " + ClockText(a.start) + " to " + ClockText(a.end) + "\n";
  out += "Records        " + Whole(t.count) + " counted, " + Whole(a.paused) + " paused, " +
         Whole(a.excluded) + " excluded\n";
  if (t.under_range + t.over_range > 0) {
    out += "               of the counted, " + Whole(t.under_range) +
           " under range taken as 25.0 dB, " + Whole(t.over_range) +
           " over range taken as 145.0 dB\n";
  }
  out += "Leq            " + OneDecimal(t.Leq()) + " dB\n";
  out += "Lmax           " + OneDecimal(t.lmax) + " dB at " + ClockText(t.lmax_time) + "\n";
  out += "Lmin           " + OneDecimal(t.lmin) + " dB\n";
  out += "SEL            " + OneDecimal(t.Sel(a.period)) + " dB\n";
  out += "Percentiles   ";
  for (std::size_t i = 0; i < settings.percentiles.size(); ++i) {
    out += " " + PercentileName(settings.percentiles[i]) + " " + OneDecimal(t.percentiles[i]);
  }
  out += "\n";
}

void TextIntervals(std::string& out, const Assessment& a, const AssessmentSettings& settings) {
  const bool ranges = a.total.under_range + a.total.over_range > 0;
  std::string head = "\nIntervals of " + Whole(settings.interval) + " s\n";
  std::string line = "              start";
  for (std::string_view caption : {"records", "cover%", "Leq", "Lmax"}) Cell(line, caption, 7);
  Cell(line, "Lmax time", 19);
  for (std::string_view caption : {"Lmin", "SEL"}) Cell(line, caption, 7);
  if (ranges) {
    for (std::string_view caption : {"under", "over"}) Cell(line, caption, 7);
  }
  for (const int n : settings.percentiles) Cell(line, PercentileName(n), 6);
  out += head + line + "\n";
  for (const IntervalLevels& row : a.intervals) {
    const LevelSummary& s = row.levels;
    line = ClockText(row.start);
    Cell(line, Whole(s.count), 7);
    Cell(line, OneDecimal(row.coverage), 7);
    Cell(line, OneDecimal(s.Leq()), 7);
    Cell(line, OneDecimal(s.lmax), 7);
    Cell(line, ClockText(s.lmax_time), 19);
    Cell(line, OneDecimal(s.lmin), 7);
    Cell(line, OneDecimal(s.Sel(a.period)), 7);
    if (ranges) {
      Cell(line, Whole(s.under_range), 7);
      Cell(line, Whole(s.over_range), 7);
    }
    for (const double level : s.percentiles) Cell(line, OneDecimal(level), 6);
    out += line + "\n";
  }
}

void TextDays(std::string& out, const Assessment& a, const AssessmentSettings& settings) {
  const std::array<int, 3>& s = settings.part_starts;
  out += "\nDays (day from " + HourText(s[0]) + ", evening from " + HourText(s[1]) +
         ", night from " + HourText(s[2]) + ")\n";
  std::string line = "      date";
  for (std::string_view caption : {"Lday", "cover%", "Levening", "cover%", "Lnight", "cover%"}) {
    Cell(line, caption, 8);
  }
  Cell(line, "Lden", 7);
  out += line + "\n";
  for (const DayLevels& day : a.days) {
    line = DateText(day.date);
    for (const PartLevels& part : day.parts) {
      Cell(line, Dash(OneDecimal(part.Leq())), 8);
      Cell(line, OneDecimal(part.coverage), 8);
    }
    Cell(line, Dash(OneDecimal(day.lden)), 7);
    out += line + "\n";
  }
}

void TextEvents(std::string& out, const Assessment& a, const AssessmentSettings& settings) {
  if (!a.events_assessed) return;
  out += "\nEvents at or above " + OneDecimal(settings.threshold) + " dB (at least " +
         Whole(settings.min_duration) + " s, hold " + Whole(settings.hold) +
         " s): " + Whole(static_cast<std::int64_t>(a.events.size())) + ", " +
         Whole(a.seconds_above) + " s above\n";
  if (a.events.empty()) return;
  std::string line = "              start";
  Cell(line, "end", 19);
  Cell(line, "seconds", 8);
  Cell(line, "Lmax", 7);
  Cell(line, "Lmax time", 19);
  for (std::string_view caption : {"Leq", "SEL"}) Cell(line, caption, 7);
  out += line + "\n";
  for (const ExceedanceEvent& e : a.events) {
    line = ClockText(e.start);
    Cell(line, ClockText(e.end), 19);
    Cell(line, Whole(e.end - e.start), 8);
    Cell(line, OneDecimal(e.lmax), 7);
    Cell(line, ClockText(e.lmax_time), 19);
    Cell(line, OneDecimal(e.Leq()), 7);
    Cell(line, OneDecimal(e.Sel(a.period)), 7);
    out += line + "\n";
  }
}

}  // namespace

std::string OneDecimal(std::optional<double> value) {
  if (!value) return {};
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, *value, std::chars_format::fixed, 1);
  std::string text(buffer, result.ptr);
  return text == "-0.0" ? "0.0" : text;
}

std::string AssessmentText(const Assessment& a, const AssessmentSettings& settings) {
  std::string out;
  TextTotal(out, a, settings);
  TextIntervals(out, a, settings);
  TextDays(out, a, settings);
  TextEvents(out, a, settings);
  out += "\nRolling Leq over " + Whole(settings.rolling) + " s: ";
  out += a.rolling_max ? "largest " + OneDecimal(a.rolling_max) +
                             " dB, in the window ending with the record at " +
                             ClockText(a.rolling_time) + "\n"
                       : "no window of full length\n";
  return out;
}

std::string AssessmentJson(const Assessment& a, const AssessmentSettings& settings) {
  const bool counted = a.total.count > 0;
  std::string total;
  {
    JsonObject o(total);
    o.Time("start", counted ? std::optional<std::int64_t>(a.start) : std::nullopt)
        .Time("end", counted ? std::optional<std::int64_t>(a.end) : std::nullopt);
    JsonLevels(o, a.total, a.period, settings, std::nullopt, a.paused);
  }
  const std::string intervals = JsonArray(a.intervals, [&](std::string& out, const auto& row) {
    JsonObject o(out);
    o.Time("start", row.start);
    JsonLevels(o, row.levels, a.period, settings, row.coverage, std::nullopt);
  });
  const std::string days = JsonArray(a.days, [](std::string& out, const DayLevels& day) {
    std::string coverage;
    {
      JsonObject c(coverage);
      c.Level("day", day.parts[kDayPart].coverage)
          .Level("evening", day.parts[kEveningPart].coverage)
          .Level("night", day.parts[kNightPart].coverage);
    }
    JsonObject o(out);
    o.Raw("date", "\"" + DateText(day.date) + "\"")
        .Level("lday", day.parts[kDayPart].Leq())
        .Level("levening", day.parts[kEveningPart].Leq())
        .Level("lnight", day.parts[kNightPart].Leq())
        .Level("lden", day.lden)
        .Raw("coverage", coverage);
  });
  std::string events = "null";
  std::string above = "null";
  if (a.events_assessed) {
    events = JsonArray(a.events, [&](std::string& out, const ExceedanceEvent& e) {
      JsonObject o(out);
      o.Time("start", e.start)
          .Time("end", e.end)
          .Number("duration", e.end - e.start)
          .Level("lmax", e.lmax)
          .Time("lmax_time", e.lmax_time)
          .Level("leq", e.Leq())
          .Level("sel", e.Sel(a.period));
    });
    above.clear();
    JsonObject o(above);
    o.Number("seconds", a.seconds_above)
        .Number("events", static_cast<std::int64_t>(a.events.size()));
  }
  std::string rolling;
  {
    JsonObject o(rolling);
    o.Number("window", settings.rolling)
        .Level("max", a.rolling_max)
        .Time("time", a.rolling_max ? std::optional<std::int64_t>(a.rolling_time) : std::nullopt);
  }
  std::string excluded;
  JsonObject(excluded).Number("records", a.excluded);

  return "{\n  \"period\": " + Whole(a.period) + ",\n  \"total\": " + total +
         ",\n  \"intervals\": " + intervals + ",\n  \"days\": " + days +
         ",\n  \"events\": " + events + ",\n  \"above\": " + above +
         ",\n  \"rolling\": " + rolling + ",\n  \"excluded\": " + excluded + "\n}\n";
}

std::string IntervalsCsv(const Assessment& a, const AssessmentSettings& settings) {
  std::vector<std::string> fields = {"start", "count", "under_range", "over_range", "coverage",
                                     "leq",   "lmax",  "lmax_time",   "lmin",       "sel"};
  for (const int n : settings.percentiles) fields.push_back(PercentileName(n));
  auto line = [](std::string& out, const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (i > 0) out += ',';
      AppendField(out, values[i], ',', i == 0);
    }
    out += "\r\n";
  };
  std::string out;
  line(out, fields);
  for (const IntervalLevels& row : a.intervals) {
    const LevelSummary& s = row.levels;
    fields = {ClockText(row.start),       Whole(s.count),           Whole(s.under_range),
              Whole(s.over_range),        OneDecimal(row.coverage), OneDecimal(s.Leq()),
              OneDecimal(s.lmax),         ClockText(s.lmax_time),   OneDecimal(s.lmin),
              OneDecimal(s.Sel(a.period))};
    for (const double level : s.percentiles) fields.push_back(OneDecimal(level));
    line(out, fields);
  }
  return out;
}

}  // namespace slm
