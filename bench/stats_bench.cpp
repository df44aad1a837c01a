// The "0.1 dB" and "1 dB" buttons on a full list: 348000 records, classes,
// range and percentiles, must take at most 10 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "analysis/level_statistics.h"

namespace slm {
namespace {

// A full list of levels with a decimal each, a few marked, under and over range.
const RecordList& FullList() {
  static const RecordList list = [] {
    RecordList l;
    l.Reserve(kMaxRecords, kMaxRecords * 32);
    char level[16];
    for (std::size_t i = 1; i <= kMaxRecords; ++i) {
      if (i % 997 == 0) {
        std::snprintf(level, sizeof level, "--");
      } else if (i % 1009 == 0) {
        std::snprintf(level, sizeof level, "L");
      } else {
        std::snprintf(level, sizeof level, "%zu.%zu%s", 40 + i * 7 % 60, i % 10,
                      i % 101 == 0 ? "*" : "");
      }
      l.Append(std::to_string(i), "2016/03/27 14:00:00", level);
    }
    return l;
  }();
  return list;
}

void BM_LevelStatistics(benchmark::State& state) {
  const RecordList& list = FullList();
  const auto resolution = state.range(0) == 0 ? StatResolution::kTenth : StatResolution::kWhole;
  const LnSource source = LnSourceFor(false, resolution);
  LnTable ln;
  std::size_t captions = 0;
  for (auto _ : state) {
    const LevelStatistics stats = ComputeLevelStatistics(list, resolution, source, ln,
                                                         [&](const std::string&) { ++captions; });
    benchmark::DoNotOptimize(stats.class_high);
  }
  state.counters["records"] = static_cast<double>(list.size());
  benchmark::DoNotOptimize(captions);
}
BENCHMARK(BM_LevelStatistics)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace slm
