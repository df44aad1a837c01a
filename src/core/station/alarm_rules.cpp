#include "station/alarm_rules.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "base/calendar.h"
#include "base/number_text.h"

namespace slm {

namespace {

constexpr double kUnderRangeLevel = 25.0;  // "--", as the list statistics count it

// The Leq of the last `window` seconds of samples, each weighing the
// seconds it stands for: the window ending with a sample at t holds the
// samples of (t - window, t].
class SlidingLeq {
 public:
  explicit SlidingLeq(std::int64_t window) : window_(std::max<std::int64_t>(window, 1)) {}

  void Add(std::int64_t time, double level, std::int32_t seconds) {
    while (!entries_.empty() && entries_.front().time <= time - window_) {
      energy_ -= entries_.front().energy;
      seconds_ -= entries_.front().seconds;
      entries_.pop_front();
      ++dropped_;
    }
    const double energy = std::pow(10.0, level / 10.0) * seconds;
    entries_.push_back({time, energy, seconds});
    seconds_ += seconds;
    energy_ += energy;
    // A loud sample leaving a quiet window would leave its rounding behind
    // for good: once as many samples have left as are in it, the window is
    // summed afresh, which costs one addition per sample on the whole.
    if (dropped_ >= entries_.size()) {
      energy_ = 0;
      for (const Entry& e : entries_) energy_ += e.energy;
      dropped_ = 0;
    }
  }
  double coverage() const {
    return 100.0 * static_cast<double>(seconds_) / static_cast<double>(window_);
  }
  double leq() const { return 10.0 * std::log10(energy_ / static_cast<double>(seconds_)); }

 private:
  struct Entry {
    std::int64_t time;
    double energy;  // x seconds
    std::int32_t seconds;
  };
  std::int64_t window_;
  std::deque<Entry> entries_;
  double energy_ = 0;
  std::int64_t seconds_ = 0;
  std::size_t dropped_ = 0;  // since the energy was last summed afresh
};

bool InHours(const AlarmRule& rule, std::int64_t time) {
  if (!rule.between) return true;
  const auto [from, to] = *rule.between;
  const std::int64_t minute = (time - MidnightOf(time)) / 60;
  return from < to ? minute >= from && minute < to : minute >= from || minute < to;
}

// "LAF", or "level" when the weightings are not known.
std::string LevelName(const Descriptors& names) {
  return names.frequency.empty() && names.time.empty() ? "level"
                                                       : "L" + names.frequency + names.time;
}

std::string Db(double level) { return OneDecimalText(level) + " dB"; }

std::string TwoDigits(int n) { return std::string(1, '0' + n / 10) + std::string(1, '0' + n % 10); }

}  // namespace

struct AlarmSet::Track {
  explicit Track(AlarmRule r) : rule(std::move(r)), leq(rule.window) { state.rule = rule.name; }

