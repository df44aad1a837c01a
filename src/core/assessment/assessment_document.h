#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/assessment_tables.h"
#include "files/exclusions_file.h"

// One measurement as the Assessment window holds it: its lists merged, the
// stretches left out with their side files, and the figures and tables of a
// choice of settings. Everything here is the window's logic without Qt.
namespace slm {

// The interval lengths the window offers, and their captions.
inline constexpr std::array<std::int64_t, 5> kIntervalChoices = {60, 300, 900, 3600, 86400};
std::string IntervalCaption(std::int64_t seconds);  // "1 min", "15 min", "1 h", "1 day"

// A stretch of the records' clock, `to` not included.
struct Stretch {
  std::int64_t from = 0;
  std::int64_t to = 0;
};

// The rows whose stretch holds `time`, if any.
std::optional<std::size_t> IntervalAt(const Assessment& a, std::int64_t interval, double time);
std::optional<std::size_t> EventAt(const Assessment& a, double time);
Stretch IntervalStretch(const Assessment& a, std::int64_t interval, std::size_t row);
Stretch EventStretch(const Assessment& a, std::size_t row);
// The stretch of a drag from `x0` to `x1` (either way), in whole seconds.
Stretch DraggedStretch(double x0, double x1);

// The figures of one choice of settings, with their tables.
struct AssessmentFigures {
  AssessmentSettings settings;
  Assessment assessment;
  AssessmentTables tables;
};
AssessmentFigures ComputeFigures(const MeasuredLevels& levels, const AssessmentSettings& settings,
                                 const AssessedLists& lists = {});

// Where each file's records lie, so that a stretch left out goes to the side
// file of the files it touches.
struct FileStretch {
  std::string path;
  Stretch records;  // from the first record to a period after the last
};

// The stretches of each file's side file: every stretch goes to each file
// whose records it touches, and one that touches none to the nearest file,
// so that every stretch is kept somewhere.
std::vector<std::vector<Exclusion>> SplitExclusions(const std::vector<Exclusion>& exclusions,
                                                    const std::vector<FileStretch>& files);
// The stretches of several side files as one set: each once, in time order.
std::vector<Exclusion> GatherExclusions(const std::vector<std::vector<Exclusion>>& per_file);

class AssessmentDocument {
 public:
  // `lists` named by their files' paths when `saved`, else by a caption (a
  // downloaded set): its stretches left out are then kept for the window only.
  // Throws AssessmentError as MergeLevels does (overlapping files name both).
  AssessmentDocument(std::span<const NamedList> lists, bool saved);
  // The same of lists already read (ReadLevelsOf), whose text is gone.
  AssessmentDocument(std::vector<ReadLevels> lists, bool saved);

  std::shared_ptr<const MeasuredLevels> levels() const { return levels_; }
  const std::vector<AssessedFile>& files() const { return files_; }
  // The figures' names and what the files tell beside their records.
  const AssessedLists& lists() const { return lists_; }
  bool saved() const { return saved_; }
  // "Assessment - day1.dlgr" or "Assessment - day1.dlgr ... day7.dlgr".
  std::string Title() const;

  // The stretches of the side files; "" or what could not be read. A side
  // file that could not be read is never written over, so that nothing in
  // it is lost: its stretches are then kept in the window only.
  std::string ReadSideFiles();
  // The stretches left out, in time order.
  const std::vector<Exclusion>& exclusions() const { return exclusions_; }
  // Looks for the calibrator's tones at the ends of the measurement, keeps
  // the check for the figures (lists().calibration), and leaves out each
  // tone not left out yet, as Add does; "" or why the side files could not
  // be written. A tone removed stays in until the measurement is opened
  // again.
  std::string CheckCalibration(const CalibrationSettings& settings = {});
  // Each change is made to the side files at once, to what they hold then
  // (another window or program may have changed them since they were read:
  // its stretches are kept and show here from now on); each returns "" or
  // why they could not be written (the change stays in the window).
  std::string Add(Exclusion exclusion);
  std::string SetReason(std::size_t index, std::string reason);
  std::string Remove(std::size_t index);

 private:
  std::string Change(const std::function<void(std::vector<Exclusion>&)>& change);
  std::string Write();

  std::shared_ptr<const MeasuredLevels> levels_;
  std::vector<AssessedFile> files_;  // in time order
  AssessedLists lists_;
  std::vector<FileStretch> stretches_;
  std::vector<bool> unreadable_;  // of each file: its side file could not be read
  bool saved_ = false;
  std::vector<Exclusion> exclusions_;
};

}  // namespace slm
