#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "assessment/assessment_levels.h"
#include "files/exclusions_file.h"

// The calibration field check of a survey. A survey starts and ends with a
// calibrator on the microphone: a steady tone at a known level (94.0 or
// 114.0 dB) for tens of seconds. The two tones are found in the records, and
// how far the second reads from the first (the drift) tells how far the
// meter's figures between them may be off.
//
// How the tones are found:
//
// - Only records of SampleKind::kLevel count. A paused, under-range or
//   over-range record ends a stretch of records, and so does a gap: the next
//   record later than a record's period after it.
// - A steady window is a stretch of such records whose highest and lowest
//   level differ by at most `spread`. A maximal steady window is one that
//   cannot grow by a record at either end and stay steady. They are found by
//   growing a window record by record; when a record would break the spread,
//   the window so far is a maximal one, and the next window starts from the
//   earliest record that makes it steady again together with that record. So
//   maximal windows may overlap, and both their first and their last records
//   move on from one to the next.
// - A window qualifies as a tone when its records' periods add up to at least
//   `min_length` seconds and its Leq (the energetic mean, each record
//   weighing its period) lies within `near` of one of the `nominal` levels.
// - The start tone: of the qualifying windows that start (first record's
//   time) at most `search` seconds after the first record of the survey, the
//   first ones form a chain where each window shares a record with the one
//   before it; the longest of that chain is the tone, the earliest of equally
//   long ones. A window may go on past the part searched.
// - The end tone is found the same way from the end: windows that end (last
//   record's time + its period) at most `search` seconds before the survey
//   ends (its last record's time + period), the last chain, its longest
//   window, the latest of equally long ones.
// - One tone cannot be both: when the end tone shares a record with the start
//   tone (a short survey, or one that is all tone), only the start is found.
//
// Levels are compared with a margin of 1e-9 dB, as 94.4 - 94.1 is not exactly
// 0.3 in binary. Only the records within `search` of either end, and the
// tones reaching past them, are read, so a year of records costs no more than
// an hour.
namespace slm {

// The reason the exclusions of the tones give.
inline constexpr std::string_view kCalibrationReason = "calibration check";

struct CalibrationSettings {
  std::vector<double> nominal = {94.0, 114.0};  // the calibrator's levels, dB
  double near = 1.0;                            // dB: how far from a nominal level a tone may read
  double spread = 0.3;           // dB: highest minus lowest record of a steady tone, at most
  std::int64_t min_length = 10;  // seconds a tone lasts at least
  std::int64_t search = 600;     // seconds after the first record (before the end) a tone starts
  double drift_limit = 0.5;      // dB: |end - start| within this passes
};

struct CalibrationTone {
  std::int64_t from = 0;  // its first record
  std::int64_t to = 0;    // a period after its last record
  double level = 0;       // its Leq (energetic mean, each record weighing its period), dB
};

struct CalibrationCheck {
  std::optional<CalibrationTone> start;
  std::optional<CalibrationTone> end;
  std::optional<double> drift;  // end.level - start.level, when both were found
  bool within = false;          // drift found and |drift| <= drift_limit
};

// The tones at the start and the end of a survey, as told above. `samples`
// in time order (MergeLevels). Throws AssessmentError when the settings
// cannot be used (CalibrationProblem).
CalibrationCheck FindCalibration(std::span<const LevelSample> samples,
                                 const CalibrationSettings& settings);

// The tones found, as stretches left out of the assessment with the reason
// kCalibrationReason.
std::vector<Exclusion> CalibrationExclusions(const CalibrationCheck& check);

// Why the settings cannot be used, or "".
std::string CalibrationProblem(const CalibrationSettings& settings);

// One line for people: "Calibration check: 94.1 dB at the start
// (2024/05/01 08:00:03, 32 s), 94.3 dB at the end (...), drift +0.2 dB,
// within 0.5 dB.", or which tone was not found.
std::string CalibrationText(const CalibrationCheck& check, const CalibrationSettings& settings);

}  // namespace slm
