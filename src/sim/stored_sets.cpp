// The sets in the meter's data-logger memory.
//
// Stored-sets text (`ParseSets`, used by `slmtool emulate --sets FILE`):
//
//   # comment lines and blank lines are skipped
//   NUMBER;yyyy/mm/dd hh:nn:ss;INTERVAL;WEIGHTING;TIME WEIGHTING;RANGE;LEVELS
//
// one set per line, fields separated by ';' (blanks around a field are
// ignored):
//   NUMBER          set number 0..65535, each number once
//   start           the meter's clock when the set began
//   INTERVAL        seconds between records, 1..255 (the set reply carries
//                   one digit, so 1..9 are shown as they are)
//   WEIGHTING       A, C or Z
//   TIME WEIGHTING  FAST, SLOW or IMP
//   RANGE           one of 80-140, 70-130, 60-120, 50-110, 40-100, 30-90
//   LEVELS          records separated by blanks, each a level in dB from 0 to
//                   999.9 (stored as "065.3"); a "p:" prefix marks a pause
//                   record; may be empty
//
// Example:
//   1;2024/05/01 10:00:00;1;A;FAST;30-90;65.3 66.1 p:66.0 70.2

#include "sim/stored_sets.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <stdexcept>

#include "base/calendar.h"
#include "base/number_text.h"
#include "link/meter.h"

namespace slm::sim {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr int kSetHeaderLength = 363;
constexpr int kRecordLength = 38;
constexpr int kStoredSetBase = 341;  // stored size of a set without records

}  // namespace

namespace {

MeterTime AddSeconds(const MeterTime& m, int64_t seconds) {
  return DateTimeOfSeconds(LinearSeconds(m) + seconds);
}

}  // namespace

// ---- texts of the stored sets --------------------------------------------

// The meter's five-character level text: "065.3".
std::string LevelText(double db) {
  db = std::clamp(db, 0.0, 999.9);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%05.1f", db);
  return buf;
}

std::string RangeText(int code) {
  if (code < 0 || code > 5) return "      ";
  const int top = 140 - 10 * code;
  std::string text = std::to_string(top - 60) + "-" + std::to_string(top);
  text.resize(6, ' ');
  return text;
}

std::string FrequencyText(int code) {
  static constexpr std::array<const char*, 4> kTexts = {"A", "C", "Z", "A"};
  return kTexts[static_cast<size_t>(code & 3)];
}

std::string TimeWeightingText(int code) {
  static constexpr std::array<const char*, 4> kTexts = {"FAST", "SLOW", "IMP ", "    "};
  return kTexts[static_cast<size_t>(code & 3)];
}

std::optional<double> ParseLevel(const std::string& text) { return ParseNumber(text); }

namespace {

// The set's own results, computed from its records as the meter does.
struct SetResults {
  std::string maximum = LevelText(0) + " ";
  MeterTime maximum_time;
  std::string leq = LevelText(0) + " ";
  std::string sel = LevelText(0) + " ";
  std::array<std::string, 5> percentiles;  // L05, L10, L50, L90, L95
};

SetResults ComputeResults(const StoredSet& set) {
  SetResults results;
  results.maximum_time = set.start;
  results.percentiles.fill(LevelText(0) + " ");
  std::vector<double> levels;
  double maximum = -kInfinity;
  double energy = 0;
  for (size_t i = 0; i < set.records.size(); ++i) {
    const StoredRecord& record = set.records[i];
    if (record.pause) continue;
    const auto level = ParseLevel(record.level);
    if (!level) continue;
    levels.push_back(*level);
    energy += std::pow(10.0, *level / 10.0);
    if (*level > maximum) {
      maximum = *level;
      results.maximum_time =
          AddSeconds(set.start, static_cast<int64_t>(i) * std::max(set.interval, 1));
    }
  }
  if (levels.empty()) return results;
  const double n = static_cast<double>(levels.size());
  const double leq = 10.0 * std::log10(energy / n);
  const double sel = leq + 10.0 * std::log10(n * std::max(set.interval, 1));
  results.maximum = LevelText(maximum) + " ";
  results.leq = LevelText(leq) + " ";
  results.sel = LevelText(sel) + " ";
  // Lx: the level that was exceeded x percent of the time.
  std::sort(levels.begin(), levels.end(), std::greater<>());
  static constexpr std::array<double, 5> kPercents = {5, 10, 50, 90, 95};
  for (size_t k = 0; k < kPercents.size(); ++k) {
    const double rank = std::ceil(kPercents[k] / 100.0 * n - 1e-9);
    const size_t index = static_cast<size_t>(std::clamp(rank - 1.0, 0.0, n - 1.0));
    results.percentiles[k] = LevelText(levels[index]) + " ";
  }
  return results;
}

// Writes `text` into `out` at the 1-based position `position`.
void Put(Bytes& out, int position, const std::string& text) {
  out.replace(static_cast<size_t>(position - 1), text.size(), text);
}

}  // namespace

