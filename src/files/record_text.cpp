#include "files/record_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace slm {

std::string OneDecimalText(double value) {
  // Cut, not rounded, but a value that is a whole number of tenths apart from
  // floating-point noise (a Leq of a steady 65.3 dB comes out as 65.2999...)
  // keeps its last digit.
  const double scaled = value * 10;
  const double tenths = std::trunc(scaled + (scaled < 0 ? -1e-7 : 1e-7));
  // Beyond this the whole part no longer fits the integer type.
  if (!std::isfinite(tenths) || std::fabs(tenths) >= 9e18) return "--";
  const std::string digits = std::to_string(static_cast<long long>(tenths));
  std::string text(digits, 0, digits.size() - 1);
  text += '.';
  text += digits.back();
  return text;
}

std::string PlainNumberText(double value) {
  char buffer[400];  // the longest fixed form of a double is a little over 300 characters
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

std::string PcDateTimeText(const DateTime& t) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return buffer;
}

std::string AutoSaveFileName(const DateTime& t) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%02d%02d%02d%02d%02d.dlgr", t.month, t.day, t.hour,
                t.minute, t.second);
  return buffer;
}

}  // namespace slm
