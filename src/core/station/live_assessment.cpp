#include "station/live_assessment.h"

#include <cmath>
#include <string>

#include "base/calendar.h"

namespace slm {

namespace {

std::int64_t Floor(std::int64_t time, std::int64_t length) {
  const std::int64_t q = time / length;
  return (q * length > time ? q - 1 : q) * length;
}

std::optional<double> LeqOf(double energy, std::int64_t seconds) {
  if (seconds <= 0) return std::nullopt;
  return 10.0 * std::log10(energy / static_cast<double>(seconds));
}

constexpr int kTen = 10;
constexpr int kNinety = 90;
constexpr std::array<int, 2> kPercents = {kTen, kNinety};

}  // namespace

void LiveAssessment::Running::Add(std::int64_t window_start, const LevelSample& sample) {
  if (window_start != start) {
    start = window_start;
    energy = 0;
    seconds = 0;
  }
  energy += sample.energy * sample.period;
  seconds += sample.period;
}

RunningLeq LiveAssessment::Running::At(std::int64_t now_start, std::int64_t now,
                                       const std::string& name) const {
  RunningLeq out;
  out.window = name;
  out.length = length;
  out.start = now_start;
  if (now_start != start) return out;  // nothing counted in it yet
  out.leq = LeqOf(energy, seconds);
  const std::int64_t so_far = std::max<std::int64_t>(1, std::min(length, now - start + 1));
  out.coverage =
      std::min(100.0, 100.0 * static_cast<double>(seconds) / static_cast<double>(so_far));
  return out;
}

LiveAssessment::LiveAssessment(const AssessmentSettings& settings,
                               std::vector<std::int64_t> windows)
    : settings_(settings),
      day_start_(settings.part_starts[kDayPart] * 3600LL),
      events_(settings_, ended_) {
  const std::array<int, 3> hours = PartHours(settings.part_starts);
  for (std::size_t k = 0; k < 3; ++k) lengths_[k] = hours[k] * 3600LL;
  for (const std::int64_t w : windows) windows_.push_back(Running{w});
  day_.length = kSecondsPerDay;
}

std::string LiveAssessment::WindowName(std::int64_t seconds) {
  if (seconds % 3600 == 0) return std::to_string(seconds / 3600) + "h";
  if (seconds % 60 == 0) return std::to_string(seconds / 60) + "m";
  return std::to_string(seconds) + "s";
}

std::int64_t LiveAssessment::AssessmentDate(std::int64_t time) const {
  std::int64_t date = MidnightOf(time);
  if (time - date < day_start_) date -= kSecondsPerDay;
  return date;
}

DayPart LiveAssessment::PartOf(std::int64_t time, std::int64_t date) const {
  const std::int64_t offset = time - date - day_start_;
  if (offset < lengths_[kDayPart]) return kDayPart;
  if (offset < lengths_[kDayPart] + lengths_[kEveningPart]) return kEveningPart;
  return kNightPart;
}

std::int64_t LiveAssessment::PartStart(DayPart part, std::int64_t date) const {
  std::int64_t start = date + day_start_;
  for (int k = 0; k < part; ++k) start += lengths_[static_cast<std::size_t>(k)];
  return start;
}

std::vector<ExceedanceEvent> LiveAssessment::TakeEnded() {
  std::vector<ExceedanceEvent> ended;
  ended.swap(ended_);
  for (const ExceedanceEvent& e : ended) {
    ++events_total_;
    const std::int64_t midnight = MidnightOf(e.start);
    if (midnight != events_midnight_) {
      events_midnight_ = midnight;
      events_today_ = 0;
    }
    ++events_today_;
  }
  return ended;
}

std::vector<ExceedanceEvent> LiveAssessment::Add(const LevelSample& sample) {
  // LN of the interval that ended before this sample.
  const std::int64_t interval = Floor(sample.time, settings_.interval);
  if (interval != interval_start_) {
    if (interval_start_ >= 0 && !interval_levels_.empty()) {
      const LevelSummary summary = interval_levels_.Take(kPercents);
      l10_ = summary.percentiles[0];
      l90_ = summary.percentiles[1];
      l10_l90_start_ = interval_start_;
    } else if (interval_start_ >= 0) {
      l10_.reset();
      l90_.reset();
      l10_l90_start_ = interval_start_;
    }
    interval_start_ = interval;
  }
  if (sample.kind == SampleKind::kPaused) return TakeEnded();

  for (Running& w : windows_) w.Add(Floor(sample.time, w.length), sample);
  day_.Add(MidnightOf(sample.time), sample);
  const std::int64_t date = AssessmentDate(sample.time);
  if (date != date_) {
    date_ = date;
    parts_ = {};
  }
  const DayPart part = PartOf(sample.time, date);
  parts_[part].length = lengths_[part];
  parts_[part].Add(PartStart(part, date), sample);
  interval_levels_.Add(sample);
  if (settings_.threshold) events_.Add(sample);
  return TakeEnded();
}

std::vector<ExceedanceEvent> LiveAssessment::Finish() {
  if (settings_.threshold) events_.Finish();
  return TakeEnded();
}

void LiveAssessment::Fill(std::int64_t now, StationStatus& status) const {
  status.leqs.clear();
  for (const Running& w : windows_) {
    status.leqs.push_back(w.At(Floor(now, w.length), now, WindowName(w.length)));
  }
  status.leqs.push_back(day_.At(MidnightOf(now), now, "day"));
  const std::int64_t date = AssessmentDate(now);
  const DayPart part = PartOf(now, date);
  Running running_part = date == date_ ? parts_[part] : Running{};
  running_part.length = lengths_[part];
  status.leqs.push_back(running_part.At(PartStart(part, date), now, "part"));
  static constexpr std::array<const char*, 3> kNames = {"day", "evening", "night"};
  status.part = kNames[part];
  std::array<std::optional<double>, 3> levels;
  if (date == date_) {
    for (std::size_t k = 0; k < 3; ++k) levels[k] = LeqOf(parts_[k].energy, parts_[k].seconds);
  }
  status.lday = levels[kDayPart];
  status.levening = levels[kEveningPart];
  status.lnight = levels[kNightPart];
  status.interval = settings_.interval;
  // LN of the last whole interval, while it is the one before now's.
  const std::int64_t previous = Floor(now, settings_.interval) - settings_.interval;
  const bool current = l10_l90_start_ == previous;
  status.l10 = current ? l10_ : std::nullopt;
  status.l90 = current ? l90_ : std::nullopt;
  status.l10_l90_start = current ? l10_l90_start_ : previous;
  status.events = events_total_;
  status.events_today = events_midnight_ == MidnightOf(now) ? events_today_ : 0;
  status.in_event = events_.open();
}

}  // namespace slm
