// The logger's exchanges with the meter. Each one owns the port for its whole
// length and gives up within a limit, saying in words what went wrong.
#include "logger/meter_logger.h"

#include "link/meter.h"

namespace slm {

namespace {

// The line is taken as quiet once its byte count stayed put this long: about
// a dozen byte times.
constexpr double kQuietTime = 0.003;
constexpr double kQuietSlice = 0.001;
constexpr double kQuietLimit = 0.3;
// A meter that has not answered "J" within this long does not answer.
constexpr double kShortReplyLimit = 1.0;
// "I" is asked again until the clock comes, for at most this long.
constexpr double kClockLimit = 3.0;
constexpr std::size_t kClockReplyBytes = 6;
constexpr double kCommandPause = 0.02;
constexpr double kReadSlice = 0.01;
constexpr double kDirectoryFirstWait = 0.1;

double LineTime(std::size_t bytes) { return static_cast<double>(bytes) / kLineBytesPerSecond; }

Bytes AddressCommand(char letter, std::uint16_t number) {
  return MakeBytes({letter, number % 256, number / 256});
}

// A silence in a reply this long, followed by a live frame's start byte,
// means the meter went back to its live stream and the reply is over.
constexpr double kLiveGap = 0.1;

// Reads into `reply` in slices until `expected` bytes, `limit` seconds, or
// `idle_limit` seconds without a byte. Live frames that follow a reply cut
// short are not taken for part of it.
void ReadReply(MeterLink& link, Bytes& reply, std::size_t expected, double limit, double idle_limit,
               const ByteProgressFn& progress = {}) {
  Rs232& rs232 = link.rs232();
  Stopwatch watch(rs232);
  double arrived_at = 0;
  while (reply.size() < expected) {
    rs232.Wait(kReadSlice);
    const Bytes arrived = link.ReadAll();
    const double now = watch.Elapsed();
    if (!arrived.empty()) {
      if (!reply.empty() && now - arrived_at >= kLiveGap && ByteAt(arrived, 1) == kFrameStart) {
        break;
      }
      reply += arrived;
      arrived_at = now;
    }
    if (progress) progress(reply.size(), expected);
    if (now - arrived_at >= idle_limit - 1e-6 || now >= limit - 1e-6) break;
  }
}

// Sends "N" and reads its reply for as long as the line needs for the
// entries it announces, plus the margin. Throws when the set count never came.
Bytes DirectoryExchange(MeterLink& link) {
  QuietFlush(link);
  link.port().Output("N");
  link.rs232().Wait(kDirectoryFirstWait);
  Bytes reply = link.ReadAll();
  if (reply.size() < 10) throw LinkError(kDirectoryUnreadable);
  const std::size_t expected = DirectoryReplyLength(ByteAt(reply, 10));
  const double limit = LineTime(expected) + kReplyMargin;
  ReadReply(link, reply, expected, limit, limit);
  return reply;
}

bool HasAnnouncedLength(const Bytes& reply) {
  return reply.size() == DirectoryReplyLength(ByteAt(reply, 10));
}

}  // namespace

void QuietFlush(MeterLink& link) {
  Rs232& rs232 = link.rs232();
  Stopwatch watch(rs232);
  double changed_at = 0;
  int count = link.port().InBufferCount();
  while (!watch.Passed(kQuietLimit)) {
    rs232.Wait(kQuietSlice);
    const int now = link.port().InBufferCount();
    if (now != count) {
      count = now;
      changed_at = watch.Elapsed();
    } else if (watch.Elapsed() - changed_at >= kQuietTime - 1e-6) {
      break;
    }
  }
  link.Flush();
}

MemoryDirectory ReadMemoryDirectory(MeterLink& link) {
  MeterLink::ExchangeGuard guard(link);
  Bytes reply = DirectoryExchange(link);
  // A reply of the wrong length is asked for once more before it is believed.
  if (!HasAnnouncedLength(reply)) reply = DirectoryExchange(link);
  std::optional<MemoryDirectory> directory = DecodeMemoryDirectory(reply);
  if (!directory) throw LinkError(kDirectoryUnreadable);
  return *std::move(directory);
}

SetReply DownloadSet(MeterLink& link, std::uint16_t set_number, int records,
                     const ByteProgressFn& progress) {
  MeterLink::ExchangeGuard guard(link);
  SetReply reply;
  reply.expected = SetReplyLength(records);
  QuietFlush(link);
  link.port().Output(AddressCommand('O', set_number));
  ReadReply(link, reply.bytes, reply.expected, LineTime(reply.expected) + kReplyMargin,
            kReplyMargin, progress);
  return reply;
}

void EraseSet(MeterLink& link, std::uint16_t set_number) {
  MeterLink::ExchangeGuard guard(link);
  link.port().Output(AddressCommand('P', set_number));
  link.rs232().Wait(kCommandPause);
}

void EraseAll(MeterLink& link) {
  MeterLink::ExchangeGuard guard(link);
  link.port().Output("H");
  link.rs232().Wait(kCommandPause);
}

int ReadSamplingTime(MeterLink& link) {
  MeterLink::ExchangeGuard guard(link);
  QuietFlush(link);
  link.port().Output("J");
  link.rs232().Wait(kCommandPause);
  Bytes reply = link.ReadAll();
  Stopwatch watch(link.rs232());
  while (reply.size() < 2) {
    if (watch.Passed(kShortReplyLimit)) throw LinkError(kMeterDoesNotAnswer);
    link.rs232().Wait(kReadSlice);
    reply += link.ReadAll();
  }
  return 256 * ByteAt(reply, 1) + ByteAt(reply, 2);
}

void SetSamplingTime(MeterLink& link, int seconds) {
  MeterLink::ExchangeGuard guard(link);
  link.port().Output(MakeBytes({'C', seconds / 256, seconds % 256}));
  link.rs232().Wait(kCommandPause);
}

std::string ReadMeterClock(MeterLink& link) {
  MeterLink::ExchangeGuard guard(link);
  Stopwatch watch(link.rs232());
  for (;;) {
    QuietFlush(link);
    link.port().Output("I");
    link.rs232().Wait(kCommandPause);
    const Bytes reply = link.ReadAll();
    if (reply.size() >= kClockReplyBytes) return ClockReplyText(reply);
    if (watch.Passed(kClockLimit)) throw LinkError(kMeterDoesNotAnswer);
  }
}

void SetMeterClock(MeterLink& link, const DateTime& time) {
  MeterLink::ExchangeGuard guard(link);
  link.port().Output(SetClockCommand(time));
  link.rs232().Wait(kCommandPause);
}

}  // namespace slm
