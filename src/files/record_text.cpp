#include "files/record_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace slm {

std::string OneDecimalText(double value) {
  const double tenths = std::trunc(value * 10);
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
