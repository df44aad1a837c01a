#include "station/station_log.h"

#include <array>

#include "base/calendar.h"

namespace slm {

std::string_view LogKindWord(LogKind kind) {
  static constexpr std::array<std::string_view, 13> kWords = {
      "start",   "stop",        "file",         "meter-lost",    "meter-back", "gap",  "disk-low",
      "disk-ok", "write-error", "alarm-raised", "alarm-cleared", "command",    "clock"};
  return kWords[static_cast<std::size_t>(kind)];
}

StationLog::StationLog(const std::string& path, Echo echo)
    : path_(path), out_(path, std::ios::binary | std::ios::app), echo_(std::move(echo)) {}

void StationLog::Write(std::int64_t now, LogKind kind, std::string_view text) {
  std::string line = ClockText(now);
  line += '\t';
  line += LogKindWord(kind);
  line += '\t';
  // One happening, one line, whatever the text holds.
  for (const char c : text) line += c == '\n' || c == '\r' || c == '\t' ? ' ' : c;
  if (echo_) echo_(line);
  if (!out_.is_open()) out_.open(path_, std::ios::binary | std::ios::app);
  out_ << line << '\n';
  out_.flush();
  if (!out_) {
    // A full disk: the next line tries again.
    out_.close();
    out_.clear();
  }
}

}  // namespace slm
