// What each of the meter's keys does to its state: weighting and range steps
// wrap or stop at the ends, RUN/PAUSE/STOP go round, and the display keys
// change only what the display shows.
#include "sim/meter_state.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "link/meter.h"

namespace slm::sim {

namespace {

constexpr std::array<int, 9> kIntegrationSeconds = {10,   60,   300,   600,  900,
                                                    1800, 3600, 28800, 86400};

}  // namespace

int MeterState::integration_seconds() const { return kIntegrationSeconds[integration_index]; }

LoggerAction MeterState::PressKey(int code, bool logging) {
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
        return logging ? LoggerAction::kStop : LoggerAction::kNone;
      } else {
        run = true;
      }
      break;
    }
    case 6:
      if (logging) return LoggerAction::kStop;
      if (run) return LoggerAction::kStart;
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
  return LoggerAction::kNone;
}

int KeyOfLetter(char letter) {
  switch (letter) {
    case 'G':
      return 1;
    case 'D':
      return 2;
    case 'E':
      return 9;
    case 'F':
      return 10;
    default:
      return 0;
  }
}

bool LevelOver(int range_code, double level) {
  return range_code <= 5 && level > 140 - 10 * range_code;
}

bool LevelUnder(int range_code, double level) {
  return range_code <= 5 && level < 80 - 10 * range_code;
}

std::string LiveFrame(const MeterState& state, double level, bool marker, bool over, bool under) {
  const int status = (state.range_code & 7) | (over ? 0x80 : 0);
  const int mode = (state.time_code & 3) | (state.run ? 0x04 : 0) | (state.pause ? 0x08 : 0) |
                   (state.stop ? 0x10 : 0) | (state.frequency_code & 3) << 5 | (under ? 0x80 : 0);
  int word = static_cast<int>(std::lround(std::clamp(level, 0.0, 3276.7) * 10.0));
  word = std::clamp(word, 0, 32767) | (marker ? 0x8000 : 0);
  return MakeBytes({kFrameStart, status, mode, word >> 8, word & 0xFF, kFrameEnd});
}

}  // namespace slm::sim
