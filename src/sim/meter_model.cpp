// The meter's side of the serial line.
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

#include "sim/meter_model.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <limits>
#include <sstream>
#include <stdexcept>

#include "link/meter.h"

namespace slm::sim {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Bytes are handed over when their time has come, give or take rounding of
// the summed byte times.
constexpr double kTimeSlack = 1e-9;

constexpr int kSetHeaderLength = 363;
constexpr int kRecordLength = 38;
constexpr int kStoredSetBase = 341;  // stored size of a set without records

constexpr std::array<int, 9> kIntegrationSeconds = {10,   60,   300,   600,  900,
                                                    1800, 3600, 28800, 86400};

// ---- calendar -------------------------------------------------------------

int64_t ToEpochSeconds(const MeterTime& m) {
  using namespace std::chrono;
  const sys_days date =
      year{m.year} / month{static_cast<unsigned>(m.month)} / day{static_cast<unsigned>(m.day)};
  return static_cast<int64_t>(date.time_since_epoch().count()) * 86400 + m.hour * 3600 +
         m.minute * 60 + m.second;
}

MeterTime FromEpochSeconds(int64_t seconds) {
  using namespace std::chrono;
  int64_t days_count = seconds / 86400;
  int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days_count;
  }
  const year_month_day date{sys_days{days{days_count}}};
  MeterTime m;
  m.year = static_cast<int>(date.year());
  m.month = static_cast<int>(static_cast<unsigned>(date.month()));
  m.day = static_cast<int>(static_cast<unsigned>(date.day()));
  m.hour = static_cast<int>(rest / 3600);
  m.minute = static_cast<int>(rest / 60 % 60);
  m.second = static_cast<int>(rest % 60);
  return m;
}

bool IsValidTime(const MeterTime& m) {
  using namespace std::chrono;
  if (m.month < 1 || m.month > 12 || m.day < 1 || m.day > 31) return false;
  const year_month_day date{year{m.year}, month{static_cast<unsigned>(m.month)},
                            day{static_cast<unsigned>(m.day)}};
  return date.ok() && m.hour >= 0 && m.hour < 24 && m.minute >= 0 && m.minute < 60 &&
         m.second >= 0 && m.second < 60;
}

MeterTime AddSeconds(const MeterTime& m, int64_t seconds) {
  return FromEpochSeconds(ToEpochSeconds(m) + seconds);
}

// "yyyy/mm/dd hh:nn:ss"
std::string TimeText(const MeterTime& m) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", m.year, m.month, m.day, m.hour,
                m.minute, m.second);
  return buf;
}

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

std::optional<double> ParseLevel(const std::string& text) {
  if (text.empty()) return std::nullopt;
  const char* begin = text.c_str();
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end == begin || *end != '\0' || !std::isfinite(value)) return std::nullopt;
  return value;
}

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
  Put(out, 116, TimeText(set.start));
  Put(out, 135, "\r\n");
  Put(out, 137, "MAX dB  ");
  Put(out, 145, results.maximum);
  Put(out, 151, "AT  ");
  Put(out, 155, TimeText(results.maximum_time));
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
    line.replace(8, 19, TimeText(AddSeconds(set.start, static_cast<int64_t>(i) * interval)));
    line.replace(28, 5, (record.level + "     ").substr(0, 5));
    line.replace(33, 5, " dB\r\n");
    out += line;
  }
  return out;
}

int StoredSize(const StoredSet& set) {
  return kStoredSetBase + kRecordLength * static_cast<int>(set.records.size());
}

void AppendLe(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// How many bytes make up each command, by its first byte; 0 for a byte that
// starts none.
int CommandLength(char first) {
  switch (first) {
    case 'A':
    case 'D':
    case 'E':
    case 'F':
    case 'G':
    case 'H':
    case 'I':
    case 'J':
    case 'N':
      return 1;
    case 'C':
    case 'O':
    case 'P':
      return 3;
    case 'K':
      return 4;
    case 'B':
      return 7;
    default:
      return 0;
  }
}

int Byte(const Bytes& bytes, size_t index) { return static_cast<unsigned char>(bytes[index]); }

}  // namespace

