#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Stretches of a measurement left out of its assessment, kept in a small text
// file beside the data file so that the data file itself never changes. The
// side file of "day1.dlgr" is "day1.dlgr.exclusions":
//
//   # Stretches of day1.dlgr left out of its assessment.
//   2024/05/01 10:15:00..2024/05/01 10:17:30 siren passing
//   2024/05/01 12:00:00..2024/05/01 12:05:00
//
// One stretch a line: its first and its end time on the records' clock as
// "yyyy/mm/dd hh:nn:ss", joined by "..", then an optional reason. A record at
// the first time is left out, one at the end time is not. Lines that begin
// with "#" and empty lines are comments.
namespace slm {

struct Exclusion {
  std::int64_t from = 0;  // seconds (base/calendar.h)
  std::int64_t to = 0;    // after `from`
  std::string reason;

  friend bool operator==(const Exclusion&, const Exclusion&) = default;
};

// "FROM..TO [reason]" as a line of the side file or an --exclude text holds
// it. Nothing, and the reason in `problem`, when it has another form or ends
// no later than it starts.
std::optional<Exclusion> ParseExclusion(std::string_view text, std::string& problem);

// The line of one stretch: "FROM..TO reason".
std::string ExclusionText(const Exclusion& exclusion);

// "FILE.exclusions", beside FILE.
std::string ExclusionsPathFor(const std::string& data_path);

// The stretches of a side file; none when there is no such file. Throws
// DataFileError naming the file, and the line when one cannot be read.
std::vector<Exclusion> ReadExclusions(const std::string& path);

// Writes the side file of `data_path` (a temporary file renamed over it), or
// removes it when there is nothing to keep. Throws DataFileError.
void WriteExclusions(const std::string& data_path, const std::vector<Exclusion>& exclusions);

}  // namespace slm
