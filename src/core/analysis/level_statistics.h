#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/progress.h"
#include "files/record.h"

// The level distribution and the percentile levels L0 to L99 of a record
// list, as the list windows' "0.1 dB" and "1 dB" buttons compute them.
namespace slm {

inline constexpr int kStatFineClasses = 1451;   // class k is k / 10 dB, 0.0 to 145.0
inline constexpr int kStatCoarseClasses = 146;  // class k is k dB, 0 to 145

// The button pressed: "0.1 dB" or "1 dB".
enum class StatResolution { kTenth, kWhole };

// Which table the percentiles come from: a memory set's window takes the
// fine table for both buttons, a PC recording's window the table of the
// button pressed.
enum class LnSource { kFine, kCoarse };
LnSource LnSourceFor(bool memory_set_window, StatResolution resolution);

// L0 to L99 as texts ("85.3" from the fine table, "85" from the coarse one).
// It lives as long as the program: an entry a run cannot reach keeps the
// value of an earlier run (empty before the first).
using LnTable = std::array<std::string, 100>;

struct LevelStatistics {
  std::vector<std::int64_t> fine;    // kStatFineClasses counts
  std::vector<std::int64_t> coarse;  // kStatCoarseClasses counts
  // False when the list holds no countable record (no rows, or only rows
  // marked "*"): no class range, and the percentiles were not computed.
  bool counted = false;
  int class_low = 0;             // ClassLow: lowest non-empty class from 1 up, in the
  int class_high = 0;            // ClassHigh: highest, of the chosen resolution's table
  std::size_t record_count = 0;  // StatRecordCount: every data row, counted or not
  // The table of the chosen resolution, as the histogram draws it.
  const std::vector<std::int64_t>& Counts(StatResolution resolution) const {
    return resolution == StatResolution::kTenth ? fine : coarse;
  }
};

// Called a few times a second with the progress caption ("37.5% Completed"),
// and always with the last one ("100.0% Completed").
using StatsProgressFn = std::function<void(const std::string& caption)>;

// Classifies every level of `list` (first rule that applies):
//   contains "*": not counted;
//   contains "-": 25.0 dB (fine 250, coarse 25);
//   contains "L" or a value of 145 or more: fine 1450, coarse 145;
//   else value v: fine round(v x 10) with halves to even, coarse int(v).
// Then, when anything was counted, sets the entries of `ln` it can reach:
// entry 100 - p is the first class of the `source` table at which the
// running count exceeds N x (p - 0.5) / 100 (strictly), for p = 1..100.
LevelStatistics ComputeLevelStatistics(const RecordList& list, StatResolution resolution,
                                       LnSource source, LnTable& ln,
                                       const StatsProgressFn& progress = {});

// As above, with the throttle that decides when a caption is due (the one
// above uses a ProgressThrottle of kProgressInterval on the steady clock).
// The throttle is asked every kStatsProgressRows rows; the last row's
// caption is given whatever it says.
inline constexpr std::size_t kStatsProgressRows = 4096;
LevelStatistics ComputeLevelStatistics(const RecordList& list, StatResolution resolution,
                                       LnSource source, LnTable& ln,
                                       const StatsProgressFn& progress, ProgressThrottle& throttle);

// How the statistics take one level text, by the first rule that applies.
enum class LevelKind {
  kPaused,      // contains "*": not counted
  kUnderRange,  // contains "-": 25.0 dB
  kOverRange,   // contains "L", or a value of 145 or more: 145.0 dB
  kLevel,       // its leading number
  kNoNumber,    // none of these: counted as 0 dB
};
struct ClassifiedLevel {
  LevelKind kind = LevelKind::kPaused;
  double value = 0;  // dB as counted
  int fine = 0;      // 0.1 dB class
  int coarse = 0;    // 1 dB class
};
ClassifiedLevel ClassifyLevel(std::string_view text);

// L(N) as classes of a table of `counts` that holds `n` levels, for each N of
// `percents` (0 to 99, at most 100 of them, in any order): the first class at
// which the running count exceeds n x (p - 0.5) / 100, where p = 100 - N; -1
// where the table ends first. One walk up the table serves them all.
void PercentileClasses(std::span<const std::int64_t> counts, std::size_t n,
                       std::span<const int> percents, std::span<int> classes);

// The fine class of a level value from 0 up to below 145:
// ten times its value rounded, halves to even, as its decimal digits say
// ("85.25" -> 852, "85.35" -> 854, "85.3" -> 853).
int FineClassOf(double value);

// The Ln grid: its header texts ("Ln", " 0" .. " 9") and its ten rows, each
// "L(q0)" then a tab and entry 10q + r for r = 0..9.
const std::array<std::string, 11>& LnGridHeader();
std::vector<std::string> LnGridRows(const LnTable& ln);

}  // namespace slm
