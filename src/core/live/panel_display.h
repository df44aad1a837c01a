#pragma once

#include <string>

#include "live/reading.h"

namespace slm {

// What the panel's live controls show, worked out from the current Reading by
// each live tick. The window copies it onto its controls.
struct PanelDisplay {
  std::string level_text;  // LblValue and ShownLCD
  int bar_minimum = 0;     // SoundBar, in dB
  int bar_maximum = 0;
  double bar_value = 0;      // the level held within the range
  bool up_enabled = true;    // toolbar "Up": off at the top range
  bool down_enabled = true;  // toolbar "Down": off at the bottom range
  bool over = false;
  bool under = false;
  bool fast = false;  // FAST / SLOW / IMP indicators; kept when the
  bool slow = false;  // meter sends no time weighting
  bool imp = false;
  bool run = false;
  bool pause = false;
  bool stop = false;
  bool ca_visible = true;   // LblCA blinks while the 20-200 Hz filter is on
  std::string ca_text;      // LblCA
  std::string board_ca;     // BoardCA
  std::string board_sfi;    // BoardSFI
  std::string board_level;  // BoardLevel: "80-140"
};

inline constexpr const char* kFilterText = "20-200Hz Filter";

// One live tick's update of the display from the newest reading.
void UpdatePanelDisplay(PanelDisplay& display, const Reading& reading);

}  // namespace slm
