#include "live/pc_recorder.h"

#include <algorithm>
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

PcRecorder::PcRecorder(ClockSource clock, std::string work_dir)
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
  // The count starts afresh with the next second.
  if (period_start_) period_start_ = last_second_ + 1;
}

ListHeader PcRecorder::Header(const RunningValues& values, const PanelCaptions& captions) const {
  return RealTimeHeader(period_, captions, values);
}

ListHeader RealTimeHeader(int period, const PanelCaptions& captions, const RunningValues& values) {
  ListHeader header;
  header.kind = ListKind::kRealTime;
  header.second_value = std::to_string(period);
  header.frequency_weighting = captions.frequency_weighting;
  header.time_weighting = captions.time_weighting;
  header.range = captions.range;
  header.max_level = values.max_text;
  header.max_time = values.max_time;
  header.sel = values.sel_text;
  header.leq = values.leq_text;
  return header;
}

long long PcRecorder::recording_seconds() const {
  if (!recording() || !recording_first_second_) return 0;
  return last_second_ - *recording_first_second_ + 1;
}

PcRecorder::TickResult PcRecorder::Tick(const SampleSecond& second, double level,
                                        const std::string& level_text,
                                        const PanelCaptions& captions) {
  TickResult result;
  last_second_ = second.number;
  if (!period_start_) period_start_ = second.number;
  panel_.Add(level, level_text, second.time, false);
  if (recording()) {
    if (!recording_first_second_) recording_first_second_ = second.number;
    recording_.Add(level, level_text, second.time, true);
  }

  const long long since = second.number - *period_start_;
  if (since <= 0 || since % period_ != 0) return result;
  result.sampled = true;
  sample_time_ = second.time;
  const bool recorded = recording() && Record(second, level_text, captions, result);
  if (!keep_list_) return result;

  if (!list_.empty() && list_.size() % kMaxRecords == 0) {
    // The full list goes to a file of its own and starts again with this sample.
    const std::string error = AutoSave(result);
    if (!error.empty()) {
      if (result.message.empty()) result.message = error;
      return result;
    }
  }
  list_.Append(std::to_string(list_.size() + 1), sample_time_, level_text);
  in_recording_.push_back(recorded);
  result.list_changed = true;
  return result;
}

bool PcRecorder::Record(const SampleSecond& second, const std::string& level_text,
                        const PanelCaptions& captions, TickResult& result) {
  try {
    writer_->Append(record_count_ + 1, second.time, level_text);
  } catch (const DataFileError& e) {
    // The disk is full or the folder is gone: the recording ends with the
    // samples that are in its files.
    result.message = std::string(e.what()) + "\nThe recording was ended.";
    const std::string end = EndRecording(captions);
    result.message +=
        "\n" + (end.empty() && last_finished_ ? RecordingWrittenText(*last_finished_) : end);
    result.recording_ended = true;
    return false;
  }
  ++record_count_;
  ++total_samples_;
  if (record_count_ >= kMaxRecords) NextPart(captions, result);
  return true;
}

void PcRecorder::NextPart(const PanelCaptions& captions, TickResult& result) {
  try {
    parts_.push_back(WritePart(captions));
  } catch (const DataFileError& e) {
    result.message = std::string(e.what()) + "\nThe recording was ended; the " +
                     std::to_string(record_count_) + " samples of its last file are kept in \"" +
                     fake_path_ + "\".";
    last_finished_ = FinishedRecording{PartPath(part_), total_samples_,
                                       PcDateTimeText(clock_().wall), false, parts_};
    ForgetRecording();
    result.recording_ended = true;
    return;
  }
  result.part_written = parts_.back();
  ++part_;
  record_count_ = 0;
  recording_.Reset();
  try {
    writer_ = std::make_unique<RecordingFileWriter>(fake_path_, separator_);
  } catch (const DataFileError& e) {
    result.message = std::string(e.what()) + "\nThe recording was ended after " +
                     std::to_string(total_samples_) + " samples.";
    last_finished_ = FinishedRecording{parts_.back().file, total_samples_,
                                       PcDateTimeText(clock_().wall), true, parts_};
    ForgetRecording();
    result.recording_ended = true;
  }
}

std::string PcRecorder::PartPath(int part) const {
  if (part <= 1) return final_path_;
  const std::filesystem::path path(final_path_);
  return (path.parent_path() /
          (path.stem().string() + "-" + std::to_string(part) + path.extension().string()))
      .string();
}

RecordingPart PcRecorder::WritePart(const PanelCaptions& captions) {
  // The user named the first file; the further ones never replace a file.
  const bool named_by_user = part_ == 1;
  const std::string path = named_by_user ? final_path_ : CreateFreeFile(PartPath(part_));
  try {
    writer_->Finish(Header(recording_, captions), path);
  } catch (const DataFileError&) {
    if (!named_by_user) RemoveQuietly(path);
    throw;
  }
  return {path, record_count_};
}

