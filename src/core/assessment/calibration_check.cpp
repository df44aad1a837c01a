#include "assessment/calibration_check.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <deque>

#include "assessment/assessment_output.h"
#include "base/calendar.h"
#include "base/number_text.h"

namespace slm {

namespace {

constexpr double kMargin = 1e-9;  // dB

bool Counts(const LevelSample& s) { return s.kind == SampleKind::kLevel; }

// The end of a record: a period after its time.
std::int64_t EndOf(const LevelSample& s) { return s.time + s.period; }

// A window of records by their places in the order they are visited.
struct Window {
  std::size_t first = 0;
  std::size_t last = 0;
  double seconds = 0;  // the sum of its records' periods
  double energy = 0;   // the sum of energy x period
};

// Visits the records from one edge of the survey inward and keeps the tone of
// the first chain of qualifying windows (calibration_check.h). Place k is
// samples[k] from the start, samples[n - 1 - k] from the end. A window
// qualifies only when its first place is below `reach`: the records within
// the search.
class EdgeSearch {
 public:
  EdgeSearch(std::span<const LevelSample> samples, bool from_end, std::size_t reach,
             const CalibrationSettings& settings)
      : samples_(samples), from_end_(from_end), reach_(reach), settings_(settings) {}

  std::optional<CalibrationTone> Run() {
    const std::size_t n = samples_.size();
    bool open = false;
    std::size_t first = 0;
    for (std::size_t k = 0; k < n; ++k) {
      const std::size_t next_first = open ? first : k;  // no later window starts earlier
      if (next_first >= reach_ || (best_ && next_first > chain_last_)) return Tone();
      const LevelSample& record = At(k);
      const double period = Counts(record) ? record.period : 0;
      seconds_.push_back(seconds_.back() + period);
      energy_.push_back(energy_.back() + record.energy * period);
      if (open && (!Counts(record) || !Joins(k))) {
        if (!Close(first, k - 1)) return Tone();
        open = false;
        highs_.clear();
        lows_.clear();
      }
      if (!Counts(record)) continue;
      if (!open) {
        open = true;
        first = k;
      }
      while (!highs_.empty() && Level(highs_.back()) <= record.level) highs_.pop_back();
      highs_.push_back(k);
      while (!lows_.empty() && Level(lows_.back()) >= record.level) lows_.pop_back();
      lows_.push_back(k);
      if (Steady()) continue;
      if (!Close(first, k - 1)) return Tone();
      while (!Steady()) {
        ++first;
        if (highs_.front() < first) highs_.pop_front();
        if (lows_.front() < first) lows_.pop_front();
      }
    }
    if (open && first < reach_) Close(first, n - 1);
    return Tone();
  }

 private:
  const LevelSample& At(std::size_t k) const {
    return samples_[from_end_ ? samples_.size() - 1 - k : k];
  }
  double Level(std::size_t k) const { return At(k).level; }

  // Whether the record at place k follows the one at k - 1 without a gap.
  bool Joins(std::size_t k) const {
    const LevelSample& earlier = from_end_ ? At(k) : At(k - 1);
    const LevelSample& later = from_end_ ? At(k - 1) : At(k);
    return later.time <= EndOf(earlier);
  }

  bool Steady() const {
    return Level(highs_.front()) - Level(lows_.front()) <= settings_.spread + kMargin;
  }

  bool NearNominal(double level) const {
    return std::any_of(settings_.nominal.begin(), settings_.nominal.end(), [&](double nominal) {
      return std::abs(level - nominal) <= settings_.near + kMargin;
    });
  }

  // Takes the maximal window [first, last]; false when the chain has ended
  // before it, so that no later window can count.
  bool Close(std::size_t first, std::size_t last) {
    if (best_ && first > chain_last_) return false;
    if (first >= reach_) return true;
    Window window{first, last, seconds_[last + 1] - seconds_[first],
                  energy_[last + 1] - energy_[first]};
    if (window.seconds < static_cast<double>(settings_.min_length)) return true;
    if (!NearNominal(LeqOf(window))) return true;
    if (!best_ || window.seconds > best_->seconds) best_ = window;
    chain_last_ = last;
    return true;
  }

  static double LeqOf(const Window& window) {
    return 10.0 * std::log10(window.energy / window.seconds);
  }

  std::optional<CalibrationTone> Tone() const {
    if (!best_) return std::nullopt;
    const LevelSample& earliest = from_end_ ? At(best_->last) : At(best_->first);
    const LevelSample& latest = from_end_ ? At(best_->first) : At(best_->last);
    return CalibrationTone{earliest.time, EndOf(latest), LeqOf(*best_)};
  }

