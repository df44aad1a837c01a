#pragma once

// The meter's side of the serial protocol, for tests, `slmtool emulate` and
// `slmpanel --demo`.
//
// Assumptions about the meter that this model makes (the program relies only
// on the bytes it writes and the reply layouts it reads):
// - It sends a 6-byte live frame (2, status, mode, level high, level low, 3)
//   `rate_hz` times a second, all six bytes at once.
// - It suspends the live stream while a command arrives and for
//   `quiet_after_reply` seconds after its reply (or after the command, when
//   there is none), because the program reads replies by byte position. The
//   default pause is longer than the 0.2 s a host waits after "A", so that
//   the acknowledgement is still the tail of what the host reads then.
// - Everything it sends, frames and replies, leaves at the line's rate: 3840
//   bytes a second; a byte is handed over only once its time has come.
// - When the caller's clock jumps by more than `catch_up_limit` (the process
//   was stopped for a while), the frames it missed are not sent in a burst:
//   the stream goes on from the current time.
// - A command that is not completed within `command_timeout` seconds is dropped;
//   bytes that start no command are ignored.
// - Keys and letter commands change its state as the meter's own keys would:
//   weighting and range steps wrap or stop at the ends as described in
//   meter_state.cpp; the frame shows the new state from the next frame on.
// - Stored sets keep their levels as text; the directory reports each set's
//   stored size as 341 + 38 per record; a set reply is 363 header bytes plus
//   38 bytes per record.

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "link/meter.h"
#include "sim/meter_state.h"

namespace slm::sim {

using Bytes = std::string;

// A calendar date and time of the meter's clock.
using MeterTime = slm::DateTime;

// One record of a stored set.
struct StoredRecord {
  std::string level;   // 5 characters as the meter writes it, e.g. "065.3"
  bool pause = false;  // the record marks a pause ("[pause]")
};

// One set in the meter's data-logger memory.
struct StoredSet {
  int number = 1;  // 16-bit set number (the "address" that "O" and "P" take)
  MeterTime start{2024, 1, 1, 0, 0, 0};
  int interval = 1;                       // seconds between records (written as one digit)
  std::string frequency_weighting = "A";  // 1 character
  std::string time_weighting = "FAST";    // 4 characters
  std::string range = "30-90 ";           // 6 characters
  std::vector<StoredRecord> records;
};

// How the level of the live stream moves.
enum class LevelMode { kConstant, kList, kRandomWalk };

struct MeterOptions {
  double rate_hz = 10;
  double quiet_after_reply = 0.35;
  double command_timeout = 0.5;
  double bytes_per_second = 3840;
  double catch_up_limit = 1.0;  // frames more overdue than this are skipped
  uint32_t seed = 1;            // random walk and garbage bytes
};

// Faults on demand.
struct Faults {
  bool silent = false;           // sends nothing at all, answers nothing
  int garbage_between = 0;       // this many random bytes between live frames
  bool short_replies = false;    // replies stop after half their length ...
  int reply_cut = -1;            // ... or after this many bytes (below 0 never)
  bool no_ack = false;           // "A" gets no acknowledgement
  int trailing_bytes = 0;        // replies go on with this many random bytes
  bool garbage_replies = false;  // replies are random bytes of their length
  std::string ignored;           // commands (first letters) ignored; the stream goes on
  double line_rate = 0;          // bytes a second on the line when above 0 (else the option's)
  int burst_bytes = 0;           // replies leave in bursts of this many bytes ...
  double burst_pause = 0;        // ... with this pause in seconds between them
  double slow_start = 0;         // a reply's first byte leaves this long after its command
  // The port vanishes (nothing is sent or received any more) once this many
  // bytes of replies have left; below 0 never.
  long vanish_after = -1;
  // After carrying out a command that starts with one of these letters (and
  // sending its reply) the meter freezes: it sends nothing and hears nothing
  // for `freeze_seconds`, for good when that is below 0.
  std::string freeze_after;
  double freeze_seconds = -1;
};

class MeterModel {
 public:
  explicit MeterModel(MeterOptions options = {});

  // Host to meter: bytes written by the program at time `t` (seconds on any
  // monotonic clock; never decreasing between calls).
  void Receive(const Bytes& bytes, double t);
  // Meter to host: the bytes that have left the meter up to time `t`.
  Bytes Transmit(double t);
  // The earliest time at which Transmit may return more bytes (for pacing a
  // pty without spinning). Returns `t` itself when bytes are due now.
  double NextEventTime(double t) const;

  // Live state.
  void SetLevel(double db);                    // constant level
  void SetLevels(std::vector<double> levels);  // cycled, one per frame
  void SetRandomWalk(double start_db, double step_db);
  void SetMarker(bool marked);      // bit 15 of the level word
  void SetRangeCode(int code);      // 0 (140/80) .. 5 (90/30); 6, 7 sent as is
  void SetTimeCode(int code);       // 0 FAST, 1 SLOW, 2 IMP, 3 none
  void SetFrequencyCode(int code);  // 0 A, 1 C, 2 Z, 3 A with filter
  void SetRun(bool run);
  void SetPause(bool pause);
  void SetStop(bool stop);
  // OVER/UNDER follow the level against the range unless forced.
  void ForceOver(std::optional<bool> over);
  void ForceUnder(std::optional<bool> under);

  int range_code() const;
  int time_code() const;
  int frequency_code() const;
  bool run() const;
  bool pause() const;
  bool stop() const;
  double level() const;
  // State that only the meter's display shows.
  Readout readout() const;
  HoldMode hold_mode() const;
  bool showing_clock() const;       // key 7 toggles date/time on the display
  int integration_seconds() const;  // key 8 steps through the integration times
  // True while key 6 has a stored set logging.
  bool logging() const;

  // Data logger.
  void SetSets(std::vector<StoredSet> sets);
  const std::vector<StoredSet>& sets() const;
  void SetMemorySize(uint32_t thousandths_mb);  // default 8000 (8.0 MB)
  int sampling_time() const;                    // "J" / "C", default 1
  void SetSamplingTime(int seconds);
  void SetClock(const MeterTime& time, double t);  // the meter's clock reads `time` at `t`
  MeterTime ClockAt(double t) const;

  Faults& faults();
  // True once the port vanished (Faults::vanish_after) by time `t`.
  bool Vanished(double t) const;
  // True while the meter is frozen (Faults::freeze_after) at time `t`.
  bool Frozen(double t) const;

  // Every complete command the meter has received, in order, as written.
  const std::vector<Bytes>& received_commands() const;
  // Every byte the meter has received, in order.
  const Bytes& received_bytes() const;

  // The six bytes of the live frame the meter would send now.
  Bytes CurrentFrame();

  // Parses the stored-sets text format (see meter_model.cpp); throws
  // std::runtime_error with the line number on a bad line.
  static std::vector<StoredSet> ParseSets(const std::string& text);

 private:
  struct Impl;
  std::shared_ptr<Impl> impl_;
};

}  // namespace slm::sim
