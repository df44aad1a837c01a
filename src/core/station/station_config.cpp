#include "station/station_config.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <stdexcept>

#include "base/number_text.h"
#include "base/text_excerpt.h"
#include "files/file_io.h"

namespace slm {

namespace {

constexpr std::array<std::string_view, 12> kOptionKeys = {
    "port",      "dir",          "period", "interval", "windows", "periods",
    "threshold", "min-duration", "hold",   "listen",   "reserve", "flush"};
constexpr std::array<std::string_view, 8> kAlarmKeys = {
    "kind", "limit", "window", "between", "hysteresis", "coverage", "command", "command-interval"};

template <std::size_t N>
bool OneOf(const std::array<std::string_view, N>& keys, std::string_view key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// The line without its comment: "#" at its start or after a blank.
std::string_view WithoutComment(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
      return line.substr(0, i);
    }
  }
  return line;
}

bool IsRuleName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
  });
}

// "7:00" or "23:30" as minutes of the day; "24:00" only as an end.
std::optional<int> MinuteOfDay(std::string_view text, bool end) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3) {
    return std::nullopt;
  }
  const std::string_view digits = "0123456789";
  if (text.substr(0, colon).find_first_not_of(digits) != std::string_view::npos ||
      text.substr(colon + 1).find_first_not_of(digits) != std::string_view::npos) {
    return std::nullopt;
  }
  const auto hours = static_cast<int>(*ParseInteger(text.substr(0, colon)));
  const auto minutes = static_cast<int>(*ParseInteger(text.substr(colon + 1)));
  if (minutes > 59 || hours > 24 || (hours == 24 && (!end || minutes > 0))) return std::nullopt;
  return hours * 60 + minutes;
}

struct Section {
  AlarmRule rule;
  std::size_t line = 0;                                  // of its heading
  std::map<std::string, std::size_t, std::less<>> keys;  // given, with their lines
};

class Parser {
 public:
  explicit Parser(const std::string& file_name) : file_name_(file_name) {}

  StationConfig Parse(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a UTF-8 mark
    std::size_t line_number = 0;
    for (std::size_t start = 0; start <= text.size();) {
      const std::size_t end = std::min(text.find('\n', start), text.size());
      std::string_view line = text.substr(start, end - start);
      start = end + 1;
      ++line_number;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      line = Trimmed(WithoutComment(line));
      if (line.empty()) continue;
      if (line.front() == '[') {
        Heading(line_number, line);
        continue;
      }
      const std::size_t equals = line.find('=');
      if (equals == std::string_view::npos) {
        Fail(line_number, QuotedExcerpt(line) + " is no \"key = value\" line");
      }
      const std::string_view key = Trimmed(line.substr(0, equals));
      const std::string_view value = Trimmed(line.substr(equals + 1));
      if (section_) {
        AlarmKey(line_number, key, value);
      } else {
        Option(line_number, key, value);
      }
    }
    Close();
    return std::move(config_);
  }

 private:
  [[noreturn]] void Fail(std::size_t line, const std::string& problem) const {
    throw std::runtime_error(file_name_ + " line " + std::to_string(line) + ": " + problem);
  }

  void Heading(std::size_t line, std::string_view text) {
    Close();
    const std::string_view inside =
        text.back() == ']' ? Trimmed(text.substr(1, text.size() - 2)) : std::string_view{};
    const std::string_view name =
        inside.substr(0, 6) == "alarm " ? Trimmed(inside.substr(6)) : std::string_view{};
    if (name.empty()) {
      Fail(line, QuotedExcerpt(text) + " is no section this file knows: write [alarm NAME]");
    }
    if (!IsRuleName(name)) {
      Fail(line, "the alarm name " + QuotedExcerpt(name) +
                     " may hold only letters, digits, \"-\" and \"_\"");
    }
    const auto [it, added] = rule_lines_.emplace(std::string(name), line);
    if (!added) {
      Fail(line, "there is another alarm " + it->first + " on line " + std::to_string(it->second));
    }
    section_.emplace();
    section_->rule.name = std::string(name);
    section_->line = line;
  }

  void Option(std::size_t line, std::string_view key, std::string_view value) {
    if (!OneOf(kOptionKeys, key)) {
      Fail(line, "unknown option " + QuotedExcerpt(key) +
                     (OneOf(kAlarmKeys, key) ? ": an alarm's keys go under its [alarm NAME]" : ""));
    }
    const auto [it, added] = option_lines_.emplace(std::string(key), line);
    if (!added) {
      Fail(line, it->first + " is given twice, first on line " + std::to_string(it->second));
    }
    if (value.empty()) Fail(line, std::string(key) + " has no value");
    config_.options.emplace_back(key, value);
  }

