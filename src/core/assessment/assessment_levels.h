#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
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

// A list whose clock was set back: records came earlier than the record
// before them. They are taken in time order with the rest.
struct ClockSetBack {
  std::string name;
  std::size_t records = 0;  // records earlier than the one before them
};

struct MeasuredLevels {
  std::vector<LevelSample> samples;   // in time order
  std::int64_t period = 1;            // the sample period of most records, seconds
  std::vector<std::int64_t> periods;  // every file's sample period, each once, ascending
  std::vector<ClockSetBack> set_back;
  std::size_t out_of_order = 0;  // records earlier than the one before them, in all lists
};

// How to take lists whose meters were set differently.
enum class MixedWeightings : std::uint8_t {
  kRefuse,  // throw AssessmentError naming both files and what differs
  kAllow,   // take them together: MixedWeightingsText says what differs
};

// The weightings of lists that may be assessed together; what differs
// between `a` and `b` ("frequency weighting A in ... and C in ...") or ""
// when nothing does. A plain list says nothing of its weightings and goes
// with any.
std::string WeightingDifference(const NamedList& a, const NamedList& b);
// The same of two lists' headers and names.
std::string WeightingDifference(const ListHeader& a, const std::string& a_name, const ListHeader& b,
                                const std::string& b_name);
// The refusal of lists whose weightings differ as `difference` says.
std::string MixedWeightingsText(const std::string& difference);

// The records of `lists` in time order, each weighing its own list's sample
// period. Throws AssessmentError naming the file and the record when a time
// is not "yyyy/mm/dd hh:nn:ss" or a level is no level, naming both files when
// two lists' time ranges overlap, and (unless allowed) when two lists were
// measured with another frequency or time weighting.
MeasuredLevels MergeLevels(std::span<const NamedList> lists,
                           MixedWeightings mixed = MixedWeightings::kRefuse);

// One list's levels as read for the assessment, without its records' text:
// a year of files is read one at a time and keeps only this of each.
struct ReadLevels {
  std::string name;
  ListHeader header;
  std::size_t records = 0;
  std::vector<LevelSample> samples;  // in time order
  std::size_t set_back = 0;          // records earlier than the one before them
};
// Throws AssessmentError as ListLevels does.
ReadLevels ReadLevelsOf(const NamedList& named);
// MergeLevels of lists already read; each list's samples are let go as they
// are merged.
MeasuredLevels MergeLevels(std::vector<ReadLevels>& lists,
                           MixedWeightings mixed = MixedWeightings::kRefuse);

// A record as the assessment counts it: its time, its level text as a file
// holds it and the seconds it stands for; nothing when the text is no level.
std::optional<LevelSample> LevelSampleOf(std::int64_t time, std::string_view level_text,
                                         std::int32_t period);

// The records of one list in time order (a clock set back is counted in
// `set_back`), each weighing the list's sample period: the most common step
// between its records, or the period its header gives when it has a single
// record. Throws AssessmentError as MergeLevels does.
std::vector<LevelSample> ListLevels(const NamedList& named, std::size_t& set_back);

// A list's sample period: the most common step between its records'
// times; for a single record, the period its header gives, else 1.
std::int64_t ListPeriod(std::span<const LevelSample> samples, const ListHeader& header);

// "LAeq", "LAFmax", "LAF90": the names of the figures of lists measured with
// one frequency and one time weighting; plain "Leq", "Lmax", "L90" when the
// lists do not say or differ.
struct Descriptors {
  std::string frequency;  // "A", "C" or ""
  std::string time;       // "F", "S", "I" or ""
  std::string Leq() const { return "L" + frequency + "eq"; }
  std::string Lmax() const { return "L" + frequency + time + "max"; }
  std::string Lmin() const { return "L" + frequency + time + "min"; }
  std::string LN(int n) const { return "L" + frequency + time + std::to_string(n); }
  std::string Sel() const { return frequency.empty() ? "SEL" : "L" + frequency + "E"; }
};
Descriptors DescriptorsOf(std::span<const ListHeader> headers);

// The most common whole-second step between consecutive times (the smallest
// of equally common ones), and at least 1.
std::int64_t SamplePeriod(std::span<const LevelSample> samples);

}  // namespace slm
