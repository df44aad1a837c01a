#include "panel/pc_recorder.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "files/file_io.h"
#include "files/record_text.h"

namespace slm {

namespace {

std::string JoinPath(const std::string& dir, const std::string& name) {
  return (std::filesystem::path(dir) / name).string();
}

std::string TwoDigits(long v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

void RunningValues::Add(double level, const std::string& level_text, const std::string& now_text,
                        bool compare_with_text) {
  ++count;
  energy += std::pow(10.0, level / 10.0);
  leq = 10.0 * Log10(energy / static_cast<double>(count));
  sel = leq + 10.0 * Log10(static_cast<double>(count));
  leq_text = OneDecimalText(leq);
  sel_text = OneDecimalText(sel);
  const double current_max = compare_with_text ? LeadingNumber(max_text) : max;
  if (level > current_max) {
    max = level;
    max_text = level_text;
    max_time = now_text;
  }
}

std::optional<LaunchPeriod> ParseLaunchPeriod(const std::string& text) {
  const size_t first = text.find(':');
  if (first == std::string::npos) return std::nullopt;
  const size_t second = text.find(':', first + 1);
  if (second == std::string::npos) return std::nullopt;
  auto part = [](const std::string& s) {
    const double v = LeadingNumber(s);
    return v < 0 ? 0L : static_cast<long>(v);
  };
  const long h = part(text.substr(0, first)) % 24;
  const long m = part(text.substr(first + 1, second - first - 1)) % 60;
  const long s = part(text.substr(second + 1)) % 60;
  LaunchPeriod launch;
  launch.hours = TwoDigits(h);
  launch.minutes = TwoDigits(m);
  launch.seconds = TwoDigits(s);
  launch.period_seconds = h * 3600 + m * 60 + s;
  return launch;
}

PcRecorder::PcRecorder(ClockFn clock, std::string work_dir)
    : clock_(std::move(clock)), work_dir_(std::move(work_dir)) {
  list_.header().kind = ListKind::kRealTime;
}

PcRecorder::~PcRecorder() = default;

std::string PcRecorder::fake_path() const { return JoinPath(work_dir_, kRecordingTempFile); }

void PcRecorder::SetPeriod(int seconds) {
  period_ = seconds < 1 ? 1 : seconds > 86400 ? 86400 : seconds;
  sample_tick_ = 0;
}

ListHeader PcRecorder::Header(const RunningValues& values, const PanelCaptions& captions) const {
  ListHeader header;
  header.kind = ListKind::kRealTime;
  header.second_value = std::to_string(period_);
  header.frequency_weighting = captions.frequency_weighting;
  header.time_weighting = captions.time_weighting;
  header.range = captions.range;
  header.max_level = values.max_text;
  header.max_time = values.max_time;
  header.sel = values.sel_text;
  header.leq = values.leq_text;
  return header;
}

PcRecorder::TickResult PcRecorder::Tick(double level, const std::string& level_text,
                                        const PanelCaptions& captions) {
  TickResult result;
  const std::string now_text = PcDateTimeText(clock_());
  panel_.Add(level, level_text, now_text, false);
  if (recording()) recording_.Add(level, level_text, now_text, true);

  if (sample_tick_ < period_) {
    ++sample_tick_;
    return result;
  }
  sample_tick_ = 1;
  result.sampled = true;
  sample_time_ = now_text;

  if (recording()) {
    ++record_count_;
    try {
      writer_->Append(record_count_, sample_time_, level_text);
    } catch (const DataFileError& e) {
      // The disk is full or the folder is gone: keep what is in the file.
      --record_count_;
      result.message = e.what();
      const std::string end = EndRecording(captions);
      if (!end.empty()) result.message += "\n" + end;
      result.recording_ended = true;
    }
    if (recording() && record_count_ >= kMaxRecords) {
      result.message = EndRecording(captions);
      result.recording_ended = true;
    }
  }

  if (!list_.empty() && list_.size() % kMaxRecords == 0) {
    // The full list goes to a file of its own and starts again with this sample.
    const std::string error = AutoSave(result);
    if (!error.empty()) {
      if (result.message.empty()) result.message = error;
      return result;
    }
  }
  list_.Append(std::to_string(list_.size() + 1), sample_time_, level_text);
  result.list_changed = true;
  return result;
}

std::string PcRecorder::AutoSave(TickResult& result) {
  const std::string path = JoinPath(work_dir_, AutoSaveFileName(clock_()));
  try {
    SavePlainList(path, list_);
  } catch (const DataFileError& e) {
    return std::string(e.what()) + "\nThe panel list is full and was not saved; it keeps its " +
           std::to_string(list_.size()) + " records until it can be.";
  }
  list_.Clear();
  result.auto_saved = path;
  result.list_changed = true;
  return {};
}

void PcRecorder::MoveAsideUnsavedFake() {
  if (!fake_unsaved_) return;
  // The last recording's samples live only in "Fake"; keep them under a name
  // of their own before the new recording replaces the file.
  std::error_code ec;
  const std::string aside =
      fake_path() + "-" + AutoSaveFileName(clock_()).substr(0, 10) + ".unsaved";
  std::filesystem::rename(fake_path(), aside, ec);
  fake_unsaved_ = false;
}

void PcRecorder::StartRecording(const std::string& final_path, Separator separator) {
  if (recording()) return;
  MoveAsideUnsavedFake();
  writer_ = std::make_unique<RecordingFileWriter>(fake_path(), separator);
  separator_ = separator;
  final_path_ = final_path;
  record_count_ = 0;
  recording_.Reset();
}

std::string PcRecorder::EndRecording(const PanelCaptions& captions) {
  if (!recording()) return {};
  std::string message;
  try {
    writer_->Close();
  } catch (const DataFileError& e) {
    message = e.what();
  }
  writer_.reset();
  try {
    FinishRecordingFile(Header(recording_, captions), fake_path(), final_path_);
  } catch (const DataFileError& e) {
    fake_unsaved_ = true;
    if (!message.empty()) message += "\n";
    message += std::string(e.what()) + "\nThe " + std::to_string(record_count_) +
               " recorded samples are kept in \"" + fake_path() + "\".";
  }
  record_count_ = 0;
  recording_.Reset();
  return message;
}

void PcRecorder::SaveList(const std::string& path, Separator separator,
                          const PanelCaptions& captions) {
  // The list's header is the panel's values at the moment of saving; the
  // panel's maximum goes in as its number.
  list_.header() = Header(panel_, captions);
  list_.header().max_level = PlainNumberText(panel_.max);
  SaveRecordList(path, list_, separator);
}

void PcRecorder::Refresh() {
  // The running values start again; their texts stay on show until the
  // next sample writes new ones.
  panel_.count = 0;
  panel_.energy = 0;
  panel_.max = 0;
  list_.Clear();
}

std::string PcRecorder::LinkLost(const PanelCaptions& captions) {
  std::string message = EndRecording(captions);
  panel_.Reset();
  recording_.Reset();
  record_count_ = 0;
  list_.Clear();
  return message;
}

}  // namespace slm
