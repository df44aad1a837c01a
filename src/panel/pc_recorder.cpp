#include "panel/pc_recorder.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "files/file_io.h"
#include "files/record_text.h"

namespace slm {

namespace {

std::string AbsoluteOf(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
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

std::string LeftoverRecordingMessage(const std::string& moved_aside) {
  return "A recording that was never saved to its file was found and kept as \"" + moved_aside +
         "\". Open it to see its samples.";
}

PcRecorder::PcRecorder(ClockFn clock, std::string work_dir)
    : clock_(std::move(clock)), work_dir_(std::move(work_dir)) {
  // Messages name the temporary file wherever the program was started from.
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::absolute(work_dir_, ec).lexically_normal();
  if (ec) dir = work_dir_;
  if (!dir.has_filename()) dir = dir.parent_path();
  fake_path_ = (dir / kRecordingTempFile).string();
  list_.header().kind = ListKind::kRealTime;
}

PcRecorder::~PcRecorder() = default;

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
      // The disk is full or the folder is gone: the recording ends with the
      // samples that are in the file.
      --record_count_;
      const size_t kept = record_count_;
      result.message = std::string(e.what()) + "\nThe recording was ended.";
      const std::string end = EndRecording(captions);
      result.message +=
          "\n" + (end.empty() ? "Its " + std::to_string(kept) + " samples were written to \"" +
                                    final_path_ + "\"."
                              : end);
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
  // Beside the temporary file: the working folder's absolute path.
  const std::string path =
      (std::filesystem::path(fake_path_).parent_path() / AutoSaveFileName(clock_())).string();
  try {
    SavePlainList(path, list_, write_progress_);
  } catch (const DataFileError& e) {
    return std::string(e.what()) + "\nThe panel list is full and was not saved; it keeps its " +
           std::to_string(list_.size()) + " records until it can be.";
  }
  list_.Clear();
  result.auto_saved = path;
  result.list_changed = true;
  return {};
}

std::string PcRecorder::StartRecording(const std::string& final_path, Separator separator) {
  if (recording()) return {};
  const std::string target = AbsoluteOf(final_path);
  CheckWritable(target);
  moved_aside_.clear();
  // "Fake-mmddhhnn": the PC's month, day, hour and minute.
  auto aside_stem = [this] {
    const DateTime now = clock_();
    return fake_path_ + "-" + TwoDigits(now.month) + TwoDigits(now.day) + TwoDigits(now.hour) +
           TwoDigits(now.minute);
  };
  writer_ = std::make_unique<RecordingFileWriter>(fake_path_, separator, aside_stem);
  moved_aside_ = writer_->moved_aside();
  separator_ = separator;
  final_path_ = target;
  record_count_ = 0;
  recording_.Reset();
  return moved_aside_;
}

std::string PcRecorder::EndRecording(const PanelCaptions& captions) {
  if (!recording()) return {};
  std::string message;
  FinishedRecording finished{final_path_, record_count_, PcDateTimeText(clock_()), true};
  try {
    writer_->Finish(Header(recording_, captions), final_path_);
  } catch (const DataFileError& e) {
    finished.written = false;
    message = std::string(e.what()) + "\nThe " + std::to_string(record_count_) +
              " recorded samples are kept in \"" + fake_path_ + "\".";
  }
  last_finished_ = finished;
  writer_.reset();
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
  SaveRecordList(path, list_, separator, write_progress_);
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
