#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/record.h"

// The levels of one or more record lists as the assessment of a long
// measurement takes them: each record with its time in seconds of the
// records' own clock (base/calendar.h) and its level classed as the list
// statistics class it, merged in time order.
namespace slm {

// Lists or settings the assessment cannot take; the message says why, naming
// the file.
class AssessmentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class SampleKind : std::uint8_t {
  kLevel,
  kUnderRange,  // "--": counted as 25.0 dB
  kOverRange,   // over range: counted as 145.0 dB
  kPaused,      // marked "*": not counted
};

struct LevelSample {
  std::int64_t time = 0;  // seconds on the records' clock
  double level = 0;       // dB as counted
  double energy = 0;      // 10^(level / 10)
  std::int16_t fine = 0;  // the 0.1 dB class of the list statistics
  SampleKind kind = SampleKind::kLevel;
  std::int32_t period = 1;  // seconds this record stands for: its file's sample period
};

// A list to assess and the name its messages give it (its file's path).
struct NamedList {
  const RecordList* list = nullptr;
  std::string name;
};

struct MeasuredLevels {
  std::vector<LevelSample> samples;  // in time order
  std::int64_t period = 1;           // the sample period p in seconds
  // Records that came earlier than the record before them in their list (a
  // clock set back): they are taken in time order with the rest.
  std::size_t out_of_order = 0;
};

// The records of `lists` in time order. Throws AssessmentError naming the
// file and the record when a time is not "yyyy/mm/dd hh:nn:ss" or a level is
// no level, and naming both files when two lists' time ranges overlap.
MeasuredLevels MergeLevels(std::span<const NamedList> lists);

// The most common whole-second step between consecutive times (the smallest
// of equally common ones), and at least 1.
std::int64_t SamplePeriod(std::span<const LevelSample> samples);

}  // namespace slm