void PcRecorder::ForgetRecording() {
  writer_.reset();
  record_count_ = 0;
  total_samples_ = 0;
  part_ = 1;
  parts_.clear();
  recording_first_second_.reset();
  recording_.Reset();
}

std::string PcRecorder::AutoSave(TickResult& result) {
  // The samples that a recording holds are in its files already: saving them
  // again would make a second copy of the measurement.
  RecordList unrecorded;
  const std::size_t kept =
      static_cast<std::size_t>(std::count(in_recording_.begin(), in_recording_.end(), false));
  if (kept > 0 && kept < list_.size()) {
    unrecorded.header() = list_.header();
    for (std::size_t i = 0; i < list_.size(); ++i) {
      if (!in_recording_[i]) unrecorded.Append(list_.record(i));
    }
  }
  std::string path;
  if (kept > 0) {
    // Beside the temporary file: the working folder's absolute path.
    const std::string wanted =
        (std::filesystem::path(fake_path_).parent_path() / AutoSaveFileName(clock_().wall))
            .string();
    try {
      path = CreateFreeFile(wanted);
      SavePlainList(path, kept < list_.size() ? unrecorded : list_, write_progress_);
    } catch (const DataFileError& e) {
      if (!path.empty()) RemoveQuietly(path);
      return std::string(e.what()) + "\nThe panel list is full and was not saved; it keeps its " +
             std::to_string(list_.size()) + " records until it can be.";
    }
  }
  ClearList();
  result.auto_saved = path;
  result.list_changed = true;
  return {};
}

void PcRecorder::ClearList() {
  list_.Clear();
  in_recording_.clear();
}

std::string PcRecorder::StartRecording(const std::string& final_path, Separator separator) {
  if (recording()) return {};
  const std::string target = AbsoluteOf(final_path);
  CheckWritable(target);
  moved_aside_.clear();
  // "Fake-mmddhhnn": the PC's month, day, hour and minute.
  auto aside_stem = [this] {
    const DateTime now = clock_().wall;
    return fake_path_ + "-" + TwoDigits(now.month) + TwoDigits(now.day) + TwoDigits(now.hour) +
           TwoDigits(now.minute);
  };
  auto writer = std::make_unique<RecordingFileWriter>(fake_path_, separator, aside_stem);
  moved_aside_ = writer->moved_aside();
  ForgetRecording();
  writer_ = std::move(writer);
  separator_ = separator;
  final_path_ = target;
  return moved_aside_;
}

std::string PcRecorder::EndRecording(const PanelCaptions& captions) {
  if (!recording()) return {};
  std::string message;
  FinishedRecording finished{PartPath(part_), total_samples_, PcDateTimeText(clock_().wall), true,
                             parts_};
  if (record_count_ == 0 && !parts_.empty()) {
    // The file after a full one holds no sample yet: the recording ends with
    // the files it has.
    writer_->Discard();
    finished.file = parts_.back().file;
  } else {
    try {
      finished.parts.push_back(WritePart(captions));
      finished.file = finished.parts.back().file;
    } catch (const DataFileError& e) {
      finished.written = false;
      message = std::string(e.what()) + "\nThe " + std::to_string(record_count_) +
                " recorded samples are kept in \"" + fake_path_ + "\".";
    }
  }
  last_finished_ = finished;
  ForgetRecording();
  return message;
}

void PcRecorder::SaveList(const std::string& path, Separator separator,
                          const PanelCaptions& captions) {
  // The list's header is the panel's values at the moment of saving; the
  // panel's maximum goes in as its number. Samples go on meanwhile: the list
  // is written as it was when the save began.
  RecordList snapshot = list_;
  snapshot.header() = Header(panel_, captions);
  snapshot.header().max_level = PlainNumberText(panel_.max);
  SaveRecordList(path, snapshot, separator, write_progress_);
}

void PcRecorder::Refresh() {
  // The running values start again; their texts stay on show until the
  // next sample writes new ones.
  panel_.count = 0;
  panel_.energy = 0;
  panel_.max = 0;
  ClearList();
}

void PcRecorder::LinkLost() {
  panel_.Reset();
  ClearList();
}

std::string RecordingWrittenText(const FinishedRecording& finished) {
  std::string text = "Its " + std::to_string(finished.samples) +
                     (finished.samples == 1 ? " sample was" : " samples were") + " written to ";
  for (std::size_t i = 0; i < finished.parts.size(); ++i) {
    if (i > 0) text += i + 1 == finished.parts.size() ? " and " : ", ";
    text += "\"" + finished.parts[i].file + "\"";
  }
  return text + ".";
}

}  // namespace slm