  std::span<const LevelSample> samples_;
  bool from_end_;
  std::size_t reach_;
  const CalibrationSettings& settings_;
  // Running sums by place: entry k holds the records before place k.
  std::vector<double> seconds_{0.0};
  std::vector<double> energy_{0.0};
  // Places of the window's records whose levels fall (highs_) or rise (lows_)
  // from the front: the window's highest and lowest level are at the fronts.
  std::deque<std::size_t> highs_;
  std::deque<std::size_t> lows_;
  std::optional<Window> best_;
  std::size_t chain_last_ = 0;  // last place of the chain's latest window
};

std::string ToneText(const CalibrationTone& tone, std::string_view where) {
  return OneDecimal(tone.level) + " dB at the " + std::string(where) + " (" + ClockText(tone.from) +
         ", " + WholeNumberText(tone.to - tone.from) + " s)";
}

std::string NotFoundText(const CalibrationSettings& settings, std::string_view where) {
  std::string levels;
  const std::size_t n = settings.nominal.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) levels += i + 1 == n ? " or " : ", ";
    levels += OneDecimal(settings.nominal[i]);
  }
  return "no steady tone near " + levels + " dB was found at the " + std::string(where) +
         " of the survey";
}

std::string SignedText(double value) {
  const std::string text = OneDecimal(value);
  return text.front() == '-' || text == "0.0" ? text : "+" + text;
}

}  // namespace

std::string CalibrationProblem(const CalibrationSettings& settings) {
  if (settings.nominal.empty()) return "give at least one calibrator level";
  for (const double nominal : settings.nominal) {
    if (!std::isfinite(nominal)) return "a calibrator level is no level";
  }
  const auto usable = [](double db) { return std::isfinite(db) && db >= 0; };
  if (!usable(settings.near))
    return "how far a tone may read from the calibrator must be 0 dB or more";
  if (!usable(settings.spread)) return "the spread of a steady tone must be 0 dB or more";
  if (!usable(settings.drift_limit)) return "the drift limit must be 0 dB or more";
  if (settings.min_length < 1) return "a calibration tone must last at least a second";
  if (settings.search < 0) return "the search for the calibration tones cannot be negative";
  return {};
}

CalibrationCheck FindCalibration(std::span<const LevelSample> samples,
                                 const CalibrationSettings& settings) {
  if (const std::string problem = CalibrationProblem(settings); !problem.empty()) {
    throw AssessmentError("The calibration check cannot be made: " + problem + ".");
  }
  CalibrationCheck check;
  if (samples.empty()) return check;
  // Records from the start within the search, and from the end: records end
  // in time order, as the lists' records follow each other.
  const auto head = std::ranges::upper_bound(samples, samples.front().time + settings.search, {},
                                             &LevelSample::time);
  const auto tail =
      std::ranges::lower_bound(samples, EndOf(samples.back()) - settings.search, {}, EndOf);
  const auto head_count = static_cast<std::size_t>(head - samples.begin());
  const auto tail_count = static_cast<std::size_t>(samples.end() - tail);
  check.start = EdgeSearch(samples, false, head_count, settings).Run();
  check.end = EdgeSearch(samples, true, tail_count, settings).Run();
  if (check.start && check.end && check.end->from < check.start->to) check.end.reset();
  if (check.start && check.end) {
    check.drift = check.end->level - check.start->level;
    check.within = std::abs(*check.drift) <= settings.drift_limit + kMargin;
  }
  return check;
}

std::vector<Exclusion> CalibrationExclusions(const CalibrationCheck& check) {
  std::vector<Exclusion> out;
  for (const auto& tone : {check.start, check.end}) {
    if (tone) out.push_back({tone->from, tone->to, std::string(kCalibrationReason)});
  }
  return out;
}

std::string CalibrationText(const CalibrationCheck& check, const CalibrationSettings& settings) {
  std::string text = "Calibration check: ";
  if (!check.start && !check.end) return text + NotFoundText(settings, "start or the end") + ".";
  if (!check.end) {
    return text + ToneText(*check.start, "start") + "; " + NotFoundText(settings, "end") +
           ", so the drift is not known.";
  }
  if (!check.start) {
    return text + NotFoundText(settings, "start") + "; " + ToneText(*check.end, "end") +
           ", so the drift is not known.";
  }
  text += ToneText(*check.start, "start") + ", " + ToneText(*check.end, "end") + ", drift " +
          SignedText(*check.drift) + " dB, ";
  const std::string limit = NumberText(settings.drift_limit) + " dB";
  return text + (check.within ? "within " + limit + "."
                              : "beyond " + limit + ": the figures may be off by as much.");
}

}  // namespace slm
