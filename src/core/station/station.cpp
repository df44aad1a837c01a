#include "station/station.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "assessment/assessment_output.h"
#include "base/calendar.h"
#include "base/number_text.h"
#include "files/file_io.h"

namespace slm {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kDiskLookEvery = 10;  // seconds between looks at the free space
constexpr std::int64_t kRetryAfter = 60;     // seconds after a write error before a new file
constexpr const char* kEventsTitle = "start,end,duration,lmax,lmax_time,leq,sel";

std::string Megabytes(std::uint64_t bytes) {
  return WholeNumberText(static_cast<long long>(bytes >> 20)) + " MB";
}

std::string CaptionsText(const PanelCaptions& c) {
  return c.frequency_weighting + " " + c.time_weighting + " " + c.range;
}

}  // namespace

std::optional<std::uint64_t> FreeSpace(const std::string& dir) {
  std::error_code ec;
  const fs::space_info space = fs::space(dir, ec);
  if (ec) return std::nullopt;
  return static_cast<std::uint64_t>(space.available);
}

Station::Station(StationSettings settings, StationLog::Echo echo, FreeSpaceFn free_space)
    : settings_(std::move(settings)),
      free_space_(std::move(free_space)),
      log_((fs::path(settings_.dir) / "monitor.log").string(), std::move(echo)),
      events_path_((fs::path(settings_.dir) / "events.csv").string()),
      live_(settings_.assessment, settings_.windows),
      alarms_(settings_.alarms) {
  std::error_code ec;
  fs::create_directories(settings_.dir, ec);
  const std::string lock = (fs::path(settings_.dir) / "monitor.lock").string();
  switch (lock_.Open(lock)) {
    case platform::HeldFile::Outcome::kHeld:
      break;
    case platform::HeldFile::Outcome::kBusy:
      throw StationBusyError("Another station writes to " + AbsolutePath(settings_.dir) +
                             " (it holds " + AbsolutePath(lock) + ").");
    case platform::HeldFile::Outcome::kFailed:
      throw DataFileError(lock, "Cannot write to " + AbsolutePath(settings_.dir) + ": " +
                                    FileErrorInWords(lock_.error(), FileAction::kWrite));
  }
}

Station::~Station() = default;

void Station::Start(std::int64_t now, std::string_view what) {
  started_ = now_ = synced_ = now;
  connected_ = true;
  log_.Write(now, LogKind::kStart, what);
  CheckDisk(now);
}

void Station::CheckDisk(std::int64_t now) {
  disk_checked_ = now;
  disk_free_ = free_space_(settings_.dir);
  if (!disk_free_) return;
  const bool low = *disk_free_ < settings_.reserve;
  if (low && writing_) {
    writing_ = false;
    log_.Write(now, LogKind::kDiskLow,
               "Only " + Megabytes(*disk_free_) + " are free on the disk of " +
                   AbsolutePath(settings_.dir) + ", which keeps " + Megabytes(settings_.reserve) +
                   " free: samples are no longer written. Nothing was deleted.");
    if (file_) file_->Sync();
  } else if (!low && !writing_ && retry_at_ == 0) {
    writing_ = true;
    log_.Write(now, LogKind::kDiskOk,
               Megabytes(*disk_free_) + " are free again: samples are written again.");
  }
}

void Station::CloseFile(std::int64_t now) {
  if (!file_) return;
  const std::string path = file_->path();
  const std::size_t records = file_->records();
  try {
    file_->Close();
  } catch (const DataFileError& e) {
    log_.Write(now, LogKind::kWriteError,
               std::string(e.what()) + ". Its samples stay in it as they were written.");
  }
  file_.reset();
  log_.Write(now, LogKind::kFile,
             "Closed " + path + " with " + WholeNumberText(static_cast<long long>(records)) +
                 (records == 1 ? " sample." : " samples."));
}

void Station::Write(std::int64_t time, std::string_view level_text, double level,
                    const PanelCaptions& captions) {
  if (file_ && file_->day() != MidnightOf(time)) CloseFile(now_);  // midnight by the sample's clock
  if (file_) {
    // The meter set differently: a file holds one setting. Only settings
    // read whole count; a frame without them changes nothing.
    const PanelCaptions& was = file_->captions();
    const bool whole = !captions.frequency_weighting.empty() && !captions.time_weighting.empty() &&
                       !captions.range.empty();
    if (whole && (was.frequency_weighting != captions.frequency_weighting ||
                  was.time_weighting != captions.time_weighting || was.range != captions.range)) {
      log_.Write(now_, LogKind::kFile,
                 "The meter's settings changed from " + CaptionsText(was) + " to " +
                     CaptionsText(captions) + ": a new file starts.");
      CloseFile(now_);
    }
  }
  if (!writing_) return;
  try {
    if (!file_) {
      file_ = std::make_unique<DailyFile>(settings_.dir, time, settings_.period, captions);
      log_.Write(now_, LogKind::kFile, "Samples go to " + file_->path() + ".");
    }
    file_->Append(time, level_text, level);
    ++written_;
  } catch (const DataFileError& e) {
    writing_ = false;
    retry_at_ = now_ + kRetryAfter;
    log_.Write(now_, LogKind::kWriteError,
               std::string(e.what()) + ". Samples are not written; a new file is tried in " +
                   WholeNumberText(kRetryAfter) + " s.");
    file_.reset();
  }
}

