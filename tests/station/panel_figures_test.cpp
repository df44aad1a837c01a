// The panel's live figures, worked out by hand.
#include "station/panel_figures.h"

#include <gtest/gtest.h>

#include "base/calendar.h"

namespace slm {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

std::int64_t At(const std::string& time) { return *ParseClockText("2024/05/01 " + time); }

// With the Assessment window's kept settings (night from 22:00, events at
// 65 dB and above), a few samples across the bound of a minute.
TEST(PanelFigures, RowsOfTheRunningWindowsTheDayItsPartAndTheEvents) {
  PanelFigures figures(PanelAssessmentSettings({{"threshold", "65"}, {"night", "22"}}));
  figures.Add(At("21:00:00"), "60.0", 1);
  figures.Add(At("22:10:00"), "50.0", 1);
  figures.Add(At("22:50:58"), "70.0", 1);   // an event...
  figures.Add(At("22:50:59"), "90.0*", 1);  // paused: not counted
  figures.Add(At("22:51:00"), "60.0", 1);   // ...that ends here
  figures.Add(At("22:51:01"), "70.0", 1);   // and another one going on
  figures.Add(At("22:40:00"), "90.0", 1);   // the PC clock was set back: left out
  Rows rows = {{"Leq 1 min", "67.4 dB"},    // 60, 70
               {"Leq 15 min", "68.4 dB"},   // 70, 60, 70
               {"Leq 1 h", "67.2 dB"},      // 50, 70, 60, 70
               {"Leq today", "66.4 dB"},    // 60, 50, 70, 60, 70
               {"Leq night", "67.2 dB"},  {"Events today", "1, one going on"},
               {"Alarm", "none set"}};
  EXPECT_EQ(figures.Rows(At("22:51:01")), rows);
  EXPECT_EQ(figures.Rows(At("22:52:00"))[0].second, "--");  // no sample in this minute yet

  figures.Reset();
  for (std::size_t i = 0; i < 5; ++i) rows[i].second = "--";
  rows[5].second = "0";
  EXPECT_EQ(figures.Rows(At("22:51:01")), rows);

  // Nothing kept: no threshold, and the night starts at 23:00.
  PanelFigures plain(PanelAssessmentSettings({}));
  plain.Add(At("22:51:00"), "60.0", 1);
  const Rows evening = plain.Rows(At("22:51:00"));
  EXPECT_EQ(evening[4], (Rows::value_type{"Leq evening", "60.0 dB"}));
  EXPECT_EQ(evening[5].second, "no threshold");
}

}  // namespace
}  // namespace slm
