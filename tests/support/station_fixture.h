#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "assessment/assessment_levels.h"
#include "assessment/assessment_output.h"
#include "base/calendar.h"
#include "base/number_text.h"
#include "files/data_file_reader.h"
#include "files/file_io.h"
#include "station/station_session.h"
#include "support/simulated_meter.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"

namespace slm::test {

// A station on the simulated meter in virtual time, as `slmtool monitor`
// runs it: the 200 ms tick and the sampling tick, each when it falls due.
class StationRun : protected MeterStack {
 protected:
  explicit StationRun(DateTime start) : clock_(start, [this] { return meter_.elapsed(); }) {}

  // A station in `dir` (the run's folder when empty), started.
  void Open(StationSettings settings, FreeSpaceFn free_space = FreeSpace) {
    if (settings.dir.empty()) settings.dir = dir_.path();
    station_ = std::make_unique<Station>(std::move(settings), nullptr, std::move(free_space));
    reading_ = std::make_unique<Reading>();
    recorder_ = std::make_unique<PcRecorder>(clock_.Source(), dir_.path());
    session_ = std::make_unique<LiveSession>(link_, *reading_, *recorder_, charts_);
    glue_ = std::make_unique<StationSession>(*session_, *station_, "COM1");
    glue_->Start("test station");
    next_live_ = next_sample_ = meter_.elapsed();
  }
  // Runs until the PC clock reads `end`.
  void RunUntil(std::int64_t end) {
    while (glue_->Now() < end) {
      const double next = std::min(next_live_, next_sample_);
      meter_.ProcessEvents(std::max(0.0, next - meter_.elapsed()));
      if (next == next_live_) {
        glue_->Tick();
        next_live_ = meter_.elapsed() + 0.5;
      } else {
        glue_->Sample();
        next_sample_ = meter_.elapsed() + session_->MillisecondsToNextSecond() / 1000.0;
      }
    }
  }
  void Stop(const std::string& why = "stopped") {
    glue_->Stop(why);
    glue_.reset();
    session_.reset();
    station_.reset();
  }

  // The daily files of the folder, in name order.
  std::vector<std::string> DailyFiles() const {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      if (entry.path().extension() == ".dlgr") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
  }
  // The assessment of the daily files, as `slmtool assess` makes it.
  Assessment AssessFiles(const AssessmentSettings& settings) const {
    std::vector<DataFile> files;
    for (const std::string& path : DailyFiles()) files.push_back(OpenDataFile(path));
    std::vector<NamedList> named;
    for (const DataFile& f : files) named.push_back({&f.list, f.title});
    return Assess(MergeLevels(named), settings);
  }
  // events.csv as the assessment's events would be written there, its
  // figures rounded as the assessment's tables round them.
  static std::string EventLines(const std::vector<ExceedanceEvent>& events) {
    std::string out = "start,end,duration,lmax,lmax_time,leq,sel\r\n";
    for (const ExceedanceEvent& e : events) {
      out += ClockText(e.start) + "," + ClockText(e.end) + "," + std::to_string(e.end - e.start) +
             "," + OneDecimal(e.lmax) + "," + ClockText(e.lmax_time) + "," + OneDecimal(e.Leq()) +
             "," + OneDecimal(e.Sel()) + "\r\n";
    }
    return out;
  }

  TempDir dir_;
  VirtualClock clock_;
  LiveChartData charts_;
  std::unique_ptr<Station> station_;
  std::unique_ptr<Reading> reading_;
  std::unique_ptr<PcRecorder> recorder_;
  std::unique_ptr<LiveSession> session_;
  std::unique_ptr<StationSession> glue_;
  double next_live_ = 0;
  double next_sample_ = 0;
};

}  // namespace slm::test
