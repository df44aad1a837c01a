#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/level_statistics.h"

// What the histogram windows say besides their graph.
namespace slm {

// What the histogram says when the statistics counted nothing, naming why:
// no records, records marked "*" (paused), levels below the first class of
// the resolution (texts that are no number count as 0 dB), or both.
std::string NothingToCountMessage(const LevelStatistics& stats, StatResolution resolution);

// The title line of a printed histogram: the file when known, the class
// width and how many records were counted
// ("day1.dlgr - Histogram, 0.1 dB classes - 340000 of 348000 records counted").
std::string HistogramTitleLine(std::string_view source, const LevelStatistics& stats,
                               StatResolution resolution);

// The Ln table as aligned lines of text: the grid's header, then its rows.
std::vector<std::string> LnTableLines(const LnTable& ln);

}  // namespace slm