  AlarmRule rule;
  AlarmState state;
  std::optional<std::int64_t> last_run;  // of the command
  SlidingLeq leq;                        // kLeq
  // kLevel: since when the level is at or above the limit without a gap,
  // and where the last sample's period ended.
  std::optional<std::int64_t> held_from;
  std::int64_t last_end = 0;
};

std::string HoursText(const std::pair<int, int>& between) {
  auto clock = [](int minutes) { return TwoDigits(minutes / 60) + ":" + TwoDigits(minutes % 60); };
  return clock(between.first) + "-" + clock(between.second);
}

std::string AlarmLogText(const AlarmChange& change) {
  return "alarm " + change.rule + (change.raised ? " raised: " : " cleared: ") + change.detail;
}

std::vector<std::pair<std::string, std::string>> AlarmEnvironment(const AlarmChange& change) {
  return {{"SLM_ALARM_RULE", change.rule},
          {"SLM_ALARM_STATE", change.raised ? "raised" : "cleared"},
          {"SLM_ALARM_LEVEL", change.level ? OneDecimalText(*change.level) : ""},
          {"SLM_ALARM_TIME", ClockText(change.time)},
          {"SLM_ALARM_MESSAGE", AlarmLogText(change)}};
}

AlarmSet::AlarmSet(std::vector<AlarmRule> rules, Descriptors names) : names_(std::move(names)) {
  tracks_.reserve(rules.size());
  for (AlarmRule& rule : rules) tracks_.emplace_back(std::move(rule));
}

AlarmSet::~AlarmSet() = default;
AlarmSet::AlarmSet(AlarmSet&&) noexcept = default;
AlarmSet& AlarmSet::operator=(AlarmSet&&) noexcept = default;

AlarmChange AlarmSet::Change(Track& track, bool raise, std::int64_t time, std::string detail) {
  AlarmState& state = track.state;
  state.active = raise;
  state.since = time;
  if (raise) ++state.raised;
  AlarmChange change{.rule = track.rule.name,
                     .raised = raise,
                     .level = state.level,
                     .time = time,
                     .command = track.rule.command,
                     .detail = std::move(detail)};
  // A clock set back (summer time ending) must not hold the command back for hours.
  if (!change.command.empty() &&
      (!track.last_run || time - *track.last_run >= track.rule.command_interval ||
       time < *track.last_run)) {
    change.run_command = true;
    track.last_run = time;
  }
  return change;
}

std::vector<AlarmChange> AlarmSet::Add(const LevelSample& sample) {
  const double level = sample.kind == SampleKind::kUnderRange ? kUnderRangeLevel : sample.level;
  const std::int32_t period = std::max<std::int32_t>(sample.period, 1);
  std::vector<AlarmChange> changes;
  for (Track& track : tracks_) {
    const AlarmRule& rule = track.rule;
    if (rule.kind == AlarmKind::kMeterLost) continue;
    std::optional<double> compared;
    bool over = false;
    std::string figure;
    if (rule.kind == AlarmKind::kLeq) {
      track.leq.Add(sample.time, level, period);
      if (track.leq.coverage() >= rule.coverage) compared = track.leq.leq();
      over = compared && *compared >= rule.limit;
      figure = names_.Leq() + " over " + WholeNumberText(rule.window) + " s ";
    } else {
      const bool joined = track.held_from && sample.time <= track.last_end;
      if (level < rule.limit) {
        track.held_from.reset();
      } else if (!joined) {
        track.held_from = sample.time;
      }
      track.last_end = sample.time + period;
      compared = level;
      over = track.held_from && track.last_end - *track.held_from >= rule.window;
      figure = LevelName(names_) + " ";
    }
    if (compared) track.state.level = compared;
    const bool in_hours = InHours(rule, sample.time);
    if (!track.state.active && over && in_hours) {
      std::string detail = rule.kind == AlarmKind::kLeq
                               ? figure + Db(*compared) + ", limit " + Db(rule.limit)
                               : figure + Db(*compared) + ", at or above " + Db(rule.limit) +
                                     " for " + WholeNumberText(track.last_end - *track.held_from) +
                                     " s";
      changes.push_back(Change(track, true, sample.time, std::move(detail)));
    } else if (track.state.active && !in_hours) {
      changes.push_back(
          Change(track, false, sample.time, "outside its hours " + HoursText(*rule.between)));
    } else if (track.state.active && compared && *compared < rule.limit - rule.hysteresis) {
      changes.push_back(
          Change(track, false, sample.time, figure + Db(*compared) + ", limit " + Db(rule.limit)));
    }
  }
  return changes;
}

std::vector<AlarmChange> AlarmSet::Tick(std::int64_t now, std::optional<std::int64_t> lost_since) {
  std::vector<AlarmChange> changes;
  for (Track& track : tracks_) {
    const AlarmRule& rule = track.rule;
    const bool in_hours = InHours(rule, now);
    const bool active = track.state.active;
    if (rule.kind == AlarmKind::kMeterLost && !active && in_hours && lost_since &&
        now - *lost_since >= rule.window) {
      changes.push_back(Change(track, true, now,
                               "the meter has been lost for " + WholeNumberText(now - *lost_since) +
                                   " s, since " + ClockText(*lost_since)));
    } else if (rule.kind == AlarmKind::kMeterLost && active && !lost_since) {
      changes.push_back(Change(track, false, now, "the meter is back"));
    } else if (active && !in_hours) {
      changes.push_back(Change(track, false, now, "outside its hours " + HoursText(*rule.between)));
    }
  }
  return changes;
}

std::vector<AlarmState> AlarmSet::states() const {
  std::vector<AlarmState> states;
  states.reserve(tracks_.size());
  for (const Track& track : tracks_) states.push_back(track.state);
  return states;
}

}  // namespace slm
