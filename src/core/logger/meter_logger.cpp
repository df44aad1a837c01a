// The logger's exchanges with the meter. Each one owns the port for its whole
// length and gives up within a limit, saying in words what went wrong.
#include "logger/meter_logger.h"

#include <algorithm>
#include <vector>

#include "base/number_text.h"
#include "link/meter.h"

namespace slm {

namespace {

// The line is quiet once no byte came for longer than the pauses of a meter
// that paces its replies or of a USB adapter (8 to 16 ms), or for a few byte
// times after a whole live frame.
constexpr double kQuietTime = 0.03;
constexpr double kFrameQuiet = 0.003;
constexpr double kQuietSlice = 0.001;
constexpr double kQuietLimit = 0.5;
// A short answer ("J", "I") is whole once nothing followed it this long: the
// meter pauses its stream after a reply, a meter that ignored the command
// does not.
constexpr double kAnswerSettle = 0.03;
// One answer to "J" or "I" is waited for this long at most ...
constexpr double kAnswerWait = 1.0;
// ... and either is asked again until it comes, for at most this long.
constexpr double kSamplingLimit = 3.0;
constexpr double kClockLimit = 3.0;
constexpr std::size_t kClockReplyBytes = 6;
constexpr double kCommandPause = 0.02;
constexpr double kReadSlice = 0.01;
// A pause inside a reply at least this long may be where the reply ended and
// the live stream began again.
constexpr double kReplyPause = 0.1;
// The rate of a download is told once this much of it has passed.
constexpr double kRateAfter = 0.5;

// A failing serial port is a lost meter, said in words.
class PortLost : public LinkError {
 public:
  PortLost() : LinkError(kMeterLost) {}
};

void Write(MeterLink& link, const Bytes& bytes) {
  try {
    link.port().Output(bytes);
  } catch (const LinkError&) {
    throw PortLost();
  }
}

Bytes Take(MeterLink& link) {
  try {
    return link.ReadAll();
  } catch (const LinkError&) {
    throw PortLost();
  }
}

Bytes AddressCommand(char letter, std::uint16_t number) {
  return MakeBytes({letter, number % 256, number / 256});
}

void Quiet(MeterLink& link) {
  Rs232& rs232 = link.rs232();
  Stopwatch watch(rs232);
  double last_byte = 0;
  Bytes tail;
  while (!watch.Passed(kQuietLimit)) {
    rs232.Wait(kQuietSlice);
    const Bytes arrived = Take(link);
    const double now = watch.Elapsed();
    if (!arrived.empty()) {
      tail += arrived;
      if (tail.size() > kFrameLength) tail.erase(0, tail.size() - kFrameLength);
      last_byte = now;
      continue;
    }
    const double quiet = now - last_byte + 1e-6;
    if (quiet >= kQuietTime || (quiet >= kFrameQuiet && TailIsFrame(tail))) break;
  }
  Take(link);
}

// A reply as read: its bytes, and how many of them had come before each
// pause of kReplyPause or more inside it.
struct PausedReply {
  Bytes bytes;
  std::vector<std::size_t> pauses;
};

// Sends "N" and reads until the reply holds the entries its set count
// announces, or the meter fell silent.
PausedReply DirectoryExchange(MeterLink& link) {
  Quiet(link);
  Write(link, "N");
  Rs232& rs232 = link.rs232();
  Stopwatch watch(rs232);
  PausedReply reply;
  double last_byte = 0;
  for (;;) {
    rs232.Wait(kReadSlice);
    const Bytes arrived = Take(link);
    const double now = watch.Elapsed();
    if (!arrived.empty()) {
      if (!reply.bytes.empty() && now - last_byte >= kReplyPause) {
        reply.pauses.push_back(reply.bytes.size());
      }
      reply.bytes += arrived;
      last_byte = now;
    }
    const Bytes& bytes = reply.bytes;
    // Bytes that are no directory are not waited for any further.
    if (!arrived.empty()) {
      const MemoryDirectory so_far = DecodeMemoryDirectory(bytes);
      if (!so_far.valid() && !so_far.incomplete && bytes.size() >= 2 * kFrameLength) break;
    }
    // Once the announced entries are in, bytes that follow before the line
    // is quiet make the reply longer than announced.
    const bool whole =
        bytes.size() >= 10 && bytes.size() >= DirectoryReplyLength(ByteAt(bytes, 10));
    if (now - last_byte >= (whole ? kQuietTime : kReplySilence) - 1e-6) break;
  }
  return reply;
}

MemoryDirectory DirectoryOnce(MeterLink& link) {
  const PausedReply reply = DirectoryExchange(link);
  if (reply.bytes.empty()) throw LinkError(kMeterDoesNotAnswer);
  const MemoryDirectory directory = DecodeMemoryDirectory(reply.bytes);
  if (directory.valid()) return directory;
  // A reply cut short is followed by the meter's live frames after a pause:
  // what came before the pause is then the reply, incomplete.
  for (auto pause = reply.pauses.rbegin(); pause != reply.pauses.rend(); ++pause) {
    MemoryDirectory before = DecodeMemoryDirectory(reply.bytes.substr(0, *pause));
    if (before.incomplete && before.sets.size() >= directory.sets.size()) return before;
  }
  return directory;
}

MemoryDirectory Directory(MeterLink& link) {
  MemoryDirectory directory = DirectoryOnce(link);
  // Asked once more before it is believed: a reply can be spoilt by bytes
  // that were under way on the line.
  if (!directory.valid()) directory = DirectoryOnce(link);
  return directory;
}

// Reads a short answer of at least `size` bytes within `limit` seconds, and
// whatever follows it before the line settles.
Bytes ReadAnswer(MeterLink& link, std::size_t size, double limit) {
  Rs232& rs232 = link.rs232();
  Stopwatch watch(rs232);
  rs232.Wait(kCommandPause);
  Bytes answer = Take(link);
  while (answer.size() < size && !watch.Passed(limit)) {
    rs232.Wait(kReadSlice);
    answer += Take(link);
  }
  if (answer.size() < size) return answer;
  for (;;) {
    rs232.Wait(kAnswerSettle);
    const Bytes more = Take(link);
    if (more.empty()) return answer;
    answer += more;
  }
}

bool IsBcd(int byte) { return byte >= 0 && (byte & 0x0F) <= 9 && (byte >> 4) <= 9; }

// Six BCD bytes of a real date and time, and no live frame (2 ... 3).
bool IsClockReply(const Bytes& answer) {
  if (answer.size() != kClockReplyBytes || TailIsFrame(answer)) return false;
  for (int i = 1; i <= 6; ++i) {
    if (!IsBcd(ByteAt(answer, i))) return false;
  }
  return ClockDifference(ClockReplyText(answer), DateTime{}).has_value();
}

void EraseOne(MeterLink& link, std::uint16_t set_number) {
  Write(link, AddressCommand('P', set_number));
  link.rs232().Wait(kCommandPause);
}

void EraseEvery(MeterLink& link) {
  Write(link, "H");
  link.rs232().Wait(kCommandPause);
}

// The entries of `sets` but the one at `position` (none for 0).
std::vector<MemorySet> WithoutPosition(const std::vector<MemorySet>& sets, int position) {
  std::vector<MemorySet> left;
  if (position == 0) return left;
  for (const MemorySet& set : sets) {
    if (set.position == position) continue;
    left.push_back(set);
    left.back().position = static_cast<int>(left.size());
  }
  return left;
}

std::string SetDescription(const MemorySet& set) {
  return "set " + WholeNumberText(set.number) + " (position " + WholeNumberText(set.position) +
         ", started " + set.start + ", " + WholeNumberText(set.records) + " records)";
}

std::string AllSetsText(std::size_t count) {
  return count == 1 ? "the 1 set"
                    : "all " + WholeNumberText(static_cast<long long>(count)) + " sets";
}

}  // namespace

void QuietFlush(MeterLink& link) { Quiet(link); }

MemoryDirectory ReadMemoryDirectory(MeterLink& link) {
  MeterLink::SoleExchange sole(link);
  return Directory(link);
}

SetReply DownloadSet(MeterLink& link, std::uint16_t set_number, int records,
                     const DownloadHooks& hooks) {
  MeterLink::SoleExchange sole(link);
  const int n = std::max(records, 0);
  SetReply reply;
  reply.expected = SetReplyLength(n);
  auto stop = [&] { return hooks.stop_requested && hooks.stop_requested(); };
  Rs232& rs232 = link.rs232();
  try {
    Quiet(link);
    Write(link, AddressCommand('O', set_number));
    Stopwatch watch(rs232);
    double last_byte = 0;
    double first_at = -1;
    std::size_t first_bytes = 0;
    int whole = 0;
    while (reply.bytes.size() < reply.expected) {
      if (stop()) {
        reply.end = ReplyEnd::kStopped;
        break;
      }
      rs232.Wait(kReadSlice);
      if (stop()) {
        reply.end = ReplyEnd::kStopped;
        break;
      }
      const Bytes arrived = Take(link);
      const double now = watch.Elapsed();
      if (!arrived.empty()) {
        if (first_at < 0) {
          first_at = now;
          first_bytes = arrived.size();
        }
        reply.bytes += arrived;
        last_byte = now;
        if (StartsWithLiveFrames(reply.bytes)) {
          reply.bytes.clear();
          reply.end = ReplyEnd::kLiveOnly;
          break;
        }
        // Records are checked as they come: bytes that are no record (the
        // meter went back to its live stream) end the reply there.
        const std::size_t size = reply.bytes.size();
        const int present =
            size < SetReplyLength(0)
                ? 0
                : static_cast<int>(std::min<std::size_t>(
                      (size - SetReplyLength(0)) / (SetReplyLength(1) - SetReplyLength(0)), n));
        whole = WholeRecords(reply.bytes, n, whole);
        if (whole < present) {
          reply.bytes.resize(SetReplyLength(whole));
          reply.end = ReplyEnd::kBrokeOff;
          break;
        }
      }
      if (hooks.progress) {
        DownloadProgress progress{std::min(reply.bytes.size(), reply.expected), reply.expected};
        const double span = now - first_at;
        if (first_at >= 0 && span >= kRateAfter) {
          progress.bytes_per_second = static_cast<double>(reply.bytes.size() - first_bytes) / span;
          if (progress.bytes_per_second > 0) {
            progress.seconds_left =
                static_cast<double>(reply.expected - progress.received) / progress.bytes_per_second;
          }
        }
        hooks.progress(progress);
      }
      if (now - last_byte >= kReplySilence - 1e-6) {
        reply.end = ReplyEnd::kSilence;
        break;
      }
    }
  } catch (const PortLost&) {
    reply.end = ReplyEnd::kPortLost;
  }
  return reply;
}

void EraseSet(MeterLink& link, std::uint16_t set_number) {
  MeterLink::SoleExchange sole(link);
  EraseOne(link, set_number);
}

void EraseAll(MeterLink& link) {
  MeterLink::SoleExchange sole(link);
  EraseEvery(link);
}

std::string EraseQuestion(const MemoryDirectory& directory, int position) {
  if (position == 0) {
    return "Erase " + AllSetsText(directory.sets.size()) + " in the meter's memory?\n" +
           (directory.sets.size() == 1 ? "Its" : "Their") + " records will be gone from the meter.";
  }
  for (const MemorySet& set : directory.sets) {
    if (set.position != position) continue;
    return "Erase " + SetDescription(set) + "?\nIts records will be gone from the meter.";
  }
  return {};
}

EraseResult EraseAndConfirm(MeterLink& link, const MemoryDirectory& before, int position) {
  MeterLink::SoleExchange sole(link);
  const MemorySet* chosen = nullptr;
  for (const MemorySet& set : before.sets) {
    if (set.position == position) chosen = &set;
  }
  if (position != 0 && chosen == nullptr) {
    return {false, "There is no set at position " + WholeNumberText(position) + "."};
  }
  const std::string what =
      chosen != nullptr ? SetDescription(*chosen) : AllSetsText(before.sets.size());
  if (chosen != nullptr) {
    EraseOne(link, chosen->number);
  } else {
    EraseEvery(link);
  }
  // Neither command gets a reply: the directory read afterwards tells.
  MemoryDirectory after;
  try {
    after = Directory(link);
  } catch (const LinkError& e) {
    return {false, "Erasing " + what + " could not be confirmed: " + e.what()};
  }
  if (!after.valid()) {
    return {false, "Erasing " + what + " could not be confirmed. " + after.problem};
  }
  if (after.sets == WithoutPosition(before.sets, position)) return {true, "Erased " + what + "."};
  if (chosen != nullptr) {
    for (const MemorySet& set : after.sets) {
      if (set.number == chosen->number && set.start == chosen->start) {
        return {false, "Set " + WholeNumberText(chosen->number) +
                           " was not erased: the meter still lists it."};
      }
    }
  } else if (!after.sets.empty()) {
    return {false, "The sets were not erased: the meter still lists " +
                       WholeNumberText(static_cast<long long>(after.sets.size())) + " of " +
                       WholeNumberText(static_cast<long long>(before.sets.size())) + "."};
  }
  return {false, "Erasing " + what +
                     " could not be confirmed: the meter's memory lists other sets than it did "
                     "before without it."};
}

int ReadSamplingTime(MeterLink& link) {
  MeterLink::SoleExchange sole(link);
  Stopwatch watch(link.rs232());
  // Two bytes say little: a time is taken when two answers in a row agree.
  int last = 0;
  do {
    Quiet(link);
    Write(link, "J");
    const Bytes answer =
        ReadAnswer(link, 2, std::min(kAnswerWait, kSamplingLimit - watch.Elapsed()));
    // Its form: two bytes, high byte first, of 1 to 255 seconds.
    const bool formed = answer.size() == 2 && ByteAt(answer, 1) == 0 && ByteAt(answer, 2) >= 1;
    const int seconds = formed ? ByteAt(answer, 2) : 0;
    if (formed && seconds == last) return seconds;
    last = seconds;
  } while (!watch.Passed(kSamplingLimit));
  throw LinkError(kMeterDoesNotAnswer);
}

void SetSamplingTime(MeterLink& link, int seconds) {
  MeterLink::SoleExchange sole(link);
  Write(link, MakeBytes({'C', seconds / 256, seconds % 256}));
  link.rs232().Wait(kCommandPause);
}

std::string ReadMeterClock(MeterLink& link) {
  MeterLink::SoleExchange sole(link);
  Stopwatch watch(link.rs232());
  do {
    Quiet(link);
    Write(link, "I");
    const Bytes answer =
        ReadAnswer(link, kClockReplyBytes, std::min(kAnswerWait, kClockLimit - watch.Elapsed()));
    if (IsClockReply(answer)) return ClockReplyText(answer);
  } while (!watch.Passed(kClockLimit));
  throw LinkError(kMeterDoesNotAnswer);
}

void SetMeterClock(MeterLink& link, const DateTime& time) {
  MeterLink::SoleExchange sole(link);
  Write(link, SetClockCommand(time));
  link.rs232().Wait(kCommandPause);
}

}  // namespace slm
