#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "station/alarm_rules.h"

// The config file of a monitoring station (`slmtool monitor --config FILE`;
// the systemd unit's instance NAME reads /etc/slmtool/NAME.conf):
//
//   # The station in the yard.
//   port = /dev/ttyUSB0
//   dir = /var/lib/slmtool/yard
//   threshold = 70
//
//   [alarm night-leq]
//   kind = leq            # leq | level | meter-lost
//   limit = 65
//   window = 900          # seconds (leq, level); for meter-lost: seconds lost
//   between = 23:00-07:00
//   hysteresis = 2
//   coverage = 90
//   command = /usr/local/bin/notify-noise
//   command-interval = 3600
//
// One `key = value` a line. A "#" at the start of a line or after a blank
// starts a comment to the line's end; blank lines are skipped. The
// station's options come first, under no section, named as the command's
// options without "--": port, dir, period, interval, windows, periods,
// threshold, min-duration, hold, listen, reserve (MB kept free on the disk)
// and flush (seconds between syncs). Then one section per alarm rule, its
// keys as AlarmRule has them; a rule of kind leq or level needs a limit, a
// meter-lost rule takes none.
namespace slm {

struct StationConfig {
  std::vector<std::pair<std::string, std::string>>
      options;  // in file order: ("port", "/dev/ttyUSB0") ...
  std::vector<AlarmRule> alarms;
};

// Throws std::runtime_error with "FILE line N: ..." naming `file_name` and
// the line for an unknown key or section, a key given twice, a bad value, a
// duplicate rule name, a rule without a limit, a bad `between`. Option
// values are only checked for being there: the command checks them as it
// checks its command-line options.
StationConfig ParseStationConfig(std::string_view text, const std::string& file_name);

// Reads and parses the file; errors name its absolute path.
StationConfig ReadStationConfig(const std::string& path);

}  // namespace slm
