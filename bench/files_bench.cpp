// Data files at the list limit: a real-time file of 348000 records (some 13 MB)
// must load in 150 ms into at most 80 MB, and save as a data file or CSV file
// in 150 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "files/data_file_reader.h"
#include "files/data_file_writer.h"

namespace slm {
namespace {

// Resident memory of this process in bytes.
long long ResidentBytes() {
  long long pages = 0;
  long long resident = 0;
  std::ifstream statm("/proc/self/statm");
  if (!(statm >> pages >> resident)) return 0;
  return resident * sysconf(_SC_PAGESIZE);
}

// A full real-time file in a folder of its own, made once and removed at exit.
class FullFile {
 public:
  FullFile() {
    dir_ =
        std::filesystem::temp_directory_path() / ("slm_files_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    // Written line by line, so that no large buffer is freed before the memory
    // of a loaded list is measured.
    std::FILE* f = std::fopen(path().c_str(), "wb");
    if (f == nullptr) throw std::runtime_error("cannot create " + path());
    std::fputs(
        "Real Time\r\n1\r\nA\r\nFAST\r\n40-100\r\n99.9\r\n2016/03/27 00:40:00\r\n"
        "130.2\r\n74.8\r\nNo.s\tDate Time\tdB\t\r\n",
        f);
    for (std::size_t i = 1; i <= kMaxRecords; ++i) {
      const std::size_t s = 14 * 3600 + i;  // one sample a second from 14:00:00
      std::fprintf(f, "%zu\t2016/%02zu/%02zu %02zu:%02zu:%02zu\t%zu.%zu\t\r\n", i,
                   3 + s / 86400 / 28, 1 + s / 86400 % 28, s / 3600 % 24, s / 60 % 60, s % 60,
                   40 + i * 7 % 60, i % 10);
    }
    if (std::fclose(f) != 0) throw std::runtime_error("cannot write " + path());
  }
  ~FullFile() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string path() const { return (dir_ / "full.dlgr").string(); }
  std::string out(const char* name) const { return (dir_ / name).string(); }

 private:
  std::filesystem::path dir_;
};

const FullFile& File() {
  static const FullFile file;
  return file;
}

const RecordList& LoadedList() {
  static const RecordList list = OpenDataFile(File().path()).list;
  return list;
}

// Runs first, in a heap that has held no list yet, so the growth is the list's.
void BM_LoadedListMemory(benchmark::State& state) {
  const std::string path = File().path();
  for (auto _ : state) {
    const long long before = ResidentBytes();
    DataFile file = OpenDataFile(path);
    const long long after = ResidentBytes();
    state.counters["records"] = static_cast<double>(file.list.size());
    state.counters["list_MB"] = file.list.MemoryBytes() / 1e6;
    state.counters["rss_growth_MB"] = (after - before) / 1e6;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    benchmark::DoNotOptimize(file);
  }
}
BENCHMARK(BM_LoadedListMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReadDataFile(benchmark::State& state) {
  const std::string path = File().path();
  std::size_t records = 0;
  for (auto _ : state) {
    DataFile file = OpenDataFile(path);
    records = file.list.size();
    benchmark::DoNotOptimize(file);
  }
  if (records != kMaxRecords) state.SkipWithError("the file did not load whole");
  state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_ReadDataFile)->Unit(benchmark::kMillisecond);

void BM_FormatListFile(benchmark::State& state) {
  const RecordList& list = LoadedList();
  for (auto _ : state) {
    std::string text = FormatListFile(list, Separator::kTab);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_FormatListFile)->Unit(benchmark::kMillisecond);

void BM_SaveDataFile(benchmark::State& state) {
  const RecordList& list = LoadedList();
  const std::string path = File().out("saved.dlgr");
  for (auto _ : state) SaveRecordList(path, list, Separator::kTab);
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_SaveDataFile)->Unit(benchmark::kMillisecond);

void BM_SaveCsvFile(benchmark::State& state) {
  const RecordList& list = LoadedList();
  const std::string path = File().out("saved.csv");
  for (auto _ : state) SaveRecordList(path, list, Separator::kComma);
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_SaveCsvFile)->Unit(benchmark::kMillisecond);

void BM_SavePlainList(benchmark::State& state) {
  const RecordList& list = LoadedList();
  const std::string path = File().out("0327004000.dlgr");
  for (auto _ : state) SavePlainList(path, list);
}
BENCHMARK(BM_SavePlainList)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace slm
