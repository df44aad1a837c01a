// The logger's replies decoded: the memory directory, a downloaded set and the
// texts the logger window shows.
#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "base/calendar.h"
#include "base/number_text.h"
#include "files/progress.h"
#include "link/meter.h"
#include "logger/meter_logger.h"

namespace slm {

namespace {

constexpr std::size_t kDirectoryHead = 12;
constexpr std::size_t kDirectoryEntry = 10;
constexpr std::uint32_t kStoredSetBase = 341;
constexpr std::size_t kRecordBytes = 38;
constexpr std::size_t kSetReplyBase = 359;
constexpr std::size_t kFirstRecord = 364;  // 1-based position of record 1
constexpr std::string_view kPauseMarker = "[pause]";
constexpr int kDirectoryStart = 2;
constexpr int kDirectoryEnd = 3;

std::uint32_t U16At(const Bytes& reply, std::size_t position) {
  return static_cast<std::uint32_t>(ByteAt(reply, static_cast<int>(position))) |
         static_cast<std::uint32_t>(ByteAt(reply, static_cast<int>(position + 1))) << 8;
}

std::uint32_t U32At(const Bytes& reply, std::size_t position) {
  return U16At(reply, position) | U16At(reply, position + 2) << 16;
}

// Characters at 1-based `position`, clipped to the reply.
std::string_view TextAt(std::string_view reply, std::size_t position, std::size_t count) {
  if (position < 1 || position > reply.size()) return {};
  return reply.substr(position - 1, count);
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// Appends `value` with at least `width` digits, zeros in front.
// A packed start time whose every field is a real date and time from 2000 on
// (the text shows the year as "20" and two digits).
bool IsPackedDateTime(std::uint32_t packed) {
  const unsigned second = (packed & 31) * 2, minute = packed >> 5 & 63, hour = packed >> 11 & 31;
  const unsigned day = packed >> 16 & 31, month = packed >> 21 & 15, year = (packed >> 25) + 1980;
  return year >= 2000 && year <= 2099 &&
         IsValidDateTime({static_cast<int>(year), static_cast<int>(month), static_cast<int>(day),
                          static_cast<int>(hour), static_cast<int>(minute),
                          static_cast<int>(second)});
}

}  // namespace

std::string MegabytesText(std::uint32_t thousandths) {
  const std::uint64_t tenths = (static_cast<std::uint64_t>(thousandths) + 50) / 100;
  return NumberText(static_cast<double>(tenths / 10)) + "." +
         NumberText(static_cast<double>(tenths % 10));
}

int RecordsOfSetSize(std::uint32_t size) {
  if (size < kStoredSetBase) return 0;
  return static_cast<int>((size - kStoredSetBase) / kRecordBytes);
}

bool StartsWithLiveFrames(const Bytes& reply) {
  return TailIsFrame(reply.substr(0, kFrameLength)) &&
         TailIsFrame(reply.substr(kFrameLength, kFrameLength));
}

std::size_t DirectoryReplyLength(int sets) {
  return kDirectoryHead + kDirectoryEntry * static_cast<std::size_t>(std::max(sets, 0));
}

std::size_t LiveFramesFrom(const Bytes& bytes, std::size_t from) {
  for (std::size_t at = from; at + 2 * kFrameLength <= bytes.size(); ++at) {
    bool frames = true;
    for (std::size_t f = at; frames && f + kFrameLength <= bytes.size(); f += kFrameLength) {
      frames = TailIsFrame(bytes.substr(f, kFrameLength));
    }
    if (frames) return at;
  }
  return Bytes::npos;
}

MemoryDirectory DecodeDirectoryReply(const Bytes& bytes, const std::vector<std::size_t>& pauses) {
  const MemoryDirectory directory = DecodeMemoryDirectory(bytes);
  if (directory.valid()) return directory;
  // A reply cut short is followed by the meter's live frames after a pause:
  // the reply ends at that pause, and no entry is made of the frames' bytes.
  for (const std::size_t pause : pauses) {
    if (TailIsFrame(bytes.substr(pause, kFrameLength))) {
      return DecodeMemoryDirectory(bytes.substr(0, pause));
    }
  }
  // A pause the reader did not see (a busy computer reads late) leaves the
  // frames' own shape: the reply ends before them, and before the bytes of a
  // frame that may have begun ahead of the first whole one.
  if (const std::size_t frames = LiveFramesFrom(bytes, kDirectoryHead); frames != Bytes::npos) {
    return DecodeMemoryDirectory(
        bytes.substr(0, frames - std::min<std::size_t>(frames, kFrameLength - 1)));
  }
  // Otherwise what came before a later pause may be the reply, incomplete.
  for (auto pause = pauses.rbegin(); pause != pauses.rend(); ++pause) {
    MemoryDirectory before = DecodeMemoryDirectory(bytes.substr(0, *pause));
    if (before.incomplete && before.sets.size() >= directory.sets.size()) return before;
  }
  return directory;
}

MemoryDirectory DecodeMemoryDirectory(const Bytes& reply) {
  MemoryDirectory directory;
  auto unreadable = [&](const std::string& why) {
    directory.problem = std::string(kDirectoryUnreadable) + ": " + why + ".";
  };
  if (reply.size() < 10) {
    unreadable("its reply is too short to hold the number of sets (" +
               WholeNumberText(static_cast<long long>(reply.size())) + " bytes)");
    return directory;
  }
  if (StartsWithLiveFrames(reply)) {
    directory.problem = kOnlyLiveFrames;
    return directory;
  }
  if (ByteAt(reply, 1) != kDirectoryStart) {
    unreadable("its reply does not start as a directory does");
    return directory;
  }
  const std::uint32_t size = U32At(reply, 2);
  const std::uint32_t remaining = U32At(reply, 6);
  if (remaining > size) {
    unreadable("it gives more memory remaining (" + MegabytesText(remaining) +
               " MB) than the memory holds (" + MegabytesText(size) + " MB)");
    return directory;
  }
  directory.size = size;
  directory.remaining = remaining;
  directory.announced = ByteAt(reply, 10);
  const std::size_t length = DirectoryReplyLength(directory.announced);
  for (int i = 0; i < directory.announced; ++i) {
    const std::size_t at = kDirectoryHead + kDirectoryEntry * static_cast<std::size_t>(i);
    if (at + kDirectoryEntry - 1 > reply.size()) {
      directory.incomplete = true;
      directory.problem = "The meter's memory directory was incomplete: " + WholeNumberText(i) +
                          " of " + WholeNumberText(directory.announced) + " sets arrived.";
      return directory;
    }
    MemorySet set;
    set.position = i + 1;
    set.number = static_cast<std::uint16_t>(U16At(reply, at));
    set.size = U32At(reply, at + 2);
    set.records = RecordsOfSetSize(set.size);
    // The date half comes first, each half low byte first.
    const std::uint32_t packed = U16At(reply, at + 6) << 16 | U16At(reply, at + 8);
    set.start = DecodeMeterDateTime(packed);
    const std::string entry = "the entry at position " + WholeNumberText(set.position);
    if (!IsPackedDateTime(packed)) {
      unreadable(entry + " has no real start time (" + set.start + ")");
      return directory;
    }
    // The memory is counted in 1/1000 MB: a set takes at most that many kB.
    if (set.size < kStoredSetBase || set.size / 1000 > size) {
      unreadable(entry + " gives an impossible size (" + WholeNumberText(set.size) + " bytes)");
      return directory;
    }
    for (const MemorySet& other : directory.sets) {
      if (other.number == set.number) {
        unreadable("set number " + WholeNumberText(set.number) + " is listed twice");
        return directory;
      }
    }
    directory.sets.push_back(set);
  }
  if (reply.size() < length) {
    // Every entry came but not the closing byte: still under way, or cut.
    directory.incomplete = true;
    directory.problem =
        "The meter's memory directory was incomplete: its last byte did not arrive.";
  } else if (ByteAt(reply, static_cast<int>(length)) != kDirectoryEnd) {
    unreadable("its reply does not end as a directory does");
  } else if (reply.size() > length) {
    unreadable("its reply held " + WholeNumberText(static_cast<long long>(reply.size())) +
               " bytes where " + WholeNumberText(directory.announced) + " sets take " +
               WholeNumberText(static_cast<long long>(length)));
  }
  return directory;
}

std::size_t SetReplyLength(int records) {
  return kSetReplyBase + kRecordBytes * static_cast<std::size_t>(std::max(records, 0));
}

int WholeRecords(const Bytes& reply, int records, int known) {
  const std::string_view text(reply);
  auto printable = [&](std::size_t at, std::size_t count) {
    for (const char c : text.substr(at - 1, count)) {
      if (c < ' ' || c > '~') return false;
    }
    return true;
  };
  int whole = std::max(known, 0);
  while (whole < records && reply.size() >= SetReplyLength(whole + 1)) {
    const std::size_t at = kFirstRecord + kRecordBytes * static_cast<std::size_t>(whole);
    if (!printable(at, 7) || !printable(at + 28, 5) || !ParseClockText(TextAt(text, at + 8, 19))) {
      break;
    }
    ++whole;
  }
  return whole;
}

DownloadedSet DecodeSetReply(const Bytes& reply, int records, int step) {
  const std::string_view text(reply);
  DownloadedSet set;
  set.records_expected = std::max(records, 0);
  set.records_received = WholeRecords(reply, set.records_expected);
  step = std::max(step, 1);

  ListHeader& header = set.list.header();
  header.kind = ListKind::kDataLogger2;
  // The set's settings only from a header that arrived whole and reads as
  // text: what came instead (live frames, a reply cut short) is no setting.
  const auto printable = [&](std::size_t at, std::size_t count) {
    const std::string_view field = TextAt(text, at, count);
    return field.size() == count &&
           std::all_of(field.begin(), field.end(), [](char c) { return c >= ' ' && c <= '~'; });
  };
  if (reply.size() < kFirstRecord - 1 || !printable(20, 1) || !printable(40, 1) ||
      !printable(57, 4) || !printable(77, 6)) {
    set.problems.push_back(
        "The set's header did not arrive whole: its settings (sampling time, weightings, "
        "range) are not shown.");
  } else {
    set.set_field = std::string(TextAt(text, 20, 1));
    header.second_value = set.set_field;
    header.frequency_weighting = std::string(TextAt(text, 40, 1));
    header.time_weighting = std::string(TextAt(text, 57, 4));
    header.range = std::string(TextAt(text, 77, 6));
  }
  if (set.complete()) {
    header.max_level = std::string(TextAt(text, 145, 6));
    header.max_time = std::string(TextAt(text, 155, 19));
    header.leq = std::string(TextAt(text, 201, 6));
    header.sel = std::string(TextAt(text, 217, 6));
    header.l05 = std::string(TextAt(text, 233, 6));
    header.l10 = std::string(TextAt(text, 249, 6));
    header.l50 = std::string(TextAt(text, 265, 6));
    header.l90 = std::string(TextAt(text, 281, 6));
    header.l95 = std::string(TextAt(text, 297, 6));
  } else {
    // The meter's results describe records that are not here.
    header.note = "incomplete: " + WholeNumberText(set.records_received) + " of " +
                  WholeNumberText(set.records_expected) + " records";
  }
  if (set.records_received == 0) return set;

  // Times are computed from the set's start and its interval; when either is
  // not what it must be, each record keeps the time the meter stored with it.
  const std::optional<double> interval = ParseNumber(Trimmed(set.set_field));
  const std::string_view start_text = TextAt(text, 116, 19);
  const std::optional<std::int64_t> start = ParseClockText(start_text);
  if (!interval || *interval < 0) {
    set.problems.push_back("The set field (byte 20) is \"" + set.set_field +
                           "\", not the seconds between records: each record is listed with "
                           "the time the meter stored with it.");
  }
  if (!start) {
    set.problems.push_back("The set's start time (bytes 116 to 134) is \"" +
                           std::string(start_text) +
                           "\", not a date and time: each record is listed with the time the "
                           "meter stored with it.");
  }
  const bool computed = interval && *interval >= 0 && start;

  const std::size_t rows = 1 + static_cast<std::size_t>(set.records_received - 1) / step;
  set.list.Reserve(rows, rows * 32);
  std::string level;
  long long counter = 0;
  for (int i = 1; i <= set.records_received; i += step) {
    const std::size_t at = kFirstRecord + kRecordBytes * static_cast<std::size_t>(i - 1);
    level.assign(TextAt(text, at + 28, 5));
    if (TextAt(text, at, 7) == kPauseMarker) level += '*';
    ++counter;
    if (i == 1 || !computed) {
      set.list.Append(WholeNumberText(counter), TextAt(text, at + 8, 19), level);
    } else {
      const long long offset = std::llround(static_cast<double>(i - 1) * *interval);
      set.list.Append(WholeNumberText(counter), ClockText(*start + offset), level);
    }
  }
  return set;
}

std::string DownloadProgressCaption(const DownloadProgress& progress) {
  std::string caption = PercentCaption(progress.received, progress.expected);
  if (progress.bytes_per_second > 0 && progress.received < progress.expected) {
    caption += ", " + WholeNumberText(std::llround(progress.bytes_per_second)) + " bytes/s, " +
               DurationText(static_cast<long>(std::ceil(progress.seconds_left))) + " left";
  }
  return caption;
}

std::string StoppedSendingText(std::size_t received, std::size_t expected) {
  return "The meter stopped sending: " + WholeNumberText(static_cast<long long>(received)) +
         " of " + WholeNumberText(static_cast<long long>(expected)) + " bytes arrived.";
}

std::string SetReplyEndText(const SetReply& reply) {
  const std::string arrived = WholeNumberText(static_cast<long long>(reply.bytes.size())) + " of " +
                              WholeNumberText(static_cast<long long>(reply.expected)) +
                              " bytes had arrived.";
  switch (reply.end) {
    case ReplyEnd::kWhole:
      return {};
    case ReplyEnd::kSilence:
      return StoppedSendingText(reply.bytes.size(), reply.expected);
    case ReplyEnd::kBrokeOff:
      return "The meter's reply broke off: what came after " +
             WholeNumberText(static_cast<long long>(reply.bytes.size())) + " of " +
             WholeNumberText(static_cast<long long>(reply.expected)) + " bytes was not a record.";
    case ReplyEnd::kPortLost:
      return std::string(kMeterLost) + " " + arrived;
    case ReplyEnd::kLiveOnly:
      return kOnlyLiveFrames;
    case ReplyEnd::kStopped:
      return "The download was stopped: " + arrived;
  }
  return {};
}

DownloadOutcome JudgeDownload(const SetReply& reply, const DownloadedSet& set) {
  DownloadOutcome outcome;
  outcome.nothing = set.list.empty() && set.records_expected > 0;
  if (!set.complete()) {
    const std::string ended = SetReplyEndText(reply);
    outcome.lines.push_back(ended.empty() ? StoppedSendingText(reply.bytes.size(), reply.expected)
                                          : ended);
    outcome.lines.push_back(WholeNumberText(set.records_received) + " of " +
                            WholeNumberText(set.records_expected) + " records arrived whole.");
  }
  outcome.lines.insert(outcome.lines.end(), set.problems.begin(), set.problems.end());
  outcome.whole = outcome.lines.empty();
  return outcome;
}

std::optional<long long> ClockDifference(const std::string& meter_text, const DateTime& pc) {
  const std::optional<std::int64_t> meter = ParseClockText(meter_text);
  if (!meter || !IsValidDateTime(pc)) return std::nullopt;
  return *meter - LinearSeconds(pc);
}

std::optional<int> WholeSecondsAnswer(const std::string& answer, int low, int high) {
  const std::optional<double> value = ParseNumber(Trimmed(answer));
  if (!value) return std::nullopt;
  const double rounded = std::nearbyint(*value);
  return static_cast<int>(std::clamp(rounded, static_cast<double>(low), static_cast<double>(high)));
}

std::string SecondsAnswerRefused(const std::string& answer, int high) {
  return "\"" + answer + "\" is not a number of seconds: type a whole number from 1 to " +
         WholeNumberText(high) + ".";
}

}  // namespace slm