void Station::WriteEvents(const std::vector<ExceedanceEvent>& events) {
  if (events.empty()) return;
  std::error_code ec;
  const bool fresh = !fs::exists(events_path_, ec) || fs::file_size(events_path_, ec) == 0;
  std::ofstream out(events_path_, std::ios::binary | std::ios::app);
  if (fresh) out << kEventsTitle << "\r\n";
  for (const ExceedanceEvent& e : events) {
    out << ClockText(e.start) << ',' << ClockText(e.end) << ',' << (e.end - e.start) << ','
        << OneDecimal(e.lmax) << ',' << ClockText(e.lmax_time) << ',' << OneDecimal(e.Leq()) << ','
        << OneDecimal(e.Sel()) << "\r\n";
  }
  out.flush();
  if (!out) {
    log_.Write(now_, LogKind::kWriteError,
               "Cannot write to " + AbsolutePath(events_path_) + ": " +
                   std::to_string(events.size()) + " events were not written to it.");
  }
}

std::vector<AlarmChange> Station::Logged(std::vector<AlarmChange> changes) {
  for (const AlarmChange& c : changes) {
    log_.Write(now_, c.raised ? LogKind::kAlarmRaised : LogKind::kAlarmCleared, AlarmLogText(c));
  }
  return changes;
}

std::vector<AlarmChange> Station::Sample(std::int64_t time, std::string_view level_text,
                                         const PanelCaptions& captions) {
  const std::optional<LevelSample> sample = LevelSampleOf(time, level_text, settings_.period);
  if (!sample) return {};
  ++samples_;
  Write(time, level_text, sample->level, captions);
  if (last_time_ && time <= *last_time_) {
    // The PC clock was set back: the samples are kept in the files, the
    // live figures wait until the clock is past the last one again.
    if (!clock_back_) {
      log_.Write(now_, LogKind::kClock,
                 "The clock went back from " + ClockText(*last_time_) + " to " + ClockText(time) +
                     "; the samples are kept, the live figures resume after " +
                     ClockText(*last_time_) + ".");
    }
    clock_back_ = true;
    return {};
  }
  clock_back_ = false;
  if (last_time_ && time - *last_time_ > settings_.period) {
    ++gaps_;
    gap_seconds_ += time - *last_time_ - settings_.period;
    if (!loss_gap_) {
      log_.Write(now_, LogKind::kGap,
                 "No sample from " + ClockText(*last_time_ + settings_.period) + " to " +
                     ClockText(time - 1) + " (the program was held up).");
    }
  }
  loss_gap_ = false;
  last_time_ = time;
  last_sample_ = sample;
  last_text_ = std::string(level_text);
  WriteEvents(live_.Add(*sample));
  return Logged(alarms_.Add(*sample));
}

void Station::MeterLost(std::int64_t now, std::string_view text) {
  now_ = now;
  connected_ = false;
  lost_since_ = now;
  loss_gap_ = true;
  ++losses_;
  log_.Write(now, LogKind::kMeterLost, text);
  if (file_) {
    try {
      file_->Sync();
    } catch (const DataFileError&) {
    }
  }
}

void Station::MeterBack(std::int64_t now, std::string_view text) {
  now_ = now;
  connected_ = true;
  lost_since_.reset();
  log_.Write(now, LogKind::kMeterBack, text);
}

std::vector<AlarmChange> Station::Tick(std::int64_t now) {
  now_ = now;
  if (file_ && (now - synced_ >= settings_.flush || now < synced_)) {
    synced_ = now;
    try {
      file_->Sync();
    } catch (const DataFileError& e) {
      log_.Write(now, LogKind::kWriteError, e.what());
    }
  }
  if (retry_at_ != 0 && now >= retry_at_) {
    retry_at_ = 0;
    writing_ = true;
  }
  if (disk_checked_ < 0 || now - disk_checked_ >= kDiskLookEvery || now < disk_checked_) {
    CheckDisk(now);
  }
  return Logged(alarms_.Tick(now, lost_since_));
}

void Station::CommandRan(std::int64_t now, const AlarmChange& change, std::string_view outcome) {
  log_.Write(
      now, LogKind::kCommand,
      "The command of alarm " + change.rule + " (" + change.command + ") " + std::string(outcome));
}

void Station::Stop(std::int64_t now, std::string_view why) {
  now_ = now;
  WriteEvents(live_.Finish());
  CloseFile(now);
  log_.Write(now, LogKind::kStop,
             std::string(why) + ": " + WholeNumberText(samples_) + " samples taken, " +
                 WholeNumberText(written_) + " written, " + WholeNumberText(gaps_) +
                 (gaps_ == 1 ? " gap." : " gaps."));
}

StationStatus Station::Status(std::int64_t now) const {
  StationStatus s;
  s.meter_connected = connected_;
  if (last_sample_) {
    s.level = last_sample_->level;
    s.level_text = last_text_;
    s.level_time = last_sample_->time;
  }
  live_.Fill(last_time_ ? std::max(now, *last_time_) : now, s);
  s.samples = samples_;
  s.samples_written = written_;
  s.gaps = gaps_;
  s.gap_seconds = gap_seconds_;
  s.meter_losses = losses_;
  s.alarms = alarms_.states();
  s.writing = writing_;
  s.disk_free = disk_free_;
  s.disk_reserve = settings_.reserve;
  s.file = file_ ? file_->path() : "";
  s.started = started_;
  return s;
}

}  // namespace slm
