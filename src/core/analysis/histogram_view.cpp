#include "analysis/histogram_view.h"

#include <numeric>

#include "base/number_text.h"

namespace slm {

namespace {

std::string Records(std::int64_t n) {
  return WholeNumberText(n) + (n == 1 ? " record" : " records");
}

const char* ClassWidth(StatResolution resolution) {
  return resolution == StatResolution::kTenth ? "0.1 dB" : "1 dB";
}

// Records that fell into a class: all but those marked "*".
std::int64_t Classed(const LevelStatistics& stats, StatResolution resolution) {
  const std::vector<std::int64_t>& counts = stats.Counts(resolution);
  return std::accumulate(counts.begin(), counts.end(), std::int64_t{0});
}

}  // namespace

std::string NothingToCountMessage(const LevelStatistics& stats, StatResolution resolution) {
  if (stats.record_count == 0) return "The list holds no records, so there is no level to count.";
  const std::vector<std::int64_t>& counts = stats.Counts(resolution);
  const std::int64_t paused =
      static_cast<std::int64_t>(stats.record_count) - Classed(stats, resolution);
  // The histogram draws from the first class up; class 0 holds what is below it.
  const std::int64_t below = counts.empty() ? 0 : counts[0];
  std::string text = "The list holds no level to count: ";
  if (paused > 0) text += Records(paused) + " marked \"*\" (paused)";
  if (paused > 0 && below > 0) text += " and ";
  if (below > 0) {
    text += Records(below) + " below " + ClassWidth(resolution) + " or without a number";
  }
  return text + ".";
}

std::string HistogramTitleLine(std::string_view source, const LevelStatistics& stats,
                               StatResolution resolution) {
  std::string line(source);
  if (!line.empty()) line += " - ";
  line += "Histogram, ";
  line += ClassWidth(resolution);
  line += " classes - " + WholeNumberText(Classed(stats, resolution)) + " of " +
          Records(static_cast<std::int64_t>(stats.record_count)) + " counted";
  return line;
}

std::vector<std::string> LnTableLines(const LnTable& ln) {
  constexpr std::size_t kCell = 7;
  std::vector<std::string> rows = LnGridRows(ln);
  std::string header;
  for (const std::string& cell : LnGridHeader()) header += cell + '\t';
  rows.insert(rows.begin(), header);
  std::vector<std::string> lines;
  for (const std::string& row : rows) {
    std::string line;
    std::size_t start = 0;
    while (start <= row.size()) {
      const std::size_t tab = std::min(row.find('\t', start), row.size());
      std::string cell = row.substr(start, tab - start);
      cell.resize(std::max(kCell, cell.size() + 1), ' ');
      line += cell;
      start = tab + 1;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace slm
