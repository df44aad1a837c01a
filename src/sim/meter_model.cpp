// The meter's side of the serial line: the live stream, the commands and
// their replies, paced at the line's rate.
#include "sim/meter_model.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <string_view>

#include "base/calendar.h"
#include "link/meter.h"
#include "sim/data_logger.h"
#include "sim/meter_state.h"
#include "sim/stored_sets.h"

namespace slm::sim {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Bytes are handed over when their time has come, give or take rounding of
// the summed byte times.
constexpr double kTimeSlack = 1e-9;

// How many bytes make up each command, by its first byte; 0 for a byte that
// starts none.
int CommandLength(char first) {
  if (first != '\0' && std::string_view("ADEFGHIJN").find(first) != std::string_view::npos) {
    return 1;
  }
  if (first != '\0' && std::string_view("COP").find(first) != std::string_view::npos) return 3;
  return first == 'K' ? 4 : first == 'B' ? 7 : 0;
}

int Byte(const Bytes& bytes, size_t index) { return static_cast<unsigned char>(bytes[index]); }

}  // namespace

// ---- the model -------------------------------------------------------------

struct MeterModel::Impl {
  struct OutByte {
    double time;  // when the byte has left the meter
    char byte;
  };

  explicit Impl(MeterOptions o) : options(o), rng(o.seed) {}

  double FramePeriod() const { return 1.0 / std::max(options.rate_hz, 1e-9); }
  double ByteTime() const {
    const double rate = faults.line_rate > 0 ? faults.line_rate : options.bytes_per_second;
    return 1.0 / std::max(rate, 1.0);
  }

  // -- live frame --

