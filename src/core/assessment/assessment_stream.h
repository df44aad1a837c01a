#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "assessment/assessment_levels.h"
#include "files/data_file_reader.h"

// A long measurement read one file at a time: a year of daily files goes
// through the assessment without ever being in memory at once.
namespace slm {

// What the beginning of a list file tells: its header and its first
// record's time (nothing for a file without records).
struct ListFileStart {
  std::string path;
  ListHeader header;
  std::optional<std::int64_t> first;
};

// Reads the beginning of the file at `path`, as OpenDataFile reads the
// whole. Throws DataFileError as OpenDataFile does, AssessmentError when the
// first record's time cannot be read.
ListFileStart PeekListFile(const std::string& path);

// What differs between the weightings of the first file and each other,
// joined by "; "; "" when nothing does.
std::string WeightingDifferences(const std::vector<ListFileStart>& files);

// The files in the order of their first records (those without records
// last); throws AssessmentError naming two files measured with another
// frequency or time weighting unless `mixed` allows it.
std::vector<ListFileStart> InTimeOrder(std::vector<ListFileStart> files, MixedWeightings mixed);

// One file as the stream hands it on: as read (its records no longer kept),
// and its levels in time order.
struct StreamedList {
  std::size_t index = 0;  // in the files given
  DataFile file;
  std::vector<LevelSample> samples;
  std::size_t set_back = 0;  // records earlier than the one before them
};

// Reads `paths` (in time order) and hands each file's levels to `each`,
// reading the next file on a second thread meanwhile. Throws DataFileError
// for a file that cannot be read and AssessmentError as MergeLevels does: a
// level or a time that cannot be read, two files that overlap in time.
void StreamLists(std::span<const std::string> paths,
                 const std::function<void(StreamedList&)>& each);

// The message of two lists that overlap in time.
std::string OverlapText(const std::string& before, std::int64_t before_first,
                        std::int64_t before_last, const std::string& after,
                        std::int64_t after_first, std::int64_t after_last);

}  // namespace slm
