// `slmtool stats`: the level statistics of a data file as its list window's
// "0.1 dB" and "1 dB" buttons compute them.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/level_statistics.h"
#include "app/tool_common.h"
#include "files/data_file_reader.h"

namespace slm::tool {

namespace {

StatResolution ResolutionOf(const std::string& text) {
  if (text == "0.1") return StatResolution::kTenth;
  if (text == "1") return StatResolution::kWhole;
  throw std::runtime_error("--resolution takes 0.1 or 1, not \"" + text + "\"");
}

}  // namespace

int RunStats(const std::vector<std::string>& args) {
  const Options options(args, {"--resolution"}, {});
  if (options.positional().size() != 1) throw std::runtime_error("stats takes one FILE");
  const StatResolution resolution = ResolutionOf(options.Get("--resolution", "0.1"));
  const std::string& path = options.positional()[0];

  DataFile file;
  if (!ReadListFile("stats", path, file)) return 1;
  // A memory set opens in the memory-set window, anything else in the one
  // of PC recordings; the window decides where the percentiles come from.
  LnTable ln;
  const LevelStatistics stats = ComputeLevelStatistics(
      file.list, resolution, LnSourceFor(file.list.IsMemorySet(), resolution), ln);

  std::printf("StatRecordCount\t%zu\n", stats.record_count);
  if (!stats.counted) {
    std::fprintf(stderr, "slmtool stats: \"%s\": the list holds no level to count\n", path.c_str());
    return 1;
  }
  std::printf("ClassLow\t%d\nClassHigh\t%d\n", stats.class_low, stats.class_high);
  for (const std::string& row : LnGridRows(ln)) std::printf("%s\n", row.c_str());
  return 0;
}

}  // namespace slm::tool
