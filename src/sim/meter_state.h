#pragma once

// The meter's own state as its keys change it, and the live frame that shows
// it. Standard C++ only; the command interpreter (meter_model.cpp) applies
// the keys and letter commands it receives here.

#include <cstddef>
#include <optional>
#include <string>

namespace slm::sim {

// What the meter's own display shows; changed only by its keys.
enum class Readout { kSpl, kLeq, kSel };    // key 3
enum class HoldMode { kInst, kMax, kMin };  // key 4

// What a key asks of the data logger besides the state it changes.
enum class LoggerAction { kNone, kStart, kStop };

struct MeterState {
  int range_code = 0;      // 0 (140/80) .. 5 (90/30); 6, 7 name no range
  int time_code = 0;       // 0 FAST, 1 SLOW, 2 IMP, 3 none
  int frequency_code = 0;  // 0 A, 1 C, 2 Z, 3 A with filter
  bool run = true;
  bool pause = false;
  bool stop = false;
  Readout readout = Readout::kSpl;
  HoldMode hold = HoldMode::kInst;
  bool showing_clock = false;
  size_t integration_index = 0;

  // The integration time that key 8 has chosen, in seconds.
  int integration_seconds() const;

  // Presses key `code` (1..10; any other code does nothing). `logging` is
  // true while key 6 has a set logging.
  LoggerAction PressKey(int code, bool logging);
};

// The key that a one-letter command presses ("G" 1, "D" 2, "E" 9, "F" 10);
// 0 for any other letter.
int KeyOfLetter(char letter);

// OVER and UNDER by the level against the range (codes 6 and 7 have neither).
bool LevelOver(int range_code, double level);
bool LevelUnder(int range_code, double level);

// The six bytes of a live frame: 2, status, mode, level high, level low, 3.
std::string LiveFrame(const MeterState& state, double level, bool marker, bool over, bool under);

}  // namespace slm::sim