  void AlarmKey(std::size_t line, std::string_view key, std::string_view value) {
    AlarmRule& rule = section_->rule;
    const std::string where = " in [alarm " + rule.name + "]";
    if (!OneOf(kAlarmKeys, key)) {
      Fail(line,
           "unknown key " + QuotedExcerpt(key) + where +
               (OneOf(kOptionKeys, key) ? ": the station's options go before the first [alarm NAME]"
                                        : ""));
    }
    const auto [it, added] = section_->keys.emplace(std::string(key), line);
    if (!added) {
      Fail(line,
           it->first + " is given twice" + where + ", first on line " + std::to_string(it->second));
    }
    if (value.empty()) Fail(line, std::string(key) + " has no value");
    auto bad = [&](const std::string& what) {
      Fail(line, std::string(key) + " " + QuotedExcerpt(value) + " is no " + what);
    };
    const std::optional<double> number = ParseNumber(value);
    const std::optional<long long> whole = ParseInteger(value);
    if (key == "kind") {
      if (value == "leq") {
        rule.kind = AlarmKind::kLeq;
      } else if (value == "level") {
        rule.kind = AlarmKind::kLevel;
      } else if (value == "meter-lost") {
        rule.kind = AlarmKind::kMeterLost;
      } else {
        bad("kind of alarm: write leq, level or meter-lost");
      }
    } else if (key == "limit") {
      if (!number) bad("level: write the dB as a number, such as 65");
      rule.limit = *number;
    } else if (key == "window") {
      if (!whole || *whole <= 0) bad("whole number of seconds above 0");
      rule.window = *whole;
    } else if (key == "between") {
      const std::size_t dash = value.find('-');
      const std::optional<int> from = dash == std::string_view::npos
                                          ? std::nullopt
                                          : MinuteOfDay(Trimmed(value.substr(0, dash)), false);
      const std::optional<int> to = dash == std::string_view::npos
                                        ? std::nullopt
                                        : MinuteOfDay(Trimmed(value.substr(dash + 1)), true);
      if (!from || !to) bad("span of hours: write HH:MM-HH:MM, such as 23:00-07:00");
      if (*from == *to) Fail(line, "between " + QuotedExcerpt(value) + " ends where it starts");
      rule.between = std::pair(*from, *to);
    } else if (key == "hysteresis") {
      if (!number || *number < 0) bad("number of dB of 0 or more");
      rule.hysteresis = *number;
    } else if (key == "coverage") {
      if (!number || *number <= 0 || *number > 100) bad("percentage above 0 and up to 100");
      rule.coverage = *number;
    } else if (key == "command") {
      rule.command = std::string(value);
    } else {  // command-interval
      if (!whole || *whole < 0) bad("whole number of seconds of 0 or more");
      rule.command_interval = *whole;
    }
  }

  // Ends the alarm section being read, if any.
  void Close() {
    if (!section_) return;
    Section& s = *section_;
    const AlarmKind kind = s.rule.kind;
    if (kind != AlarmKind::kMeterLost && !s.keys.contains("limit")) {
      Fail(s.line, "alarm " + s.rule.name + " has no limit");
    }
    const char* kind_name = kind == AlarmKind::kMeterLost ? "meter-lost" : "level";
    for (const std::string_view key : {"limit", "hysteresis", "coverage"}) {
      const bool applies =
          kind == AlarmKind::kLeq || (kind == AlarmKind::kLevel && key != "coverage");
      const auto it = s.keys.find(key);
      if (!applies && it != s.keys.end()) {
        Fail(it->second, std::string(key) + " does not apply to a " + kind_name + " alarm");
      }
    }
    config_.alarms.push_back(std::move(s.rule));
    section_.reset();
  }

  std::string file_name_;
  StationConfig config_;
  std::optional<Section> section_;
  std::map<std::string, std::size_t, std::less<>> option_lines_;  // given, with their lines
  std::map<std::string, std::size_t, std::less<>> rule_lines_;    // names, with their lines
};

}  // namespace

StationConfig ParseStationConfig(std::string_view text, const std::string& file_name) {
  return Parser(file_name).Parse(text);
}

StationConfig ReadStationConfig(const std::string& path) {
  const std::string text = ReadWholeFile(path);
  return ParseStationConfig(text, AbsolutePath(path));
}

}  // namespace slm
