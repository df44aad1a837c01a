#include "station/station_session.h"

#include "base/calendar.h"
#include "live/notices.h"

namespace slm {

StationSession::StationSession(LiveSession& session, Station& station, std::string port)
    : session_(session), station_(station), port_(std::move(port)) {
  session_.recorder().SetKeepList(false);
  session_.recorder().SetPeriod(station_.settings().period);
  session_.SetView(this);
}

StationSession::~StationSession() { session_.ClearView(this); }

std::int64_t StationSession::Now() const {
  return LinearSeconds(session_.recorder().ReadClock().wall);
}

void StationSession::Start(const std::string& what) { station_.Start(Now(), what); }

std::vector<AlarmChange> StationSession::Tick() {
  session_.Tick();
  const std::int64_t now = Now();
  if (now == last_second_) return {};
  last_second_ = now;
  return station_.Tick(now);
}

std::vector<AlarmChange> StationSession::Sample() {
  const SampleResult result = session_.Sample();
  if (!result.taken || !result.recorder.sampled) return {};
  const std::optional<std::int64_t> time = ParseClockText(session_.recorder().sample_time());
  if (!time) return {};
  return station_.Sample(*time, session_.reading().level_text, session_.Captions());
}

void StationSession::Stop(const std::string& why) { station_.Stop(Now(), why); }

void StationSession::ShowLinkLost(const LinkLossReport& report) {
  LinkLossReport plain = report;
  plain.recording = false;
  station_.MeterLost(Now(), LinkLostNotice(plain) + " Its port: " + port_ + ".");
}

void StationSession::ShowLinkRestored() {
  LinkLossReport loss = session_.last_loss();
  std::string text = "The meter is back on " + port_;
  if (!loss.time.empty()) text += " after its loss at " + loss.time;
  station_.MeterBack(Now(), text + ".");
}

}  // namespace slm
