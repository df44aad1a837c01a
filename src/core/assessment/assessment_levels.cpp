#include "assessment/assessment_levels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "analysis/level_statistics.h"
#include "assessment/assessment_stream.h"
#include "base/calendar.h"
#include "base/number_text.h"
#include "base/text_excerpt.h"

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

// The period most records stand for.
std::int64_t MostCommonPeriod(std::span<const LevelSample> samples) {
  std::map<std::int32_t, std::size_t> counts;
  std::int32_t last = 0;
  std::size_t run = 0;
  for (const LevelSample& s : samples) {
    if (s.period != last && run > 0) {
      counts[last] += run;
      run = 0;
    }
    last = s.period;
    ++run;
  }
  if (run > 0) counts[last] += run;
  std::int64_t best = 1;
  std::size_t best_count = 0;
  for (const auto& [period, count] : counts) {
    if (count > best_count) {
      best = period;
      best_count = count;
    }
  }
  return best;
}

}  // namespace

namespace {

// ListLevels appending to `out`, which may hold other lists' records before.
void AppendListLevels(const NamedList& named, std::vector<LevelSample>& out,
                      std::size_t& set_back) {
  const RecordList& list = *named.list;
  const std::size_t begin = out.size();
  out.reserve(begin + list.size());
  set_back = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::optional<std::int64_t> time = ParseClockText(list.date_time(i));
    if (!time) {
      throw AssessmentError(Quoted(named.name) + ": record " + std::to_string(i + 1) +
                            " has no time that can be read (" + Quoted(list.date_time(i)) +
                            "); times must read yyyy/mm/dd hh:nn:ss");
    }
    const std::optional<LevelSample> sample = LevelSampleOf(*time, list.level(i), 1);
    if (!sample) {
      throw AssessmentError(Quoted(named.name) + ": record " + std::to_string(i + 1) +
                            " holds no level (" + Quoted(list.level(i)) + ")");
    }
    if (out.size() > begin && sample->time < out.back().time) ++set_back;
    out.push_back(*sample);
  }
  const auto first = out.begin() + static_cast<std::ptrdiff_t>(begin);
  if (set_back > 0) {
    std::stable_sort(first, out.end(),
                     [](const LevelSample& a, const LevelSample& b) { return a.time < b.time; });
  }
  const auto period = static_cast<std::int32_t>(ListPeriod(
      std::span<const LevelSample>(out.data() + begin, out.size() - begin), list.header()));
  for (auto it = first; it != out.end(); ++it) it->period = period;
}

}  // namespace

std::optional<LevelSample> LevelSampleOf(std::int64_t time, std::string_view level_text,
                                         std::int32_t period) {
  const ClassifiedLevel level = ClassifyLevel(level_text);
  if (level.kind == LevelKind::kNoNumber) return std::nullopt;
  LevelSample sample;
  sample.time = time;
  sample.level = level.value;
  sample.fine = static_cast<std::int16_t>(level.fine);
  sample.kind = KindOf(level.kind);
  sample.energy = level.value == level.fine / 10.0 ? ClassEnergies()[level.fine]
                                                   : std::pow(10.0, level.value / 10.0);
  sample.period = period;
  return sample;
}

std::vector<LevelSample> ListLevels(const NamedList& named, std::size_t& set_back) {
  std::vector<LevelSample> out;
  AppendListLevels(named, out, set_back);
  return out;
}

std::int64_t ListPeriod(std::span<const LevelSample> samples, const ListHeader& header) {
  if (samples.size() >= 2) return SamplePeriod(samples);
  if (header.kind != ListKind::kPlain) {
    const std::optional<long long> stated = ParseInteger(Trimmed(header.second_value));
    if (stated && *stated > 0 && *stated <= kSecondsPerDay) return *stated;
  }
  return 1;
}

namespace {

// "A", "C"; "F", "S", "I": the letters a descriptor takes from a header's texts.
std::string FrequencyLetter(std::string_view text) {
  const std::string_view t = Trimmed(text);
  return t == "A" || t == "C" || t == "Z" ? std::string(t) : std::string();
}

std::string TimeLetter(std::string_view text) {
  const std::string_view t = Trimmed(text);
  if (t == "FAST") return "F";
  if (t == "SLOW") return "S";
  if (t == "IMP") return "I";
  return {};
}

}  // namespace

std::string MixedWeightingsText(const std::string& difference) {
  return "these files were measured differently and are not assessed together: " + difference;
}

Descriptors DescriptorsOf(std::span<const ListHeader> headers) {
  std::optional<Descriptors> common;
  for (const ListHeader& header : headers) {
    if (header.kind == ListKind::kPlain) return {};
    const Descriptors d{FrequencyLetter(header.frequency_weighting),
                        TimeLetter(header.time_weighting)};
    if (common && (common->frequency != d.frequency || common->time != d.time)) return {};
    common = d;
  }
  return common.value_or(Descriptors{});
}

