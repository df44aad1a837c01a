#include "station/daily_files.h"

#include <filesystem>

#include "base/calendar.h"
#include "files/data_file_writer.h"
#include "files/file_io.h"
#include "files/recording_file.h"

namespace slm {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& action, int error) {
  ThrowWriteError(path, action, error);
}

}  // namespace

std::string DailyFileName(std::int64_t time) {
  std::string name = DateText(time);
  for (char& c : name) c = c == '/' ? '-' : c;
  return name + ".dlgr";
}

DailyFile::DailyFile(const std::string& dir, std::int64_t day, int period,
                     const PanelCaptions& captions)
    : day_(MidnightOf(day)), period_(period), captions_(captions) {
  const std::string wanted = (std::filesystem::path(dir) / DailyFileName(day)).string();
  path_ = AbsolutePath(CreateFreeFile(wanted));
  switch (file_.Open(path_)) {
    case platform::HeldFile::Outcome::kHeld:
      break;
    case platform::HeldFile::Outcome::kBusy:
      Fail(path_, "write to the day's file, which another program holds,", 0);
    case platform::HeldFile::Outcome::kFailed:
      Fail(path_, "open", file_.error());
  }
  std::string start;
  AppendHeaderLines(RealTimeHeader(period_, captions_, values_), start);
  header_bytes_ = static_cast<long long>(start.size());
  start += RecordingTitleLine(Separator::kTab);
  Write(start);
}

DailyFile::~DailyFile() = default;

void DailyFile::Write(std::string_view data) {
  if (!file_.is_open()) Fail(path_, "write to the closed file", 0);
  if (const int error = file_.WriteAll(data.data(), data.size()); error != 0) {
    // Part of a line is no line: the file ends with the last whole one.
    file_.CutTo(size_);
    Fail(path_, "write", error);
  }
  size_ += static_cast<long long>(data.size());
}

void DailyFile::Append(std::int64_t time, std::string_view level_text, double level) {
  const std::string time_text = ClockText(time);
  Write(RecordingLine(records_ + 1, time_text, level_text, Separator::kTab));
  ++records_;
  values_.Add(level, std::string(level_text), time_text, true);
}

void DailyFile::Sync() {
  if (!file_.is_open()) return;
  if (const int error = file_.Sync(); error != 0) Fail(path_, "save", error);
}

void DailyFile::Close() {
  if (!file_.is_open()) return;
  Sync();
  // Let go first: some systems let no one else read or replace a held file.
  file_.Close();
  // The samples as they are on the disk, under the header with their values.
  const std::string text = ReadWholeFile(path_);
  std::string out;
  AppendHeaderLines(RealTimeHeader(period_, captions_, values_), out);
  out.append(text, static_cast<std::size_t>(header_bytes_), std::string::npos);
  WriteWholeFile(path_, out);
}

}  // namespace slm
