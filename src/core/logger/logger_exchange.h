#pragma once

// What the logger's exchanges share: the line's timing and the primitives
// that read and write the port, a failing port being a lost meter.

#include <cstdint>

#include "link/meter_link.h"
#include "link/serial_port.h"
#include "logger/meter_logger.h"

namespace slm::logger_exchange {

// The line is quiet once no byte came for longer than the pauses of a meter
// that paces its replies or of a USB adapter (8 to 16 ms), or for a few byte
// times after a whole live frame.
inline constexpr double kQuietTime = 0.03;
inline constexpr double kFrameQuiet = 0.003;
inline constexpr double kQuietSlice = 0.001;
inline constexpr double kQuietLimit = 0.5;
// A short answer ("J", "I") is whole once nothing followed it this long: the
// meter pauses its stream after a reply, a meter that ignored the command
// does not.
inline constexpr double kAnswerSettle = 0.03;
// One answer to "J" or "I" is waited for this long at most ...
inline constexpr double kAnswerWait = 1.0;
// ... and either is asked again until it comes, for at most this long.
inline constexpr double kSamplingLimit = 3.0;
inline constexpr double kClockLimit = 3.0;
inline constexpr std::size_t kClockReplyBytes = 6;
inline constexpr double kCommandPause = 0.02;
inline constexpr double kReadSlice = 0.01;
// A pause inside a reply at least this long may be where the reply ended and
// the live stream began again.
inline constexpr double kReplyPause = 0.1;
// The rate of a download is told once this much of it has passed.
inline constexpr double kRateAfter = 0.5;

// A failing serial port is a lost meter, said in words.
class PortLost : public LinkError {
 public:
  PortLost() : LinkError(kMeterLost) {}
};

void Write(MeterLink& link, const Bytes& bytes);
Bytes Take(MeterLink& link);
Bytes AddressCommand(char letter, std::uint16_t number);
// Waits until the line has been quiet for a few byte times, then discards
// the input.
void Quiet(MeterLink& link);
// The memory directory inside an exchange already under way, asked once more
// when the first reply is not a valid directory.
MemoryDirectory Directory(MeterLink& link);

}  // namespace slm::logger_exchange