// ---- the model -------------------------------------------------------------

struct MeterModel::Impl {
  struct OutByte {
    double time;  // when the byte has left the meter
    char byte;
  };

  explicit Impl(MeterOptions o) : options(o), rng(o.seed) {
    clock_anchor = ToEpochSeconds(MeterTime{2024, 1, 1, 0, 0, 0});
  }

  double FramePeriod() const { return 1.0 / std::max(options.rate_hz, 1e-9); }
  double ByteTime() const { return 1.0 / std::max(options.bytes_per_second, 1.0); }

  // -- live frame --

  bool Over() const {
    if (force_over) return *force_over;
    return range_code <= 5 && level > 140 - 10 * range_code;
  }
  bool Under() const {
    if (force_under) return *force_under;
    return range_code <= 5 && level < 80 - 10 * range_code;
  }

  Bytes Frame() const {
    const int status = (range_code & 7) | (Over() ? 0x80 : 0);
    const int mode = (time_code & 3) | (run ? 0x04 : 0) | (pause ? 0x08 : 0) | (stop ? 0x10 : 0) |
                     (frequency_code & 3) << 5 | (Under() ? 0x80 : 0);
    int word = static_cast<int>(std::lround(std::clamp(level, 0.0, 3276.7) * 10.0));
    word = std::clamp(word, 0, 32767) | (marker ? 0x8000 : 0);
    return MakeBytes({kFrameStart, status, mode, word >> 8, word & 0xFF, kFrameEnd});
  }

  // Moves the level on after a frame has carried it.
  void StepLevel() {
    switch (level_mode) {
      case LevelMode::kConstant:
        break;
      case LevelMode::kList:
        if (!levels.empty()) {
          level_index = (level_index + 1) % levels.size();
          level = levels[level_index];
        }
        break;
      case LevelMode::kRandomWalk: {
        std::uniform_real_distribution<double> step(-walk_step, walk_step);
        level = std::clamp(level + step(rng), 20.0, 150.0);
        break;
      }
    }
  }

  // -- output pacing --

  void Send(const Bytes& bytes, double ready) {
    for (char c : bytes) {
      line_free = std::max(line_free, ready) + ByteTime();
      out.push_back({line_free, c});
    }
  }

  bool StreamSuspendedAt(double t) const {
    if (faults.silent) return true;
    if (!command.empty() && command_start <= t) return true;
    return t < quiet_until;
  }

  void SendFrame(double t) {
    if (StreamSuspendedAt(t)) return;
    Send(Frame(), t);
    if (faults.garbage_between > 0) {
      std::uniform_int_distribution<int> any_byte(0, 255);
      Bytes garbage;
      for (int i = 0; i < faults.garbage_between; ++i)
        garbage.push_back(static_cast<char>(any_byte(rng)));
      Send(garbage, t);
    }
    StepLevel();
  }

  // Lets the meter live up to time `t`: frames, records, command time-outs.
  void Advance(double t) {
    // A caller that was stopped does not get the frames it missed.
    if (next_frame < t - options.catch_up_limit) next_frame = t;
    for (;;) {
      const double timeout = command.empty() ? kInfinity : command_start + options.command_timeout;
      const double record = logging ? next_record : kInfinity;
      const double next = std::min({timeout, record, next_frame});
      if (next > t) break;
      if (next == timeout) {
        command.clear();
      } else if (next == record) {
        TakeRecord();
        next_record += std::max(logging_interval, 1);
      } else {
        SendFrame(next_frame);
        next_frame += FramePeriod();
      }
    }
  }

  // -- data logger --

  StoredSet* LoggingSet() {
    if (!logging) return nullptr;
    for (StoredSet& set : sets) {
      if (set.number == logging_number) return &set;
    }
    logging = false;  // erased meanwhile
    return nullptr;
  }

  void TakeRecord() {
    StoredSet* set = LoggingSet();
    if (set == nullptr) return;
    if (stop) {
      logging = false;
      return;
    }
    set->records.push_back({LevelText(level), pause});
  }

