#include "assessment/assessment_settings.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/number_text.h"
#include "base/text_excerpt.h"
#include "files/exclusions_file.h"

namespace slm {

namespace {

// "1, 5,10" as whole numbers from `low` to `high`; a comma may end it (as
// while typing). Nothing for anything else.
std::optional<std::vector<int>> WholeList(std::string_view text, int low, int high) {
  std::vector<int> values;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find(',', start), text.size());
    const std::string_view item = Trimmed(text.substr(start, end - start));
    start = end + 1;
    if (item.empty() && end == text.size() && !values.empty()) break;
    const std::optional<long long> value = ParseInteger(item);
    if (!value || *value < low || *value > high) return std::nullopt;
    values.push_back(static_cast<int>(*value));
  }
  return values;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace

std::optional<AssessmentSettings> ParseSettings(const SettingsTexts& texts, std::string& problem) {
  AssessmentSettings s;
  const struct {
    const std::optional<std::string>& text;
    std::int64_t& seconds;
    const char* name;
  } wholes[] = {{texts.interval, s.interval, "the interval"},
                {texts.min_duration, s.min_duration, "the minimum duration"},
                {texts.hold, s.hold, "the hold"},
                {texts.rolling, s.rolling, "the rolling window"}};
  for (const auto& whole : wholes) {
    if (!whole.text) continue;
    const std::optional<long long> value = ParseInteger(Trimmed(*whole.text));
    if (!value) {
      problem = std::string(whole.name) + " is whole seconds, not " + Quoted(*whole.text);
      return std::nullopt;
    }
    whole.seconds = *value;
  }
  if (texts.periods) {
    const std::optional<std::vector<int>> hours = WholeList(*texts.periods, 0, 23);
    if (!hours || hours->size() != 3) {
      problem =
          "day, evening and night start at three whole hours from 0 to 23 joined by commas, not " +
          Quoted(*texts.periods);
      return std::nullopt;
    }
    s.part_starts = {(*hours)[0], (*hours)[1], (*hours)[2]};
  }
  if (texts.percentiles) {
    std::optional<std::vector<int>> n = WholeList(*texts.percentiles, 0, 100);
    if (!n) {
      problem = "the percentiles are whole numbers from 0 to 100 joined by commas, not " +
                Quoted(*texts.percentiles);
      return std::nullopt;
    }
    s.percentiles = std::move(*n);
  }
  if (const std::string_view text = Trimmed(texts.threshold); !text.empty()) {
    s.threshold = ParseNumber(text);
    if (!s.threshold || !std::isfinite(*s.threshold)) {
      problem = "the threshold is a level in dB (or nothing for none), not " + Quoted(text);
      return std::nullopt;
    }
  }
  const struct {
    const std::optional<std::string>& text;
    double& percent;
    const char* name;
  } percents[] = {
      {texts.min_coverage, s.min_coverage, "the least coverage of a part of the day"},
      {texts.rolling_coverage, s.rolling_coverage, "the least coverage of a rolling window"}};
  for (const auto& percent : percents) {
    if (!percent.text) continue;
    const std::optional<double> value = ParseNumber(Trimmed(*percent.text));
    if (!value || !(*value >= 0 && *value <= 100)) {
      problem = std::string(percent.name) + " is a percentage from 0 to 100, not " +
                Quoted(*percent.text);
      return std::nullopt;
    }
    percent.percent = *value;
  }
  for (const std::string& text : texts.exclusions) {
    std::optional<Exclusion> exclusion = ParseExclusion(text, problem);
    if (!exclusion) return std::nullopt;
    s.exclusions.push_back(std::move(*exclusion));
  }
  problem = SettingsProblem(s);
  if (!problem.empty()) return std::nullopt;
  return s;
}

std::string ListText(const std::vector<int>& numbers) {
  std::string text;
  for (const int n : numbers) text += (text.empty() ? "" : ", ") + std::to_string(n);
  return text;
}

}  // namespace slm
