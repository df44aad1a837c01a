#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "live/live_session.h"
#include "station/station.h"

namespace slm {

// A station fed by a live session: every sample the session takes goes to
// the station, the session's lost and returning meter to its log. What
// `slmtool monitor` runs between its timers, and what the tests run in
// virtual time.
class StationSession : public LiveSessionView {
 public:
  // `session` samples without a panel list; `port` names the meter's port
  // in the log. Sets itself as the session's view.
  StationSession(LiveSession& session, Station& station, std::string port);
  ~StationSession() override;
  StationSession(const StationSession&) = delete;
  StationSession& operator=(const StationSession&) = delete;

  // The station starts; its log says with what.
  void Start(const std::string& what);
  // The 200 ms tick of the session, and the station's second when one passed.
  std::vector<AlarmChange> Tick();
  // The sampling tick: the sample taken, if any, goes to the station.
  std::vector<AlarmChange> Sample();
  void Stop(const std::string& why);

  // The PC clock now, seconds on the records' clock.
  std::int64_t Now() const;
  LiveSession& session() { return session_; }
  Station& station() { return station_; }

  // LiveSessionView
  void ShowLinkLost(const LinkLossReport& report) override;
  void ShowLinkRestored() override;

 private:
  LiveSession& session_;
  Station& station_;
  std::string port_;
  std::int64_t last_second_ = -1;
};

}  // namespace slm
