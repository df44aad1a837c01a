#include "link/meter.h"

#include <cmath>
#include <cstdio>

namespace slm {

double Log10(double x) { return std::log(x) / std::log(10.0); }

int64_t ShiftBits(int64_t& value, int direction, int count) {
  for (int i = 0; i <= count; ++i) {
    if (direction == 0) {
      value /= 2;
    } else {
      value *= 2;
    }
  }
  return value;
}

std::string BytesToText(const Bytes& reply, int start, int count) {
  if (reply.empty() || count <= 0) return {};
  const int size = static_cast<int>(reply.size());
  int first = start < 1 ? 1 : start;
  int last = start + count - 1;
  if (last > size) last = size;
  if (first > last) return {};
  return reply.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
}

namespace {

std::string TwoDigits(int64_t v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%02lld", static_cast<long long>(v));
  return buf;
}

}  // namespace

std::string DecodeMeterDateTime(uint32_t packed) {
  int64_t value = packed;
  const int64_t second = (value % 32) * 2;
  ShiftBits(value, 0, 4);
  const int64_t minute = value % 64;
  ShiftBits(value, 0, 5);
  const int64_t hour = value % 32;
  ShiftBits(value, 0, 4);
  const int64_t day = value % 32;
  ShiftBits(value, 0, 4);
  const int64_t month = value % 16;
  ShiftBits(value, 0, 3);
  const int64_t year = value;  // years since 1980
  return "20" + TwoDigits(year - 20) + "/" + TwoDigits(month) + "/" + TwoDigits(day) + "  " +
         TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
}

uint32_t EncodeMeterDateTime(int year, int month, int day, int hour, int minute, int second) {
  return static_cast<uint32_t>(year - 1980) << 25 | static_cast<uint32_t>(month) << 21 |
         static_cast<uint32_t>(day) << 16 | static_cast<uint32_t>(hour) << 11 |
         static_cast<uint32_t>(minute) << 5 | static_cast<uint32_t>(second / 2);
}

uint8_t ToBcd(int value) {
  value %= 100;
  if (value < 0) value = -value;
  return static_cast<uint8_t>((value / 10) << 4 | (value % 10));
}

int FromBcd(uint8_t byte) { return (byte >> 4) * 10 + (byte & 0x0F); }

Bytes SetClockCommand(const DateTime& t) {
  return MakeBytes({'B', ToBcd(t.second), ToBcd(t.minute), ToBcd(t.hour), ToBcd(t.day),
                    ToBcd(t.month), ToBcd(t.year % 100)});
}

std::string ClockReplyText(const Bytes& reply) {
  if (reply.size() < 6) return {};
  auto hex = [&](int position) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", ByteAt(reply, position));
    return std::string(buf);
  };
  return "20" + hex(6) + "/" + hex(5) + "/" + hex(4) + " " + hex(3) + ":" + hex(2) + ":" + hex(1);
}

bool TailIsFrame(const Bytes& input) {
  const int n = static_cast<int>(input.size());
  return n >= kFrameLength && ByteAt(input, n - 5) == kFrameStart && ByteAt(input, n) == kFrameEnd;
}

bool TailIsAcknowledgement(const Bytes& input) {
  if (!TailIsFrame(input)) return false;
  const int n = static_cast<int>(input.size());
  for (int p = n - 4; p <= n - 1; ++p) {
    if (ByteAt(input, p) != 255) return false;
  }
  return true;
}

Bytes KeyCommand(int code) { return MakeBytes({'K', 0, 0, code}); }

}  // namespace slm
