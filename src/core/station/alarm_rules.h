#pragma once
// TEMPORARY local stand-in (not committed) until the helper's version lands.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "assessment/assessment_levels.h"
#include "station/station_status.h"
namespace slm {
enum class AlarmKind { kLeq, kLevel, kMeterLost };
struct AlarmRule {
  std::string name;
  AlarmKind kind = AlarmKind::kLeq;
  double limit = 0;
  std::int64_t window = 900;
  std::optional<std::pair<int, int>> between;
  double hysteresis = 2;
  double coverage = 90;
  std::string command;
  std::int64_t command_interval = 3600;
};
struct AlarmChange {
  std::string rule;
  bool raised = false;
  std::optional<double> level;
  std::int64_t time = 0;
  bool run_command = false;
  std::string command;
};
inline std::string AlarmLogText(const AlarmChange& c) { return c.rule; }
class AlarmSet {
 public:
  explicit AlarmSet(std::vector<AlarmRule>) {}
  std::vector<AlarmChange> Add(const LevelSample&) { return {}; }
  std::vector<AlarmChange> Tick(std::int64_t, std::optional<std::int64_t>) { return {}; }
  std::vector<AlarmState> states() const { return {}; }
};
}  // namespace slm
