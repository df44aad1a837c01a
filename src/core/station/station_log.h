#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

namespace slm {

// What a station tells in its log, one word each: the second field of
// every line.
enum class LogKind {
  kStart,
  kStop,
  kFile,
  kMeterLost,
  kMeterBack,
  kGap,
  kDiskLow,
  kDiskOk,
  kWriteError,
  kAlarmRaised,
  kAlarmCleared,
  kCommand,
  kClock
};
std::string_view LogKindWord(LogKind kind);

// "monitor.log" in the station's folder: one line per happening, its time
// on the PC clock, a word for its kind and a sentence, separated by tabs:
//   2026/12/08 01:02:03<TAB>meter-lost<TAB>The meter on /dev/ttyUSB0 was lost.
// Each line is handed to the system as it is written. A line that cannot be
// written (a full disk) is still shown to `echo`.
class StationLog {
 public:
  using Echo = std::function<void(const std::string& line)>;
  StationLog(const std::string& path, Echo echo = {});
  void Write(std::int64_t now, LogKind kind, std::string_view text);
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::ofstream out_;
  Echo echo_;
};

}  // namespace slm