  void StartLogging(double t) {
    StoredSet set;
    int highest = 0;
    for (const StoredSet& s : sets) highest = std::max(highest, s.number);
    set.number = highest + 1;
    set.start = ClockAt(t);
    set.interval = sampling_time;
    set.frequency_weighting = FrequencyText(frequency_code);
    set.time_weighting = TimeWeightingText(time_code);
    set.range = RangeText(range_code);
    sets.push_back(set);
    logging = true;
    logging_number = set.number;
    logging_interval = sampling_time;
    TakeRecord();
    next_record = t + logging_interval;
  }

  MeterTime ClockAt(double t) const {
    return FromEpochSeconds(clock_anchor +
                            static_cast<int64_t>(std::floor(t - clock_anchor_t + 1e-9)));
  }

  // -- commands --

  void PressKey(int code, double t) {
    switch (code) {
      case 1:  // A -> C -> A; Z and A with the filter go back to A
        frequency_code = frequency_code == 0 ? 1 : 0;
        break;
      case 2:  // FAST -> SLOW -> IMP -> FAST
        time_code = time_code == 0 ? 1 : time_code == 1 ? 2 : 0;
        break;
      case 3:
        readout = readout == Readout::kSpl   ? Readout::kLeq
                  : readout == Readout::kLeq ? Readout::kSel
                                             : Readout::kSpl;
        break;
      case 4:
        hold = hold == HoldMode::kInst  ? HoldMode::kMax
               : hold == HoldMode::kMax ? HoldMode::kMin
                                        : HoldMode::kInst;
        break;
      case 5: {  // RUN -> PAUSE -> STOP -> RUN
        const bool was_run = run;
        const bool was_pause = pause;
        run = pause = stop = false;
        if (was_run) {
          pause = true;
        } else if (was_pause) {
          stop = true;
          logging = false;
        } else {
          run = true;
        }
        break;
      }
      case 6:
        if (logging) {
          logging = false;
        } else if (run) {
          StartLogging(t);
        }
        break;
      case 7:
        showing_clock = !showing_clock;
        break;
      case 8:
        integration_index = (integration_index + 1) % kIntegrationSeconds.size();
        break;
      case 9:
        range_code = std::clamp(range_code - 1, 0, 5);
        break;
      case 10:
        range_code = std::clamp(range_code + 1, 0, 5);
        break;
      default:
        break;
    }
  }

