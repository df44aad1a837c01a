// The printed report of a full list: 348000 records, five to a line, some
// 70000 lines of text built before the first page is painted.
#include <benchmark/benchmark.h>

#include <string>

#include "analysis/list_report.h"

namespace slm {
namespace {

std::string TwoDigits(std::size_t n) {
  return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

RecordList FullList() {
  RecordList list;
  list.Reserve(kMaxRecords, kMaxRecords * 30);
  for (std::size_t i = 0; i < kMaxRecords; ++i) {
    const std::size_t s = i % 86400;
    const std::string date_time = "2024/03/01 " + TwoDigits(s / 3600) + ":" +
                                  TwoDigits(s / 60 % 60) + ":" + TwoDigits(s % 60);
    const std::string level = std::to_string(40 + i % 60) + "." + std::to_string(i % 10);
    list.Append(std::to_string(i + 1), date_time, level);
  }
  return list;
}

void BM_ListReportFullListFivePerLine(benchmark::State& state) {
  const RecordList list = FullList();
  std::size_t lines = 0;
  for (auto _ : state) {
    const ListReport report = BuildListReport(list, 5, 1, [](std::size_t) {});
    lines = report.lines.size();
    benchmark::DoNotOptimize(report.lines.data());
  }
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ListReportFullListFivePerLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace slm
