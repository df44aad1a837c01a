#pragma once

#include <optional>
#include <string>
#include <vector>

#include "assessment/assessment.h"

// The assessment's settings as people type them: `slmtool assess`'s options
// and the Assessment window's boxes give the same texts, and one reading of
// them accepts and refuses the same things in the same words.
namespace slm {

// Nothing for a setting left at its default.
struct SettingsTexts {
  std::optional<std::string> interval;      // whole seconds: "3600"
  std::optional<std::string> periods;       // the hours day, evening and night start: "7, 19, 23"
  std::optional<std::string> percentiles;   // "1, 5, 10" or "1,5,10"
  std::string threshold;                    // dB; blank for none
  std::optional<std::string> min_duration;  // whole seconds
  std::optional<std::string> hold;          // whole seconds
  std::optional<std::string> rolling;       // whole seconds
  std::vector<std::string> exclusions;      // "FROM..TO [reason]"
  std::optional<std::string> min_coverage;  // % of a part of the day: "75"
  std::optional<std::string> rolling_coverage;  // % of the rolling window: "90"
};

// The settings `texts` give; nothing, and why in `problem`, when one of them
// cannot be read or the settings cannot be used (SettingsProblem). Lists are
// whole numbers joined by commas, with or without blanks.
std::optional<AssessmentSettings> ParseSettings(const SettingsTexts& texts, std::string& problem);

// Numbers as a list box shows them and ParseSettings reads them: "1, 5, 10".
std::string ListText(const std::vector<int>& numbers);

}  // namespace slm
