// The logger's exchanges with the meter. Each one owns the port for its whole
// length and gives up within a limit, saying in words what went wrong.
#include "logger/meter_logger.h"

#include <algorithm>
#include <vector>

#include "base/number_text.h"
#include "link/meter.h"
#include "logger/logger_exchange.h"

namespace slm {

using logger_exchange::AddressCommand;
using logger_exchange::Directory;
using logger_exchange::kQuietTime;
using logger_exchange::kRateAfter;
using logger_exchange::kReadSlice;
using logger_exchange::kReplyPause;
using logger_exchange::PortLost;
using logger_exchange::Quiet;
using logger_exchange::Take;
using logger_exchange::Write;

namespace {

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
      // A reply whose entries all came but not its end may have been cut and
      // followed at once by live frames: read on until the frames show.
      const bool all_entries =
          so_far.announced > 0 && so_far.sets.size() == static_cast<std::size_t>(so_far.announced);
      // The frames are looked for only in a reply already found wrong.
      const auto frames_shown = [&] {
        return bytes.size() >= DirectoryReplyLength(so_far.announced) + 3 * kFrameLength ||
               LiveFramesFrom(bytes, 1) != Bytes::npos;
      };
      if (!so_far.valid() && !so_far.incomplete && bytes.size() >= 2 * kFrameLength &&
          (!all_entries || frames_shown())) {
        break;
      }
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
  return DecodeDirectoryReply(reply.bytes, reply.pauses);
}

}  // namespace

MemoryDirectory logger_exchange::Directory(MeterLink& link) {
  MemoryDirectory directory = DirectoryOnce(link);
  // Asked once more before it is believed: a reply can be spoilt by bytes
  // that were under way on the line.
  if (!directory.valid()) directory = DirectoryOnce(link);
  return directory;
}

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

}  // namespace slm
