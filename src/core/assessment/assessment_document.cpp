#include "assessment/assessment_document.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>

#include "base/calendar.h"
#include "base/text_excerpt.h"
#include "files/file_io.h"

namespace slm {

namespace {

// A reason as its side file gives it back: one line, no blanks around it.
std::string OneLine(std::string reason) {
  for (char& c : reason) {
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  }
  return std::string(Trimmed(reason));
}

bool Earlier(const Exclusion& x, const Exclusion& y) {
  return x.from != y.from ? x.from < y.from : x.to != y.to ? x.to < y.to : x.reason < y.reason;
}

std::string FileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

}  // namespace

std::string IntervalCaption(std::int64_t seconds) {
  if (seconds % 86400 == 0) return std::to_string(seconds / 86400) + " day";
  if (seconds % 3600 == 0) return std::to_string(seconds / 3600) + " h";
  if (seconds % 60 == 0) return std::to_string(seconds / 60) + " min";
  return std::to_string(seconds) + " s";
}

std::optional<std::size_t> IntervalAt(const Assessment& a, std::int64_t interval, double time) {
  const auto it = std::upper_bound(
      a.intervals.begin(), a.intervals.end(), time,
      [](double t, const IntervalLevels& row) { return t < static_cast<double>(row.start); });
  if (it == a.intervals.begin()) return std::nullopt;
  const std::size_t row = static_cast<std::size_t>(it - a.intervals.begin()) - 1;
  if (time >= static_cast<double>(a.intervals[row].start + interval)) return std::nullopt;
  return row;
}

std::optional<std::size_t> EventAt(const Assessment& a, double time) {
  const auto it = std::upper_bound(
      a.events.begin(), a.events.end(), time,
      [](double t, const ExceedanceEvent& e) { return t < static_cast<double>(e.start); });
  if (it == a.events.begin()) return std::nullopt;
  const std::size_t row = static_cast<std::size_t>(it - a.events.begin()) - 1;
  if (time >= static_cast<double>(a.events[row].end)) return std::nullopt;
  return row;
}

Stretch IntervalStretch(const Assessment& a, std::int64_t interval, std::size_t row) {
  if (row >= a.intervals.size()) return {};
  return {a.intervals[row].start, a.intervals[row].start + interval};
}

Stretch EventStretch(const Assessment& a, std::size_t row) {
  if (row >= a.events.size()) return {};
  return {a.events[row].start, a.events[row].end};
}

Stretch DraggedStretch(double x0, double x1) {
  const std::int64_t from = static_cast<std::int64_t>(std::floor(std::min(x0, x1)));
  const std::int64_t to = static_cast<std::int64_t>(std::ceil(std::max(x0, x1)));
  return {from, std::max(to, from + 1)};
}

AssessmentFigures ComputeFigures(const MeasuredLevels& levels, const AssessmentSettings& settings,
                                 const AssessedLists& lists) {
  AssessmentFigures f;
  f.settings = settings;
  f.assessment = Assess(levels, settings);
  f.tables = BuildTables(f.assessment, settings, lists);
  return f;
}

std::vector<std::vector<Exclusion>> SplitExclusions(const std::vector<Exclusion>& exclusions,
                                                    const std::vector<FileStretch>& files) {
  std::vector<std::vector<Exclusion>> per_file(files.size());
  if (files.empty()) return per_file;
  for (const Exclusion& e : exclusions) {
    bool kept = false;
    std::size_t nearest = 0;
    std::int64_t distance = std::numeric_limits<std::int64_t>::max();
    for (std::size_t i = 0; i < files.size(); ++i) {
      const Stretch& r = files[i].records;
      if (e.from < r.to && e.to > r.from) {
        per_file[i].push_back(e);
        kept = true;
      }
      const std::int64_t away = e.to <= r.from ? r.from - e.to : e.from - r.to;
      if (away < distance) {
        distance = away;
        nearest = i;
      }
    }
    if (!kept) per_file[nearest].push_back(e);
  }
  return per_file;
}

std::vector<Exclusion> GatherExclusions(const std::vector<std::vector<Exclusion>>& per_file) {
  std::vector<Exclusion> all;
  for (const std::vector<Exclusion>& file : per_file)
    all.insert(all.end(), file.begin(), file.end());
  std::sort(all.begin(), all.end(), Earlier);
  all.erase(std::unique(all.begin(), all.end()), all.end());
  return all;
}

namespace {

std::vector<ReadLevels> ReadAll(std::span<const NamedList> lists) {
  std::vector<ReadLevels> read;
  for (const NamedList& named : lists) read.push_back(ReadLevelsOf(named));
  return read;
}

}  // namespace

AssessmentDocument::AssessmentDocument(std::span<const NamedList> lists, bool saved)
    : AssessmentDocument(ReadAll(lists), saved) {}

AssessmentDocument::AssessmentDocument(std::vector<ReadLevels> lists, bool saved) : saved_(saved) {
  for (const ReadLevels& list : lists) {
    files_.push_back({list.name, list.header, list.records});
    Stretch records;
    if (!list.samples.empty()) {
      records = {list.samples.front().time, list.samples.back().time + list.samples.back().period};
    }
    stretches_.push_back({list.name, records});
  }
  auto levels = std::make_shared<MeasuredLevels>(MergeLevels(lists));
  // The files in the order of their records, as the title and the report name them.
  std::vector<std::size_t> order(files_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [this](std::size_t x, std::size_t y) {
    return stretches_[x].records.from < stretches_[y].records.from;
  });
  std::vector<AssessedFile> files;
  std::vector<FileStretch> stretches;
  for (const std::size_t i : order) {
    files.push_back(files_[i]);
    stretches.push_back(stretches_[i]);
  }
  files_ = std::move(files);
  stretches_ = std::move(stretches);
  std::vector<ListHeader> headers;
  for (const AssessedFile& f : files_) headers.push_back(f.header);
  lists_.names = DescriptorsOf(headers);
  lists_.set_back = levels->set_back;
  levels_ = std::move(levels);
}

std::string AssessmentDocument::Title() const {
  if (files_.empty()) return "Assessment";
  std::string title = "Assessment - " + FileName(files_.front().path);
  if (files_.size() > 1) title += " ... " + FileName(files_.back().path);
  return title;
}

std::string AssessmentDocument::ReadSideFiles() {
  if (!saved_) return {};
  std::vector<std::vector<Exclusion>> per_file;
  std::string problems;
  unreadable_.assign(stretches_.size(), false);
  for (std::size_t i = 0; i < stretches_.size(); ++i) {
    try {
      per_file.push_back(ReadExclusions(ExclusionsPathFor(stretches_[i].path)));
    } catch (const DataFileError& e) {
      unreadable_[i] = true;
      problems += (problems.empty() ? "" : "\n") + std::string(e.what()) +
                  "\nIt is left as it is: what is left out here is not written to it.";
    }
  }
  per_file.push_back(exclusions_);
  exclusions_ = GatherExclusions(per_file);
  return problems;
}

namespace {

// One change of the stretches left out, as it applies to any set of them: the
// window's own, or what the side files hold by the time it is written.
using ExclusionChange = std::function<void(std::vector<Exclusion>&)>;

std::vector<Exclusion>::iterator Find(std::vector<Exclusion>& all, const Exclusion& stretch) {
  return std::find_if(all.begin(), all.end(), [&](const Exclusion& e) {
    return e.from == stretch.from && e.to == stretch.to;
  });
}

void Insert(std::vector<Exclusion>& all, const Exclusion& stretch) {
  if (Find(all, stretch) != all.end()) return;
  all.insert(std::upper_bound(all.begin(), all.end(), stretch, Earlier), stretch);
}

}  // namespace

std::string AssessmentDocument::CheckCalibration(const CalibrationSettings& settings) {
  lists_.calibration = FindCalibration(levels_->samples, settings);
  lists_.calibration_settings = settings;
  std::string problems;
  for (const Exclusion& tone : CalibrationExclusions(*lists_.calibration)) {
    const std::string problem = Add(tone);
    if (!problem.empty()) problems += (problems.empty() ? "" : "\n") + problem;
  }
  return problems;
}

std::string AssessmentDocument::Add(Exclusion exclusion) {
  exclusion.reason = OneLine(std::move(exclusion.reason));
  if (Find(exclusions_, exclusion) != exclusions_.end()) return {};
  return Change([&](std::vector<Exclusion>& all) { Insert(all, exclusion); });
}

std::string AssessmentDocument::SetReason(std::size_t index, std::string reason) {
  if (index >= exclusions_.size()) return {};
  Exclusion changed = exclusions_[index];
  changed.reason = OneLine(std::move(reason));
  // A stretch that another editor removed meanwhile comes back with its reason.
  return Change([&](std::vector<Exclusion>& all) {
    const auto it = Find(all, changed);
    if (it == all.end()) {
      Insert(all, changed);
    } else {
      it->reason = changed.reason;
    }
  });
}

std::string AssessmentDocument::Remove(std::size_t index) {
  if (index >= exclusions_.size()) return {};
  const Exclusion gone = exclusions_[index];
  return Change([&](std::vector<Exclusion>& all) {
    const auto it = Find(all, gone);
    if (it != all.end()) all.erase(it);
  });
}

std::string AssessmentDocument::Change(const ExclusionChange& change) {
  change(exclusions_);
  if (!saved_) return {};
  // Another window or program may have changed the side files since they
  // were read: under a lock that every editor takes, the change is made to
  // what they hold now, so that no stretch anyone added is lost.
  std::vector<std::size_t> order(stretches_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [this](std::size_t x, std::size_t y) {
    return stretches_[x].path < stretches_[y].path;
  });
  std::vector<std::unique_ptr<FileLock>> locks;
  std::vector<std::vector<Exclusion>> per_file;
  try {
    for (const std::size_t i : order) {
      locks.push_back(std::make_unique<FileLock>(stretches_[i].path, 5.0));
    }
    for (std::size_t i = 0; i < stretches_.size(); ++i) {
      if (i < unreadable_.size() && unreadable_[i]) continue;
      per_file.push_back(ReadExclusions(ExclusionsPathFor(stretches_[i].path)));
    }
  } catch (const DataFileError& e) {
    return std::string(e.what()) + "\nThe change is kept in this window only.";
  }
  std::vector<Exclusion> merged = GatherExclusions(per_file);
  change(merged);
  // What belongs to a side file that could not be read stays in the window.
  const std::vector<std::vector<Exclusion>> mine = SplitExclusions(exclusions_, stretches_);
  std::vector<std::vector<Exclusion>> kept = {merged};
  for (std::size_t i = 0; i < unreadable_.size(); ++i) {
    if (unreadable_[i]) kept.push_back(mine[i]);
  }
  exclusions_ = GatherExclusions(kept);
  return Write();
}

std::string AssessmentDocument::Write() {
  if (!saved_) return {};
  const std::vector<std::vector<Exclusion>> per_file = SplitExclusions(exclusions_, stretches_);
  std::string problems;
  for (std::size_t i = 0; i < stretches_.size(); ++i) {
    if (i < unreadable_.size() && unreadable_[i]) {
      problems += (problems.empty() ? "" : "\n") + ExclusionsPathFor(stretches_[i].path) +
                  " could not be read, so it is not written over.";
      continue;
    }
    try {
      WriteExclusions(stretches_[i].path, per_file[i]);
    } catch (const DataFileError& e) {
      problems += (problems.empty() ? "" : "\n") + std::string(e.what());
    }
  }
  return problems;
}

}  // namespace slm