  Bytes Directory() const {
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
      const uint32_t packed =
          EncodeMeterDateTime(set.start.year, set.start.month, set.start.day, set.start.hour,
                              set.start.minute, set.start.second);
      // The date half comes first, each half low byte first.
      AppendLe(reply, packed >> 16, 2);
      AppendLe(reply, packed & 0xFFFF, 2);
    }
    reply += MakeBytes({3});
    return reply;
  }

  // Carries out a complete command received at `t`; returns its reply.
  std::optional<Bytes> Execute(const Bytes& c, double t) {
    switch (c[0]) {
      case 'A':
        if (faults.no_ack) return std::nullopt;
        return MakeBytes({2, 255, 255, 255, 255, 3});
      case 'K':
        PressKey(Byte(c, 3), t);
        return std::nullopt;
      case 'G':
        PressKey(1, t);
        return std::nullopt;
      case 'D':
        PressKey(2, t);
        return std::nullopt;
      case 'E':
        PressKey(9, t);
        return std::nullopt;
      case 'F':
        PressKey(10, t);
        return std::nullopt;
      case 'H':
        sets.clear();
        logging = false;
        return std::nullopt;
      case 'P': {
        const int number = Byte(c, 1) | Byte(c, 2) << 8;
        std::erase_if(sets, [&](const StoredSet& s) { return s.number == number; });
        return std::nullopt;
      }
      case 'B': {
        MeterTime m;
        m.second = FromBcd(static_cast<uint8_t>(c[1]));
        m.minute = FromBcd(static_cast<uint8_t>(c[2]));
        m.hour = FromBcd(static_cast<uint8_t>(c[3]));
        m.day = FromBcd(static_cast<uint8_t>(c[4]));
        m.month = FromBcd(static_cast<uint8_t>(c[5]));
        m.year = 2000 + FromBcd(static_cast<uint8_t>(c[6]));
        if (IsValidTime(m)) {
          clock_anchor = ToEpochSeconds(m);
          clock_anchor_t = t;
        }
        return std::nullopt;
      }
      case 'C': {
        const int seconds = Byte(c, 1) * 256 + Byte(c, 2);
        if (seconds >= 1 && seconds <= 255) sampling_time = seconds;
        return std::nullopt;
      }
      case 'I': {
        const MeterTime m = ClockAt(t);
        return MakeBytes({ToBcd(m.second), ToBcd(m.minute), ToBcd(m.hour), ToBcd(m.day),
                          ToBcd(m.month), ToBcd(m.year % 100)});
      }
      case 'J':
        return MakeBytes({sampling_time >> 8, sampling_time & 0xFF});
      case 'N':
        return Directory();
      case 'O': {
        const int number = Byte(c, 1) | Byte(c, 2) << 8;
        for (const StoredSet& set : sets) {
          if (set.number == number) return SetReply(set);
        }
        return std::nullopt;
      }
      default:
        return std::nullopt;
    }
  }

  void Feed(char byte, double t) {
    if (command.empty()) {
      if (CommandLength(byte) == 0) return;  // starts no command
      command_start = t;
    }
    command.push_back(byte);
    if (static_cast<int>(command.size()) < CommandLength(command[0])) return;
    Bytes complete;
    complete.swap(command);
    commands.push_back(complete);
    std::optional<Bytes> reply = Execute(complete, t);
    double end = t;
    if (reply && !reply->empty()) {
      if (faults.short_replies) reply->resize(reply->size() / 2);
      Send(*reply, t);
      end = line_free;
    }
    quiet_until = std::max(quiet_until, end + options.quiet_after_reply);
  }

  MeterOptions options;
  std::mt19937 rng;

  LevelMode level_mode = LevelMode::kConstant;
  double level = 65.3;
  std::vector<double> levels;
  size_t level_index = 0;
  double walk_step = 0;
  bool marker = false;
  int range_code = 0;
  int time_code = 0;
  int frequency_code = 0;
  bool run = true;
  bool pause = false;
  bool stop = false;
  std::optional<bool> force_over;
  std::optional<bool> force_under;
  Readout readout = Readout::kSpl;
  HoldMode hold = HoldMode::kInst;
  bool showing_clock = false;
  size_t integration_index = 0;

  std::vector<StoredSet> sets;
  uint32_t memory_size = 8000;
  int sampling_time = 1;
  int64_t clock_anchor = 0;   // the clock reads this many seconds since 1970 ...
  double clock_anchor_t = 0;  // ... at this time of the caller's clock
  bool logging = false;
  int logging_number = 0;
  int logging_interval = 1;
  double next_record = 0;

  Faults faults;
  std::vector<Bytes> commands;
  Bytes received;

  Bytes command;  // the command arriving, incomplete
  double command_start = 0;

  std::deque<OutByte> out;
  double line_free = 0;
  double next_frame = 0;
  double quiet_until = -kInfinity;
};

MeterModel::MeterModel(MeterOptions options) : impl_(std::make_shared<Impl>(options)) {}

void MeterModel::Receive(const Bytes& bytes, double t) {
  impl_->Advance(t);
  impl_->received += bytes;
  if (impl_->faults.silent) return;
  for (char c : bytes) impl_->Feed(c, t);
}

Bytes MeterModel::Transmit(double t) {
  impl_->Advance(t);
  Bytes result;
  auto& out = impl_->out;
  while (!out.empty() && out.front().time <= t + kTimeSlack) {
    result.push_back(out.front().byte);
    out.pop_front();
  }
  if (impl_->faults.silent) result.clear();
  return result;
}

