#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/date_time.h"
#include "link/serial_port.h"

namespace slm {

// Common logarithm as the meter's firmware and our results compute it.
double Log10(double x);

// Shifts `value` in place by count + 1 single steps and returns it: direction
// 0 halves (integer division), any other direction doubles.
int64_t ShiftBits(int64_t& value, int direction, int count);

// The characters of reply bytes start..start+count-1 (1-based), clipped to the
// reply; an empty reply gives an empty text.
std::string BytesToText(const Bytes& reply, int start, int count);

// Text of a packed FAT date-time: "yyyy/mm/dd  hh:nn:ss" (two blanks).
std::string DecodeMeterDateTime(uint32_t value);

// The inverse, for the meter model and tests: seconds are stored halved.
uint32_t EncodeMeterDateTime(int year, int month, int day, int hour, int minute, int second);

// Two decimal digits in one byte, tens in the high half: 23 -> 0x23.
uint8_t ToBcd(int value);
int FromBcd(uint8_t byte);

// The 7 bytes of the set-clock command: "B", second, minute, hour, day,
// month, year (last two digits), each in BCD.
Bytes SetClockCommand(const DateTime& t);

// The text of a clock reply (second, minute, hour, day, month, year in BCD):
// "20yy/mm/dd hh:nn:ss" with one blank. Each byte is written as its two hex
// digits, so a reply that is not BCD still shows what the meter sent.
// Returns an empty text when the reply holds fewer than 6 bytes.
std::string ClockReplyText(const Bytes& reply);

// The live frame's and the acknowledgement's fixed bytes.
inline constexpr int kFrameStart = 2;
inline constexpr int kFrameEnd = 3;
inline constexpr int kFrameLength = 6;

// True when the last six bytes of `input` are a live frame (2 .. 3).
bool TailIsFrame(const Bytes& input);
// True when the last six bytes of `input` are the acknowledgement 2 255 255 255 255 3.
bool TailIsAcknowledgement(const Bytes& input);

// The four-byte key command "K", 0, 0, code.
Bytes KeyCommand(int code);

}  // namespace slm
