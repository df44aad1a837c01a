#include "station/panel_figures.h"

#include "assessment/assessment_settings.h"
#include "base/number_text.h"
#include "station/station_status.h"

namespace slm {

namespace {

std::string WindowLabel(std::int64_t seconds) {
  if (seconds % 3600 == 0) return "Leq " + std::to_string(seconds / 3600) + " h";
  if (seconds % 60 == 0) return "Leq " + std::to_string(seconds / 60) + " min";
  return "Leq " + std::to_string(seconds) + " s";
}

std::string LevelText(const std::optional<double>& level) {
  return level ? OneDecimalText(*level) + " dB" : "--";
}

}  // namespace

AssessmentSettings PanelAssessmentSettings(const std::map<std::string, std::string>& kept) {
  auto text = [&kept](const char* name) -> std::optional<std::string> {
    const auto found = kept.find(name);
    if (found == kept.end()) return std::nullopt;
    return found->second;
  };
  // Only what the live figures use: a percentile list or a rolling window
  // the window could not read does not take the threshold away.
  const AssessmentSettings defaults;
  SettingsTexts texts;
  texts.interval = text("interval");
  texts.threshold = text("threshold").value_or("");
  texts.min_duration = text("min_duration");
  texts.hold = text("hold");
  if (text("day") || text("evening") || text("night")) {
    texts.periods = text("day").value_or(std::to_string(defaults.part_starts[kDayPart])) + "," +
                    text("evening").value_or(std::to_string(defaults.part_starts[kEveningPart])) +
                    "," + text("night").value_or(std::to_string(defaults.part_starts[kNightPart]));
  }
  std::string problem;
  return ParseSettings(texts, problem).value_or(defaults);
}

PanelFigures::PanelFigures(const AssessmentSettings& settings) { Reset(settings); }

void PanelFigures::Reset() { Reset(AssessmentSettings(settings_)); }

void PanelFigures::Reset(const AssessmentSettings& settings) {
  settings_ = settings;
  live_.emplace(settings_, std::vector<std::int64_t>{60, 900, 3600});
  last_time_.reset();
}

void PanelFigures::Add(std::int64_t time, const std::string& level_text, int period) {
  if (last_time_ && time <= *last_time_) return;
  const std::optional<LevelSample> sample = LevelSampleOf(time, level_text, period);
  if (!sample) return;
  last_time_ = time;
  live_->Add(*sample);
}

std::vector<std::pair<std::string, std::string>> PanelFigures::Rows(std::int64_t now) const {
  StationStatus status;
  live_->Fill(now, status);
  std::vector<std::pair<std::string, std::string>> rows;
  for (const RunningLeq& w : status.leqs) {
    const std::string label = w.window == "day"    ? "Leq today"
                              : w.window == "part" ? "Leq " + status.part
                                                   : WindowLabel(w.length);
    rows.emplace_back(label, LevelText(w.leq));
  }
  std::string events = "no threshold";
  if (settings_.threshold) {
    events = WholeNumberText(status.events_today);
    if (status.in_event) events += ", one going on";
  }
  rows.emplace_back("Events today", events);
  // Alarm rules are a station's, from its configuration file.
  rows.emplace_back("Alarm", "none set");
  return rows;
}

}  // namespace slm
