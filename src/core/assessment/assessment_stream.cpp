#include "assessment/assessment_stream.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include "base/calendar.h"

namespace slm {

namespace {

// Enough of a file for its header and its first records.
constexpr std::size_t kStartBytes = 16 * 1024;

}  // namespace

std::string OverlapText(const std::string& before, std::int64_t before_first,
                        std::int64_t before_last, const std::string& after,
                        std::int64_t after_first, std::int64_t after_last) {
  return "\"" + before + "\" and \"" + after + "\" overlap in time (" + ClockText(before_first) +
         " to " + ClockText(before_last) + " and " + ClockText(after_first) + " to " +
         ClockText(after_last) + ")";
}

ListFileStart PeekListFile(const std::string& path) {
  // What is no regular file (a pipe would keep the reader waiting) is
  // refused as the whole-file reader refuses it, without opening it.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return {path, OpenDataFile(path).list.header(), {}};
  }
  std::ifstream in(path, std::ios::binary);
  std::string start(kStartBytes, '\0');
  in.read(start.data(), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(in.gcount()));
  if (!in && !in.eof()) return ListFileStart{path, OpenDataFile(path).list.header(), {}};
  // A line cut at the end of what was read is no record here.
  if (start.size() == kStartBytes) {
    const std::size_t end = start.find_last_of("\r\n");
    if (end != std::string::npos) start.resize(end + 1);
  }
  ListFileStart result{path, {}, std::nullopt};
  DataFile file;
  try {
    std::istringstream text(start);
    file = OpenDataFile(text, path);
  } catch (const DataFileError&) {
    file = OpenDataFile(path);  // says what is wrong with the whole file
  }
  result.header = file.list.header();
  if (!file.list.empty()) {
    RecordList one;
    one.header() = file.list.header();
    one.Append(file.list.record(0));
    std::size_t back = 0;
    result.first = ListLevels({&one, path}, back).front().time;
  }
  return result;
}

std::string WeightingDifferences(const std::vector<ListFileStart>& files) {
  std::string differs;
  for (std::size_t k = 1; k < files.size(); ++k) {
    const std::string one =
        WeightingDifference(files[0].header, files[0].path, files[k].header, files[k].path);
    if (!one.empty()) differs += (differs.empty() ? "" : "; ") + one;
  }
  return differs;
}

std::vector<ListFileStart> InTimeOrder(std::vector<ListFileStart> files, MixedWeightings mixed) {
  if (mixed == MixedWeightings::kRefuse) {
    const std::string differs = WeightingDifferences(files);
    if (!differs.empty()) throw AssessmentError(MixedWeightingsText(differs));
  }
  std::stable_sort(files.begin(), files.end(), [](const ListFileStart& x, const ListFileStart& y) {
    if (!x.first || !y.first) return x.first.has_value() && !y.first.has_value();
    return *x.first < *y.first;
  });
  return files;
}

void StreamLists(std::span<const std::string> paths,
                 const std::function<void(StreamedList&)>& each) {
  auto load = [&paths](std::size_t k) {
    return std::async(std::launch::async, [&paths, k] {
      StreamedList list;
      list.index = k;
      list.file = OpenDataFile(paths[k]);
      list.samples = ListLevels({&list.file.list, paths[k]}, list.set_back);
      // Only the header is kept of the records' text.
      ListHeader header = list.file.list.header();
      list.file.list = RecordList();
      list.file.list.header() = std::move(header);
      return list;
    });
  };
  std::future<StreamedList> next;
  if (!paths.empty()) next = load(0);
  std::optional<std::int64_t> before_first;
  std::int64_t before_last = 0;
  std::size_t before = 0;
  for (std::size_t k = 0; k < paths.size(); ++k) {
    StreamedList list = next.get();
    if (k + 1 < paths.size()) next = load(k + 1);
    if (!list.samples.empty()) {
      const std::int64_t first = list.samples.front().time;
      const std::int64_t last = list.samples.back().time;
      if (before_first && first <= before_last) {
        if (next.valid()) next.wait();
        throw AssessmentError(
            OverlapText(paths[before], *before_first, before_last, paths[k], first, last));
      }
      before_first = first;
      before_last = last;
      before = k;
    }
    each(list);
  }
}

}  // namespace slm