Bytes SetReply(const StoredSet& set) {
  const SetResults results = ComputeResults(set);
  Bytes out(kSetHeaderLength, ' ');
  Put(out, 1, "DATA LOGGER\r\n");
  Put(out, 16, "SET ");
  Put(out, 20, std::string(1, static_cast<char>('0' + std::clamp(set.interval, 1, 9))));
  Put(out, 21, "\r\n");
  Put(out, 30, "WEIGHTING ");
  Put(out, 40, (set.frequency_weighting + " ").substr(0, 1));
  Put(out, 41, "\r\n");
  Put(out, 45, "TIME WEIGHT ");
  Put(out, 57, (set.time_weighting + "    ").substr(0, 4));
  Put(out, 61, "\r\n");
  Put(out, 71, "RANGE ");
  Put(out, 77, (set.range + "      ").substr(0, 6));
  Put(out, 83, " dB\r\n");
  Put(out, 105, "START TIME ");
  Put(out, 116, PcDateTimeText(set.start));
  Put(out, 135, "\r\n");
  Put(out, 137, "MAX dB  ");
  Put(out, 145, results.maximum);
  Put(out, 151, "AT  ");
  Put(out, 155, PcDateTimeText(results.maximum_time));
  Put(out, 174, "\r\n");
  Put(out, 197, "LEQ ");
  Put(out, 201, results.leq);
  Put(out, 207, "\r\n");
  Put(out, 213, "SEL ");
  Put(out, 217, results.sel);
  Put(out, 223, "\r\n");
  static constexpr std::array<const char*, 5> kNames = {"L05 ", "L10 ", "L50 ", "L90 ", "L95 "};
  for (int k = 0; k < 5; ++k) {
    const int field = 233 + 16 * k;
    Put(out, field - 4, kNames[static_cast<size_t>(k)]);
    Put(out, field, results.percentiles[static_cast<size_t>(k)]);
    Put(out, field + 6, "\r\n");
  }
  Put(out, 355, "RECORDS\r\n");

  const int interval = std::max(set.interval, 1);
  for (size_t i = 0; i < set.records.size(); ++i) {
    const StoredRecord& record = set.records[i];
    Bytes line(kRecordLength, ' ');
    if (record.pause) line.replace(0, 7, "[pause]");
    line.replace(8, 19, PcDateTimeText(AddSeconds(set.start, static_cast<int64_t>(i) * interval)));
    line.replace(28, 5, (record.level + "     ").substr(0, 5));
    line.replace(33, 5, " dB\r\n");
    out += line;
  }
  return out;
}

int StoredSize(const StoredSet& set) {
  return kStoredSetBase + kRecordLength * static_cast<int>(set.records.size());
}

