#include "live/reading.h"

#include <array>

namespace slm {

int RangeTopOfCode(int code) {
  static constexpr std::array<int, 6> kTops = {140, 130, 120, 110, 100, 90};
  return code >= 0 && code < 6 ? kTops[static_cast<size_t>(code)] : 0;
}

void DecodeRangeByte(Reading& reading, int status) {
  const int code = status % 8;
  reading.over = (status / 128) % 2 == 1;
  const int top = RangeTopOfCode(code);
  if (top == 0) return;  // codes 6 and 7 keep the range
  reading.range_top = top;
  reading.range_bottom = top - 60;
}

void DecodeModeByte(Reading& reading, int mode) {
  int b = mode;
  const int time_code = b % 4;
  b /= 4;
  reading.run = b % 2 == 1;
  b /= 2;
  reading.pause = b % 2 == 1;
  b /= 2;
  reading.stop = b % 2 == 1;
  b /= 2;
  const int frequency_code = b % 4;
  b /= 4;
  reading.under = b % 2 == 1;
  static const std::array<const char*, 4> kTime = {"FAST", "SLOW", "IMP", ""};
  static const std::array<const char*, 4> kFrequency = {"A", "C", "Z", "AA"};
  reading.time_weighting = kTime[static_cast<size_t>(time_code)];
  reading.frequency_weighting = kFrequency[static_cast<size_t>(frequency_code)];
}

std::string TenthsText(int tenths) {
  std::string digits = std::to_string(tenths);
  // 5 gives ".5": no digit before the point, as the meter shows it.
  digits.insert(digits.size() - 1, ".");
  return digits;
}

void DecodeLevelWord(Reading& reading, int high, int low) {
  int w = high * 256 + low;
  const bool marked = w >= 32768;
  if (marked) w -= 32768;
  reading.level = w / 10.0;
  reading.level_text = TenthsText(w);
  if (marked) reading.level_text += "*";
}

void DecodeFrame(Reading& reading, int status, int mode, int high, int low) {
  DecodeRangeByte(reading, status);
  DecodeModeByte(reading, mode);
  DecodeLevelWord(reading, high, low);
}

}  // namespace slm
