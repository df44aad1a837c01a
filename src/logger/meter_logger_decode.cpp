// The logger's replies decoded: the memory directory, a downloaded set and the
// texts the logger window shows.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <string_view>

#include "base/number_text.h"
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
void AppendPadded(std::string& out, long long value, std::size_t width) {
  const std::string digits = NumberText(static_cast<double>(value));
  if (digits.size() < width) out.append(width - digits.size(), '0');
  out += digits;
}

// Seconds since 1970 of a "yyyy/mm/dd hh:nn:ss" text; nothing when it is not one.
std::optional<long long> EpochOfText(std::string_view text) {
  if (text.size() != 19 || text[4] != '/' || text[7] != '/' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':') {
    return std::nullopt;
  }
  auto field = [&](std::size_t at, std::size_t length) -> std::optional<long long> {
    return ParseInteger(text.substr(at, length));
  };
  const auto y = field(0, 4), mo = field(5, 2), d = field(8, 2);
  const auto h = field(11, 2), mi = field(14, 2), s = field(17, 2);
  if (!y || !mo || !d || !h || !mi || !s) return std::nullopt;
  using namespace std::chrono;
  const year_month_day date{year{static_cast<int>(*y)}, month{static_cast<unsigned>(*mo)},
                            day{static_cast<unsigned>(*d)}};
  if (!date.ok() || *h > 23 || *mi > 59 || *s > 59) return std::nullopt;
  return static_cast<long long>(sys_days{date}.time_since_epoch().count()) * 86400 + *h * 3600 +
         *mi * 60 + *s;
}

// "yyyy/mm/dd hh:nn:ss" of seconds since 1970.
std::string TextOfEpoch(long long seconds) {
  using namespace std::chrono;
  long long days_count = seconds / 86400;
  long long rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days_count;
  }
  const year_month_day date{sys_days{days{days_count}}};
  std::string out;
  out.reserve(19);
  AppendPadded(out, static_cast<int>(date.year()), 4);
  out += '/';
  AppendPadded(out, static_cast<unsigned>(date.month()), 2);
  out += '/';
  AppendPadded(out, static_cast<unsigned>(date.day()), 2);
  out += ' ';
  AppendPadded(out, rest / 3600, 2);
  out += ':';
  AppendPadded(out, rest / 60 % 60, 2);
  out += ':';
  AppendPadded(out, rest % 60, 2);
  return out;
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

std::size_t DirectoryReplyLength(int sets) {
  return kDirectoryHead + kDirectoryEntry * static_cast<std::size_t>(std::max(sets, 0));
}

std::optional<MemoryDirectory> DecodeMemoryDirectory(const Bytes& reply) {
  if (reply.size() < 10) return std::nullopt;
  MemoryDirectory directory;
  directory.size = U32At(reply, 2);
  directory.remaining = U32At(reply, 6);
  const int count = ByteAt(reply, 10);
  for (int i = 0; i < count; ++i) {
    const std::size_t at = kDirectoryHead + kDirectoryEntry * static_cast<std::size_t>(i);
    if (at + kDirectoryEntry - 1 > reply.size()) break;  // the entry did not arrive whole
    MemorySet set;
    set.position = i + 1;
    set.number = static_cast<std::uint16_t>(U16At(reply, at));
    set.size = U32At(reply, at + 2);
    set.records = RecordsOfSetSize(set.size);
    // The date half comes first, each half low byte first.
    const std::uint32_t packed = U16At(reply, at + 6) << 16 | U16At(reply, at + 8);
    set.start = DecodeMeterDateTime(packed);
    directory.sets.push_back(set);
  }
  return directory;
}

std::size_t SetReplyLength(int records) {
  return kSetReplyBase + kRecordBytes * static_cast<std::size_t>(std::max(records, 0));
}

DownloadedSet DecodeSetReply(const Bytes& reply, int records, int step) {
  const std::string_view text(reply);
  DownloadedSet set;
  set.records_expected = std::max(records, 0);
  if (reply.size() >= kSetReplyBase) {
    set.records_received = static_cast<int>(
        std::min<std::size_t>((reply.size() - kSetReplyBase) / kRecordBytes, set.records_expected));
  }
  step = std::max(step, 1);

  ListHeader& header = set.list.header();
  header.kind = ListKind::kDataLogger2;
  set.set_field = std::string(TextAt(text, 20, 1));
  header.second_value = set.set_field;
  header.frequency_weighting = std::string(TextAt(text, 40, 1));
  header.time_weighting = std::string(TextAt(text, 57, 4));
  header.range = std::string(TextAt(text, 77, 6));
  header.max_level = std::string(TextAt(text, 145, 6));
  header.max_time = std::string(TextAt(text, 155, 19));
  header.leq = std::string(TextAt(text, 201, 6));
  header.sel = std::string(TextAt(text, 217, 6));
  header.l05 = std::string(TextAt(text, 233, 6));
  header.l10 = std::string(TextAt(text, 249, 6));
  header.l50 = std::string(TextAt(text, 265, 6));
  header.l90 = std::string(TextAt(text, 281, 6));
  header.l95 = std::string(TextAt(text, 297, 6));
  if (set.records_received == 0) return set;

  const std::size_t rows = 1 + static_cast<std::size_t>(set.records_received - 1) / step;
  set.list.Reserve(rows, rows * 32);
  std::string level;
  auto level_of = [&](std::size_t at) -> const std::string& {
    level.assign(TextAt(text, at + 28, 5));
    if (TextAt(text, at, 7) == kPauseMarker) level += '*';
    return level;
  };
  set.list.Append("1", TextAt(text, kFirstRecord + 8, 19), level_of(kFirstRecord));

  const std::optional<double> interval = ParseNumber(Trimmed(set.set_field));
  const std::optional<long long> start = EpochOfText(TextAt(text, 116, 19));
  if (!interval || !start) return set;
  long long counter = 1;
  for (int i = 1 + step; i <= set.records_received; i += step) {
    const std::size_t at = kFirstRecord + kRecordBytes * static_cast<std::size_t>(i - 1);
    const long long offset = std::llround(static_cast<double>(i - 1) * *interval);
    ++counter;
    set.list.Append(NumberText(static_cast<double>(counter)), TextOfEpoch(*start + offset),
                    level_of(at));
  }
  return set;
}

std::string DownloadProgressCaption(std::size_t received, std::size_t expected) {
  std::uint64_t tenths = 1000;
  if (expected > 0 && received < expected) {
    // Rounded to the nearest tenth, a half upwards.
    tenths = (static_cast<std::uint64_t>(received) * 2000 / expected + 1) / 2;
  }
  return NumberText(static_cast<double>(tenths / 10)) + "." +
         NumberText(static_cast<double>(tenths % 10)) + "% Completed";
}

std::string StoppedSendingText(std::size_t received, std::size_t expected) {
  return "The meter stopped sending: " + NumberText(static_cast<double>(received)) + " of " +
         NumberText(static_cast<double>(expected)) + " bytes arrived.";
}

std::optional<int> WholeSecondsAnswer(const std::string& answer, int low, int high) {
  const std::optional<double> value = ParseNumber(Trimmed(answer));
  if (!value) return std::nullopt;
  const double rounded = std::nearbyint(*value);
  return static_cast<int>(std::clamp(rounded, static_cast<double>(low), static_cast<double>(high)));
}

}  // namespace slm
