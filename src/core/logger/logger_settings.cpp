// The logger's sampling time and the meter's clock: short answers that are
// taken only in the form of an answer.
#include <algorithm>

#include "link/meter.h"
#include "logger/logger_exchange.h"
#include "logger/meter_logger.h"

namespace slm {

using logger_exchange::kAnswerSettle;
using logger_exchange::kAnswerWait;
using logger_exchange::kClockLimit;
using logger_exchange::kClockReplyBytes;
using logger_exchange::kCommandPause;
using logger_exchange::kReadSlice;
using logger_exchange::kSamplingLimit;
using logger_exchange::Quiet;
using logger_exchange::Take;
using logger_exchange::Write;

namespace {

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

}  // namespace

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
