#include "assessment/assessment_levels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "analysis/level_statistics.h"
#include "base/calendar.h"

namespace slm {

namespace {

// A level with one decimal is its class's value exactly, so its energy can
// come from a table instead of a power each.
const std::array<double, kStatFineClasses>& ClassEnergies() {
  static const std::array<double, kStatFineClasses> energies = [] {
    std::array<double, kStatFineClasses> e{};
    for (int k = 0; k < kStatFineClasses; ++k) e[k] = std::pow(10.0, (k / 10.0) / 10.0);
    return e;
  }();
  return energies;
}

SampleKind KindOf(LevelKind kind) {
  switch (kind) {
    case LevelKind::kUnderRange:
      return SampleKind::kUnderRange;
    case LevelKind::kOverRange:
      return SampleKind::kOverRange;
    case LevelKind::kPaused:
      return SampleKind::kPaused;
    default:
      return SampleKind::kLevel;
  }
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The records of one list appended to `out`; returns how many came earlier
// than the record before them.
std::size_t AppendList(const NamedList& named, std::vector<LevelSample>& out) {
  const RecordList& list = *named.list;
  const std::array<double, kStatFineClasses>& energies = ClassEnergies();
  std::size_t out_of_order = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::optional<std::int64_t> time = ParseClockText(list.date_time(i));
    if (!time) {
      throw AssessmentError(Quoted(named.name) + ": record " + std::to_string(i + 1) +
                            " has no time that can be read (" + Quoted(list.date_time(i)) +
                            "); times must read yyyy/mm/dd hh:nn:ss");
    }
    const ClassifiedLevel level = ClassifyLevel(list.level(i));
    if (level.kind == LevelKind::kNoNumber) {
      throw AssessmentError(Quoted(named.name) + ": record " + std::to_string(i + 1) +
                            " holds no level (" + Quoted(list.level(i)) + ")");
    }
    LevelSample sample;
    sample.time = *time;
    sample.level = level.value;
    sample.fine = static_cast<std::int16_t>(level.fine);
    sample.kind = KindOf(level.kind);
    sample.energy = level.value == level.fine / 10.0 ? energies[level.fine]
                                                     : std::pow(10.0, level.value / 10.0);
    if (!out.empty() && i > 0 && sample.time < out.back().time) ++out_of_order;
    out.push_back(sample);
  }
  return out_of_order;
}

}  // namespace

MeasuredLevels MergeLevels(std::span<const NamedList> lists) {
  struct Part {
    std::size_t begin;
    std::size_t end;
    const NamedList* named;
  };
  std::size_t total = 0;
  for (const NamedList& named : lists) total += named.list->size();
  std::vector<LevelSample> read;
  read.reserve(total);
  std::vector<Part> parts;
  MeasuredLevels levels;
  for (const NamedList& named : lists) {
    const std::size_t begin = read.size();
    const std::size_t back = AppendList(named, read);
    if (back > 0) {
      std::stable_sort(read.begin() + static_cast<std::ptrdiff_t>(begin), read.end(),
                       [](const LevelSample& a, const LevelSample& b) { return a.time < b.time; });
    }
    levels.out_of_order += back;
    if (read.size() > begin) parts.push_back({begin, read.size(), &named});
  }

  std::sort(parts.begin(), parts.end(),
            [&](const Part& a, const Part& b) { return read[a.begin].time < read[b.begin].time; });
  for (std::size_t k = 1; k < parts.size(); ++k) {
    const Part& before = parts[k - 1];
    const Part& after = parts[k];
    if (read[after.begin].time <= read[before.end - 1].time) {
      throw AssessmentError(Quoted(before.named->name) + " and " + Quoted(after.named->name) +
                            " overlap in time (" + ClockText(read[before.begin].time) + " to " +
                            ClockText(read[before.end - 1].time) + " and " +
                            ClockText(read[after.begin].time) + " to " +
                            ClockText(read[after.end - 1].time) + ")");
    }
  }
  const bool in_order = std::is_sorted(
      parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.begin < b.begin; });
  if (in_order) {
    levels.samples = std::move(read);
  } else {
    levels.samples.reserve(read.size());
    for (const Part& part : parts) {
      levels.samples.insert(levels.samples.end(),
                            read.begin() + static_cast<std::ptrdiff_t>(part.begin),
                            read.begin() + static_cast<std::ptrdiff_t>(part.end));
    }
  }
  levels.period = SamplePeriod(levels.samples);
  return levels;
}

std::int64_t SamplePeriod(std::span<const LevelSample> samples) {
  // Steps up to an hour are counted in an array, longer ones (gaps) in a map.
  constexpr std::int64_t kCounted = 3600;
  std::vector<std::size_t> counts(kCounted + 1, 0);
  std::map<std::int64_t, std::size_t> long_steps;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    const std::int64_t step = samples[i].time - samples[i - 1].time;
    if (step <= kCounted) {
      ++counts[static_cast<std::size_t>(step)];
    } else {
      ++long_steps[step];
    }
  }
  std::int64_t best = 0;
  std::size_t best_count = 0;
  for (std::int64_t step = 0; step <= kCounted; ++step) {
    if (counts[static_cast<std::size_t>(step)] > best_count) {
      best = step;
      best_count = counts[static_cast<std::size_t>(step)];
    }
  }
  for (const auto& [step, count] : long_steps) {
    if (count > best_count) {
      best = step;
      best_count = count;
    }
  }
  return std::max<std::int64_t>(best, 1);
}

}  // namespace slm
