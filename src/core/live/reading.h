#pragma once

#include <string>

namespace slm {

// The one current live reading of the meter, overwritten by each frame.
struct Reading {
  double level = 0;                 // dB, 0.1 dB steps
  std::string level_text;           // one decimal; "*" appended when the meter marks the value
  int range_top = 0;                // 140 .. 90
  int range_bottom = 0;             // range_top - 60
  std::string time_weighting;       // "FAST", "SLOW", "IMP" or empty
  std::string frequency_weighting;  // "A", "C", "Z" or "AA" (A with the 20-200 Hz filter)
  bool over = false;
  bool under = false;
  bool run = false;
  bool pause = false;
  bool stop = false;
};

// Byte 2 of a live frame: range code (bits 0-2) and OVER (bit 7). Codes 6 and 7
// leave the range as it was.
void DecodeRangeByte(Reading& reading, int status);
// Byte 3: time weighting, RUN, PAUSE, STOP, frequency weighting, UNDER.
void DecodeModeByte(Reading& reading, int mode);
// Bytes 4 and 5: the level in tenths of a dB, bit 15 a marker shown as "*".
void DecodeLevelWord(Reading& reading, int high, int low);

// The level text of a word without its marker: 653 -> "65.3", 5 -> ".5".
std::string TenthsText(int tenths);

// The range top of a range code 0..5, or 0 for codes that carry no range.
int RangeTopOfCode(int code);

// Decodes the four payload bytes of a live frame (bytes 2 to 5) in the order
// the live tick uses.
void DecodeFrame(Reading& reading, int status, int mode, int high, int low);

}  // namespace slm
