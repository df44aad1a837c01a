#include "live/panel_display.h"

#include <algorithm>

namespace slm {

void UpdatePanelDisplay(PanelDisplay& d, const Reading& r) {
  d.up_enabled = r.range_top != 140;
  d.down_enabled = r.range_bottom != 30;
  d.bar_minimum = r.range_bottom;
  d.bar_maximum = r.range_top;
  d.bar_value = std::clamp(r.level, static_cast<double>(r.range_bottom),
                           static_cast<double>(std::max(r.range_top, r.range_bottom)));
  d.over = r.over;
  d.under = r.under;
  if (r.time_weighting == "SLOW" || r.time_weighting == "FAST" || r.time_weighting == "IMP") {
    d.slow = r.time_weighting == "SLOW";
    d.fast = r.time_weighting == "FAST";
    d.imp = r.time_weighting == "IMP";
  }
  d.run = r.run;
  d.pause = r.pause;
  d.stop = r.stop;
  if (r.frequency_weighting == "AA") {
    d.ca_visible = !d.ca_visible;
    d.ca_text = "A";
    d.board_ca = kFilterText;
  } else {
    d.ca_visible = true;
    d.ca_text = r.frequency_weighting;
    d.board_ca = r.frequency_weighting;
  }
  d.level_text = r.level_text;
  d.board_sfi = r.time_weighting;
  d.board_level = std::to_string(r.range_bottom) + "-" + std::to_string(r.range_top);
}

}  // namespace slm