  Bytes Frame() const {
    const bool over = force_over ? *force_over : LevelOver(state.range_code, level);
    const bool under = force_under ? *force_under : LevelUnder(state.range_code, level);
    return LiveFrame(state, level, marker, over, under);
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

  Bytes RandomBytes(size_t count) {
    std::uniform_int_distribution<int> any_byte(0, 255);
    Bytes bytes;
    for (size_t i = 0; i < count; ++i) bytes.push_back(static_cast<char>(any_byte(rng)));
    return bytes;
  }

  // A reply as the faults shape it: its bytes, its pace, and where the port
  // vanishes.
  void SendReply(Bytes reply, double t) {
    if (faults.garbage_replies) reply = RandomBytes(reply.size());
    if (faults.short_replies) reply.resize(reply.size() / 2);
    if (faults.reply_cut >= 0) reply.resize(std::min(reply.size(), size_t(faults.reply_cut)));
    reply += RandomBytes(static_cast<size_t>(std::max(faults.trailing_bytes, 0)));
    double ready = t + std::max(faults.slow_start, 0.0);
    for (size_t i = 0; i < reply.size(); ++i) {
      if (faults.vanish_after >= 0 && reply_bytes_sent >= faults.vanish_after) break;
      if (faults.burst_bytes > 0 && i > 0 && i % static_cast<size_t>(faults.burst_bytes) == 0) {
        ready = line_free + faults.burst_pause;
      }
      line_free = std::max(line_free, ready) + ByteTime();
      out.push_back({line_free, reply[i]});
      ++reply_bytes_sent;
    }
    if (faults.vanish_after >= 0 && reply_bytes_sent >= faults.vanish_after) {
      vanish_at = std::min(vanish_at, std::max(line_free, t));
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
    if (faults.garbage_between > 0)
      Send(RandomBytes(static_cast<size_t>(faults.garbage_between)), t);
    StepLevel();
  }

  // Lets the meter live up to time `t`: frames, records, command time-outs.
  void Advance(double t) {
    // A caller that was stopped does not get the frames it missed.
    if (next_frame < t - options.catch_up_limit) next_frame = t;
    for (;;) {
      const double timeout = command.empty() ? kInfinity : command_start + options.command_timeout;
      const double record = logger.logging ? logger.next_record : kInfinity;
      const double next = std::min({timeout, record, next_frame});
      if (next > t) break;
      if (next == timeout) {
        command.clear();
      } else if (next == record) {
        logger.TakeRecord(state, level);
        logger.next_record += std::max(logger.logging_interval, 1);
      } else {
        SendFrame(next_frame);
        next_frame += FramePeriod();
      }
    }
  }

  // -- commands --

  void PressKey(int code, double t) {
    switch (state.PressKey(code, logger.logging)) {
      case LoggerAction::kNone:
        break;
      case LoggerAction::kStart:
        logger.Start(t, state, level);
        break;
      case LoggerAction::kStop:
        logger.logging = false;
        break;
    }
  }

  Bytes Directory() const { return DirectoryReply(logger.sets, logger.memory_size); }

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
      case 'D':
      case 'E':
      case 'F':
        PressKey(KeyOfLetter(c[0]), t);
        return std::nullopt;
      case 'H':
        logger.EraseAll();
        return std::nullopt;
      case 'P': {
        const int number = Byte(c, 1) | Byte(c, 2) << 8;
        logger.Erase(number);
        return std::nullopt;
      }
      case 'B':
        logger.SetClockFromCommand(c, t);
        return std::nullopt;
      case 'C': {
        const int seconds = Byte(c, 1) * 256 + Byte(c, 2);
        if (seconds >= 1 && seconds <= 255) logger.sampling_time = seconds;
        return std::nullopt;
      }
      case 'I':
        return logger.ClockReply(t);
      case 'J':
        return MakeBytes({logger.sampling_time >> 8, logger.sampling_time & 0xFF});
      case 'N':
        return Directory();
      case 'O': {
        const int number = Byte(c, 1) | Byte(c, 2) << 8;
        for (const StoredSet& set : logger.sets) {
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
    // An ignored command changes nothing, not even the stream.
    if (faults.ignored.find(complete[0]) != std::string::npos) return;
    std::optional<Bytes> reply = Execute(complete, t);
    double end = t;
    if (reply && !reply->empty()) {
      SendReply(*std::move(reply), t);
      end = line_free;
    }
    quiet_until = std::max(quiet_until, end + options.quiet_after_reply);
    if (faults.freeze_after.find(complete[0]) != std::string::npos) {
      frozen_from = t;
      frozen_until = faults.freeze_seconds < 0 ? kInfinity : end + faults.freeze_seconds;
      quiet_until = std::max(quiet_until, frozen_until);
    }
  }

  bool FrozenAt(double t) const { return t >= frozen_from && t < frozen_until; }

  MeterOptions options;
  std::mt19937 rng;

  LevelMode level_mode = LevelMode::kConstant;
  double level = 65.3;
  std::vector<double> levels;
  size_t level_index = 0;
  double walk_step = 0;
  bool marker = false;
  MeterState state;
  std::optional<bool> force_over;
  std::optional<bool> force_under;

  DataLogger logger;

  Faults faults;
  std::vector<Bytes> commands;
  Bytes received;

  Bytes command;  // the command arriving, incomplete
  double command_start = 0;

  std::deque<OutByte> out;
  long reply_bytes_sent = 0;
  double vanish_at = kInfinity;
  double line_free = 0;
  double next_frame = 0;
  double quiet_until = -kInfinity;
  double frozen_from = kInfinity;   // the meter hears and sends nothing from ...
  double frozen_until = kInfinity;  // ... until
};

MeterModel::MeterModel(MeterOptions options) : impl_(std::make_shared<Impl>(options)) {}

void MeterModel::Receive(const Bytes& bytes, double t) {
  if (Vanished(t)) return;
  impl_->Advance(t);
  impl_->received += bytes;
  if (impl_->faults.silent || impl_->FrozenAt(t)) return;
  for (char c : bytes) impl_->Feed(c, t);
}

Bytes MeterModel::Transmit(double t) {
  impl_->Advance(t);
  Bytes result;
  auto& out = impl_->out;
  // Nothing leaves after the port vanished.
  const double until = std::min(t, impl_->vanish_at);
  while (!out.empty() && out.front().time <= until + kTimeSlack) {
    result.push_back(out.front().byte);
    out.pop_front();
  }
  if (Vanished(t)) out.clear();
  if (impl_->faults.silent) result.clear();
  return result;
}

double MeterModel::NextEventTime(double t) const {
  const Impl& m = *impl_;
  if (Vanished(t)) return t + m.FramePeriod();
  double best = kInfinity;
  if (!m.out.empty()) best = m.out.front().time;
  if (!m.command.empty()) best = std::min(best, m.command_start + m.options.command_timeout);
  if (m.logger.logging) best = std::min(best, m.logger.next_record);
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
void MeterModel::SetRangeCode(int code) { impl_->state.range_code = std::clamp(code, 0, 7); }
void MeterModel::SetTimeCode(int code) { impl_->state.time_code = code & 3; }
void MeterModel::SetFrequencyCode(int code) { impl_->state.frequency_code = code & 3; }
void MeterModel::SetRun(bool run) { impl_->state.run = run; }
void MeterModel::SetPause(bool pause) { impl_->state.pause = pause; }
void MeterModel::SetStop(bool stop) { impl_->state.stop = stop; }
void MeterModel::ForceOver(std::optional<bool> over) { impl_->force_over = over; }
void MeterModel::ForceUnder(std::optional<bool> under) { impl_->force_under = under; }

int MeterModel::range_code() const { return impl_->state.range_code; }
int MeterModel::time_code() const { return impl_->state.time_code; }
int MeterModel::frequency_code() const { return impl_->state.frequency_code; }
bool MeterModel::run() const { return impl_->state.run; }
bool MeterModel::pause() const { return impl_->state.pause; }
bool MeterModel::stop() const { return impl_->state.stop; }
double MeterModel::level() const { return impl_->level; }
Readout MeterModel::readout() const { return impl_->state.readout; }
HoldMode MeterModel::hold_mode() const { return impl_->state.hold; }
bool MeterModel::showing_clock() const { return impl_->state.showing_clock; }
int MeterModel::integration_seconds() const { return impl_->state.integration_seconds(); }
bool MeterModel::logging() const { return impl_->logger.logging; }

void MeterModel::SetSets(std::vector<StoredSet> sets) {
  impl_->logger.sets = std::move(sets);
  impl_->logger.logging = false;
}
const std::vector<StoredSet>& MeterModel::sets() const { return impl_->logger.sets; }
void MeterModel::SetMemorySize(uint32_t thousandths_mb) {
  impl_->logger.memory_size = thousandths_mb;
}
int MeterModel::sampling_time() const { return impl_->logger.sampling_time; }
void MeterModel::SetSamplingTime(int seconds) {
  impl_->logger.sampling_time = std::clamp(seconds, 1, 255);
}

void MeterModel::SetClock(const MeterTime& time, double t) { impl_->logger.SetClock(time, t); }

MeterTime MeterModel::ClockAt(double t) const { return impl_->logger.ClockAt(t); }

Faults& MeterModel::faults() { return impl_->faults; }
bool MeterModel::Vanished(double t) const { return t >= impl_->vanish_at - kTimeSlack; }
bool MeterModel::Frozen(double t) const { return impl_->FrozenAt(t); }
const std::vector<Bytes>& MeterModel::received_commands() const { return impl_->commands; }
const Bytes& MeterModel::received_bytes() const { return impl_->received; }

Bytes MeterModel::CurrentFrame() { return impl_->Frame(); }

// ---- the stored-sets text ----------------------------------------------------

std::vector<StoredSet> MeterModel::ParseSets(const std::string& text) {
  return ParseStoredSets(text);
}

}  // namespace slm::sim
