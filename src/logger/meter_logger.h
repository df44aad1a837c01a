#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "files/record.h"
#include "link/meter_link.h"
#include "link/serial_port.h"

// The meter's data logger: its memory directory, the download of a stored
// set, erasing, the logger's sampling time and the meter's clock. Every
// exchange has a time limit and says in words what went wrong (LinkError).
namespace slm {

inline constexpr const char* kNoDataInMemory = "No Data in Memory";
inline constexpr const char* kStopTheMeterFirst =
    "The meter is measuring. Stop it with \"Run Pause Stop\" to read its memory.";
inline constexpr const char* kDirectoryUnreadable =
    "The meter's memory directory could not be read.";

// The line carries 3840 bytes a second; a reply of n bytes is waited for
// n / 3840 seconds plus this margin.
inline constexpr double kLineBytesPerSecond = 3840;
inline constexpr double kReplyMargin = 3.0;

// One stored set as the directory lists it.
struct MemorySet {
  int position = 0;       // 1 for the first set listed
  std::uint16_t number = 0;  // the meter's own set number (its address)
  std::uint32_t size = 0;    // stored bytes S
  int records = 0;           // (S - 341) / 38, 0 below 341
  std::string start;         // "yyyy/mm/dd  hh:nn:ss" from the packed start time
};

struct MemoryDirectory {
  std::uint32_t size = 0;       // in 1/1000 MB
  std::uint32_t remaining = 0;  // in 1/1000 MB
  std::vector<MemorySet> sets;
};

// "8.0": a directory size in MB with one decimal.
std::string MegabytesText(std::uint32_t thousandths);
int RecordsOfSetSize(std::uint32_t size);

// The directory from its reply ("N"): nothing when the reply is too short to
// hold its set count; the sets whose entries arrived whole otherwise.
std::optional<MemoryDirectory> DecodeMemoryDirectory(const Bytes& reply);
// 12 + 10 x N for a reply whose byte 10 is N.
std::size_t DirectoryReplyLength(int sets);

// Bytes of the reply to "O" for a set of `records` records: 359 + 38 x n.
std::size_t SetReplyLength(int records);

// A set decoded into the list DataList shows: the meter's results in the
// header (kind DataLogger2), every k-th record (1, 1 + k, 1 + 2k, ...),
// numbered 1, 2, 3 ...; the first with its own time, later ones with the set's
// start plus (i - 1) x the set field in seconds; levels of "[pause]" records
// with "*" appended. Records that did not arrive whole are not listed.
struct DownloadedSet {
  RecordList list;
  std::string set_field;     // written after "SET " when the list is saved
  int records_expected = 0;  // n of the directory
  int records_received = 0;  // records that arrived whole
  bool complete() const { return records_received >= records_expected; }
};
DownloadedSet DecodeSetReply(const Bytes& reply, int records, int step);

// Called with the bytes received so far and the bytes expected.
using ByteProgressFn = std::function<void(std::size_t received, std::size_t expected)>;

// "37.5% Completed", at most "100.0% Completed".
std::string DownloadProgressCaption(std::size_t received, std::size_t expected);

// Waits until the line has been quiet for a few byte times (a live frame under
// way would otherwise land in front of a reply read by position), then
// discards the input.
void QuietFlush(MeterLink& link);

// "N": the directory. Throws LinkError(kDirectoryUnreadable) for a reply too
// short to hold its set count; waits for the rest of the entries within the
// line time plus the margin, reading a reply of the wrong length once more.
MemoryDirectory ReadMemoryDirectory(MeterLink& link);

// "O", low byte, high byte of `set_number`: the set's reply, as much as
// arrived within the line time plus the margin (then `complete` is false).
struct SetReply {
  Bytes bytes;
  std::size_t expected = 0;
  bool complete() const { return bytes.size() >= expected; }
};
SetReply DownloadSet(MeterLink& link, std::uint16_t set_number, int records,
                     const ByteProgressFn& progress = {});
// "The meter stopped sending: 1234 of 5678 bytes arrived."
std::string StoppedSendingText(std::size_t received, std::size_t expected);

// "P", low byte, high byte: erases one set; "H": erases them all.
void EraseSet(MeterLink& link, std::uint16_t set_number);
void EraseAll(MeterLink& link);

// "J": the logger's sampling time (256 x byte 1 + byte 2); "C", t / 256,
// t % 256 sets it.
int ReadSamplingTime(MeterLink& link);
void SetSamplingTime(MeterLink& link, int seconds);

// "I" until six bytes come (within a limit): the meter's clock as
// "20yy/mm/dd hh:nn:ss"; the 7-byte "B" command sets it.
std::string ReadMeterClock(MeterLink& link);
void SetMeterClock(MeterLink& link, const DateTime& time);

// An answer typed for a whole number of seconds: rounded to the nearest
// (halves to even), pulled into [low, high]; nothing when it is not a
// number (then the question is asked again).
std::optional<int> WholeSecondsAnswer(const std::string& answer, int low, int high);

}  // namespace slm
