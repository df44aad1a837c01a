#pragma once

#include <array>
#include <string_view>

namespace slm {

// One button of the panel's toolbar: its key (also the button's caption and
// objectName), its tool tip, and the meter's one-letter command for the keys
// that only send one.
struct ToolbarKey {
  std::string_view key;
  std::string_view tip;
  std::string_view letter;   // empty: the key opens a box or a window instead
  bool needs_meter = false;  // it talks to the meter: no use while none answers
};

// The toolbar, left to right (button 1 is "Save").
inline constexpr std::array<ToolbarKey, 11> kToolbarKeys = {{
    {"Save", "Save As", ""},
    {"Open", "Open File To Read", ""},
    {"Sampling", "Sampling Rate", ""},
    {"AC", "Frequency Weight", "G", true},
    {"FSI", "Time Weight", "D", true},
    {"Up", "Level Up", "E", true},
    {"Down", "Level Down", "F", true},
    {"RTC", "Real Time Clock", "", true},
    {"Memory", "Data Logger", "", true},
    {"Erase", "Erase Memory", "", true},
    {"Refresh", "Refresh", ""},
}};

// The meter command a toolbar key sends, or an empty text.
constexpr std::string_view ToolbarLetter(std::string_view key) {
  for (const ToolbarKey& k : kToolbarKeys) {
    if (k.key == key) return k.letter;
  }
  return {};
}

}  // namespace slm