namespace {

// A list's records within the records read, in the order read.
struct Part {
  std::size_t begin;
  std::size_t end;
  const std::string* name;
};

// The lists' records in time order, refusing lists that overlap.
void PutInTimeOrder(std::vector<LevelSample> read, std::vector<Part> parts,
                    MeasuredLevels& levels) {
  std::sort(levels.periods.begin(), levels.periods.end());
  levels.periods.erase(std::unique(levels.periods.begin(), levels.periods.end()),
                       levels.periods.end());
  std::sort(parts.begin(), parts.end(),
            [&](const Part& a, const Part& b) { return read[a.begin].time < read[b.begin].time; });
  for (std::size_t k = 1; k < parts.size(); ++k) {
    const Part& before = parts[k - 1];
    const Part& after = parts[k];
    if (read[after.begin].time <= read[before.end - 1].time) {
      throw AssessmentError(OverlapText(*before.name, read[before.begin].time,
                                        read[before.end - 1].time, *after.name,
                                        read[after.begin].time, read[after.end - 1].time));
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
  levels.period = MostCommonPeriod(levels.samples);
}

}  // namespace

std::string WeightingDifference(const ListHeader& x, const std::string& x_name, const ListHeader& y,
                                const std::string& y_name) {
  if (x.kind == ListKind::kPlain || y.kind == ListKind::kPlain) return {};
  std::string differs;
  auto compare = [&](const char* what, const std::string& p, const std::string& q) {
    if (Trimmed(p) == Trimmed(q)) return;
    differs += (differs.empty() ? "" : ", ") + std::string(what) + " " + std::string(Trimmed(p)) +
               " in " + Quoted(x_name) + " and " + std::string(Trimmed(q)) + " in " +
               Quoted(y_name);
  };
  compare("frequency weighting", x.frequency_weighting, y.frequency_weighting);
  compare("time weighting", x.time_weighting, y.time_weighting);
  return differs;
}

std::string WeightingDifference(const NamedList& a, const NamedList& b) {
  return WeightingDifference(a.list->header(), a.name, b.list->header(), b.name);
}

MeasuredLevels MergeLevels(std::span<const NamedList> lists, MixedWeightings mixed) {
  if (mixed == MixedWeightings::kRefuse) {
    for (std::size_t k = 1; k < lists.size(); ++k) {
      const std::string differs = WeightingDifference(lists[0], lists[k]);
      if (!differs.empty()) throw AssessmentError(MixedWeightingsText(differs));
    }
  }
  std::size_t total = 0;
  for (const NamedList& named : lists) total += named.list->size();
  std::vector<LevelSample> read;
  read.reserve(total);
  std::vector<Part> parts;
  MeasuredLevels levels;
  for (const NamedList& named : lists) {
    const std::size_t begin = read.size();
    std::size_t back = 0;
    AppendListLevels(named, read, back);
    if (back > 0) levels.set_back.push_back({named.name, back});
    levels.out_of_order += back;
    if (read.size() > begin) {
      parts.push_back({begin, read.size(), &named.name});
      levels.periods.push_back(read[begin].period);
    }
  }
  PutInTimeOrder(std::move(read), std::move(parts), levels);
  return levels;
}

ReadLevels ReadLevelsOf(const NamedList& named) {
  ReadLevels read{named.name, named.list->header(), named.list->size(), {}, 0};
  AppendListLevels(named, read.samples, read.set_back);
  return read;
}

MeasuredLevels MergeLevels(std::vector<ReadLevels>& lists, MixedWeightings mixed) {
  if (mixed == MixedWeightings::kRefuse) {
    for (std::size_t k = 1; k < lists.size(); ++k) {
      const std::string differs =
          WeightingDifference(lists[0].header, lists[0].name, lists[k].header, lists[k].name);
      if (!differs.empty()) throw AssessmentError(MixedWeightingsText(differs));
    }
  }
  std::size_t total = 0;
  for (const ReadLevels& list : lists) total += list.samples.size();
  std::vector<LevelSample> read;
  read.reserve(total);
  std::vector<Part> parts;
  MeasuredLevels levels;
  for (ReadLevels& list : lists) {
    const std::size_t begin = read.size();
    read.insert(read.end(), list.samples.begin(), list.samples.end());
    list.samples = {};
    if (list.set_back > 0) levels.set_back.push_back({list.name, list.set_back});
    levels.out_of_order += list.set_back;
    if (read.size() > begin) {
      parts.push_back({begin, read.size(), &list.name});
      levels.periods.push_back(read[begin].period);
    }
  }
  PutInTimeOrder(std::move(read), std::move(parts), levels);
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
