#include "base/number_text.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace slm {

namespace {

// Reads a number at the start of [begin, end): an optional sign (from_chars
// takes no "+"), digits with an optional point, an optional exponent. Returns
// where it stopped, or `begin` when nothing was read.
const char* ReadNumber(const char* begin, const char* end, double& value) {
  const char* p = begin;
  if (p != end && *p == '+') {
    ++p;
    if (p != end && (*p == '-' || *p == '+')) return begin;
  }
  const auto result = std::from_chars(p, end, value, std::chars_format::general);
  if (result.ec == std::errc::invalid_argument || result.ptr == p) return begin;
  if (result.ec == std::errc::result_out_of_range || !std::isfinite(value)) return begin;
  return result.ptr;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const char* begin = text.data();
  const char* end = begin + text.size();
  // "inf" and "nan" are words, not numbers a user or a file means.
  for (const char* p = begin; p != end; ++p) {
    if ((*p >= 'a' && *p <= 'z' && *p != 'e') || (*p >= 'A' && *p <= 'Z' && *p != 'E')) {
      return std::nullopt;
    }
  }
  double value = 0;
  const char* stop = ReadNumber(begin, end, value);
  if (stop == begin || stop != end) return std::nullopt;
  return value;
}

std::optional<long long> ParseInteger(std::string_view text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  long long value = 0;
  const auto result = std::from_chars(begin, end, value);
  if (result.ec != std::errc() || result.ptr != end || begin == end) return std::nullopt;
  return value;
}

std::optional<double> FindLeadingNumber(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  const char* begin = text.data() + start;
  const char* end = text.data() + text.size();
  // Only decimal digits make a leading number: "inf", "nan" and "0x" do not.
  const char* p = begin;
  if (p != end && (*p == '+' || *p == '-')) ++p;
  if (p == end || !((*p >= '0' && *p <= '9') || *p == '.')) return std::nullopt;
  double value = 0;
  if (ReadNumber(begin, end, value) == begin) return std::nullopt;
  return value;
}

double LeadingNumber(std::string_view text) { return FindLeadingNumber(text).value_or(0.0); }

std::string NumberText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string WholeNumberText(long long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string PlainNumberText(double value) {
  char buffer[400];  // the longest fixed form of a double is a little over 300 characters
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

std::string OneDecimalText(double value) {
  // Cut, not rounded, but a value that is a whole number of tenths apart from
  // floating-point noise (a Leq of a steady 65.3 dB comes out as 65.2999...)
  // keeps its last digit.
  const double scaled = value * 10;
  const double tenths = std::trunc(scaled + (scaled < 0 ? -1e-7 : 1e-7));
  // Beyond this the whole part no longer fits the integer type.
  if (!std::isfinite(tenths) || std::fabs(tenths) >= 9e18) return "--";
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(tenths));
  const std::string digits(buffer, result.ptr);
  std::string text(digits, 0, digits.size() - 1);
  text += '.';
  text += digits.back();
  return text;
}

std::string DurationText(long seconds) {
  if (seconds < 0) seconds = 0;
  auto two = [](long v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  return two(seconds / 3600) + ":" + two(seconds / 60 % 60) + ":" + two(seconds % 60);
}

}  // namespace slm