namespace {

void AppendLe(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

Bytes DirectoryReply(const std::vector<StoredSet>& sets, uint32_t memory_size) {
  const size_t count = std::min<size_t>(sets.size(), 255);
  int64_t used = 0;
  for (size_t i = 0; i < count; ++i) {
    // Each set takes its stored size, in whole units of 1/1000 MB.
    used += (StoredSize(sets[i]) + 999) / 1000;
  }
  const int64_t remaining = std::max<int64_t>(0, memory_size - used);
  Bytes reply = MakeBytes({2});
  AppendLe(reply, memory_size, 4);
  AppendLe(reply, static_cast<uint32_t>(remaining), 4);
  reply += MakeBytes({static_cast<int>(count), 0});
  for (size_t i = 0; i < count; ++i) {
    const StoredSet& set = sets[i];
    AppendLe(reply, static_cast<uint32_t>(set.number), 2);
    AppendLe(reply, static_cast<uint32_t>(StoredSize(set)), 4);
    const uint32_t packed = EncodeMeterDateTime(set.start.year, set.start.month, set.start.day,
                                                set.start.hour, set.start.minute, set.start.second);
    // The date half comes first, each half low byte first.
    AppendLe(reply, packed >> 16, 2);
    AppendLe(reply, packed & 0xFFFF, 2);
  }
  reply += MakeBytes({3});
  return reply;
}

namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::optional<int> ParseInt(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  const int value = std::stoi(text);
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::optional<MeterTime> ParseTime(const std::string& text) {
  // yyyy/mm/dd hh:nn:ss
  if (text.size() != 19) return std::nullopt;
  static constexpr std::array<std::pair<size_t, char>, 5> kSeparators = {
      {{4, '/'}, {7, '/'}, {10, ' '}, {13, ':'}, {16, ':'}}};
  for (const auto& [at, separator] : kSeparators) {
    if (text[at] != separator) return std::nullopt;
  }
  auto field = [&](size_t at, size_t length) { return ParseInt(text.substr(at, length), 0, 9999); };
  const auto year = field(0, 4), month = field(5, 2), day = field(8, 2);
  const auto hour = field(11, 2), minute = field(14, 2), second = field(17, 2);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  const MeterTime m{*year, *month, *day, *hour, *minute, *second};
  if (!IsValidDateTime(m) || m.year < 1980) return std::nullopt;
  return m;
}

[[noreturn]] void Fail(int line, const std::string& what) {
  throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

}  // namespace

std::vector<StoredSet> ParseStoredSets(const std::string& text) {
  std::vector<StoredSet> sets;
  std::istringstream input(text);
  std::string raw;
  int line = 0;
  while (std::getline(input, raw)) {
    ++line;
    const std::string content = Trim(raw);
    if (content.empty() || content[0] == '#') continue;

    std::vector<std::string> fields;
    std::istringstream split(content);
    std::string field;
    while (std::getline(split, field, ';')) fields.push_back(Trim(field));
    if (!content.empty() && content.back() == ';') fields.emplace_back();
    if (fields.size() != 7) {
      Fail(line, "expected 7 fields separated by ';', found " + std::to_string(fields.size()));
    }

    StoredSet set;
    const auto number = ParseInt(fields[0], 0, 65535);
    if (!number) Fail(line, "set number '" + fields[0] + "' is not 0..65535");
    for (const StoredSet& other : sets) {
      if (other.number == *number) Fail(line, "set number " + fields[0] + " is used twice");
    }
    set.number = *number;

    const auto start = ParseTime(fields[1]);
    if (!start) Fail(line, "start '" + fields[1] + "' is not a date yyyy/mm/dd hh:nn:ss");
    set.start = *start;

    const auto interval = ParseInt(fields[2], 1, 255);
    if (!interval) Fail(line, "interval '" + fields[2] + "' is not 1..255 seconds");
    set.interval = *interval;

    if (fields[3] != "A" && fields[3] != "C" && fields[3] != "Z") {
      Fail(line, "frequency weighting '" + fields[3] + "' is not A, C or Z");
    }
    set.frequency_weighting = fields[3];

    if (fields[4] != "FAST" && fields[4] != "SLOW" && fields[4] != "IMP") {
      Fail(line, "time weighting '" + fields[4] + "' is not FAST, SLOW or IMP");
    }
    set.time_weighting = (fields[4] + " ").substr(0, 4);

    bool range_known = false;
    for (int code = 0; code <= 5; ++code) {
      if (Trim(RangeText(code)) == fields[5]) range_known = true;
    }
    if (!range_known) Fail(line, "range '" + fields[5] + "' is not one of 80-140 .. 30-90");
    set.range = (fields[5] + "  ").substr(0, 6);

    std::istringstream words(fields[6]);
    std::string word;
    while (words >> word) {
      StoredRecord record;
      std::string value = word;
      if (value.rfind("p:", 0) == 0) {
        record.pause = true;
        value = value.substr(2);
      }
      const auto db = ParseLevel(value);
      if (!db || *db < 0 || *db > 999.9) Fail(line, "level '" + word + "' is not 0..999.9 dB");
      record.level = LevelText(*db);
      set.records.push_back(record);
    }
    sets.push_back(std::move(set));
  }
  return sets;
}

}  // namespace slm::sim
