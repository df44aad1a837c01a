#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "assessment/assessment.h"
#include "station/live_assessment.h"

// The live assessment the panel shows beside its running values while it
// samples: the same figures a station works out, from the same code.
namespace slm {

// The settings the Assessment window last worked its figures out with (its
// boxes' texts by name: "threshold", "day", "hold"...); the defaults, without
// a threshold, for what was never kept or cannot be read.
AssessmentSettings PanelAssessmentSettings(const std::map<std::string, std::string>& kept);

class PanelFigures {
 public:
  // The running windows: a minute, a quarter of an hour and an hour.
  explicit PanelFigures(const AssessmentSettings& settings);

  // One sample of the panel: its time on the records' clock, its level as
  // the meter gave it ("65.3", "--", "70.1*") and the seconds it stands for.
  // A sample that is no later than the one before (the PC clock was set
  // back) is left out until the clock is past it again.
  void Add(std::int64_t time, const std::string& level_text, int period);
  // The figures start again (the toolbar's "Refresh", a lost meter), with
  // the same settings or with `settings`.
  void Reset();
  void Reset(const AssessmentSettings& settings);

  // Each line the panel shows at `now`: its label and its value, as
  // {"Leq 1 min", "63.2 dB"}, {"Leq night", "--"}, {"Events today", "3"}.
  std::vector<std::pair<std::string, std::string>> Rows(std::int64_t now) const;

 private:
  AssessmentSettings settings_;
  std::optional<LiveAssessment> live_;  // made anew at each start
  std::optional<std::int64_t> last_time_;
};

}  // namespace slm