double MeterModel::NextEventTime(double t) const {
  const Impl& m = *impl_;
  double best = kInfinity;
  if (!m.out.empty()) best = m.out.front().time;
  if (!m.command.empty()) best = std::min(best, m.command_start + m.options.command_timeout);
  if (m.logging) best = std::min(best, m.next_record);
  if (!m.faults.silent) {
    double frame = std::max(m.next_frame, t - m.options.catch_up_limit);
    if (!m.command.empty()) frame = std::max(frame, m.command_start + m.options.command_timeout);
    if (frame < m.quiet_until) {
      frame += std::ceil((m.quiet_until - frame) / m.FramePeriod()) * m.FramePeriod();
    }
    best = std::min(best, std::max(frame, m.line_free) + m.ByteTime());
  }
  if (best == kInfinity) return t + m.FramePeriod();
  return std::max(best, t);
}

void MeterModel::SetLevel(double db) {
  impl_->level_mode = LevelMode::kConstant;
  impl_->level = db;
}

void MeterModel::SetLevels(std::vector<double> levels) {
  if (levels.empty()) return;
  impl_->level_mode = LevelMode::kList;
  impl_->levels = std::move(levels);
  impl_->level_index = 0;
  impl_->level = impl_->levels.front();
}

void MeterModel::SetRandomWalk(double start_db, double step_db) {
  impl_->level_mode = LevelMode::kRandomWalk;
  impl_->level = std::clamp(start_db, 20.0, 150.0);
  impl_->walk_step = std::abs(step_db);
}

void MeterModel::SetMarker(bool marked) { impl_->marker = marked; }
void MeterModel::SetRangeCode(int code) { impl_->range_code = std::clamp(code, 0, 7); }
void MeterModel::SetTimeCode(int code) { impl_->time_code = code & 3; }
void MeterModel::SetFrequencyCode(int code) { impl_->frequency_code = code & 3; }
void MeterModel::SetRun(bool run) { impl_->run = run; }
void MeterModel::SetPause(bool pause) { impl_->pause = pause; }
void MeterModel::SetStop(bool stop) { impl_->stop = stop; }
void MeterModel::ForceOver(std::optional<bool> over) { impl_->force_over = over; }
void MeterModel::ForceUnder(std::optional<bool> under) { impl_->force_under = under; }

int MeterModel::range_code() const { return impl_->range_code; }
int MeterModel::time_code() const { return impl_->time_code; }
int MeterModel::frequency_code() const { return impl_->frequency_code; }
bool MeterModel::run() const { return impl_->run; }
bool MeterModel::pause() const { return impl_->pause; }
bool MeterModel::stop() const { return impl_->stop; }
double MeterModel::level() const { return impl_->level; }
Readout MeterModel::readout() const { return impl_->readout; }
HoldMode MeterModel::hold_mode() const { return impl_->hold; }
bool MeterModel::showing_clock() const { return impl_->showing_clock; }
int MeterModel::integration_seconds() const {
  return kIntegrationSeconds[impl_->integration_index];
}
bool MeterModel::logging() const { return impl_->logging; }

void MeterModel::SetSets(std::vector<StoredSet> sets) {
  impl_->sets = std::move(sets);
  impl_->logging = false;
}
const std::vector<StoredSet>& MeterModel::sets() const { return impl_->sets; }
void MeterModel::SetMemorySize(uint32_t thousandths_mb) { impl_->memory_size = thousandths_mb; }
int MeterModel::sampling_time() const { return impl_->sampling_time; }
void MeterModel::SetSamplingTime(int seconds) {
  impl_->sampling_time = std::clamp(seconds, 1, 255);
}

void MeterModel::SetClock(const MeterTime& time, double t) {
  impl_->clock_anchor = ToEpochSeconds(time);
  impl_->clock_anchor_t = t;
}

MeterTime MeterModel::ClockAt(double t) const { return impl_->ClockAt(t); }

Faults& MeterModel::faults() { return impl_->faults; }
const std::vector<Bytes>& MeterModel::received_commands() const { return impl_->commands; }
const Bytes& MeterModel::received_bytes() const { return impl_->received; }

Bytes MeterModel::CurrentFrame() { return impl_->Frame(); }

// ---- the stored-sets text ----------------------------------------------------

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
  if (!IsValidTime(m) || m.year < 1980) return std::nullopt;
  return m;
}

[[noreturn]] void Fail(int line, const std::string& what) {
  throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

}  // namespace

std::vector<StoredSet> MeterModel::ParseSets(const std::string& text) {
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
