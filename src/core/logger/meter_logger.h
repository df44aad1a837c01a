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
// An exchange owns the port from start to end: one started inside another's
// waits is refused with kMeterBusy.
namespace slm {

inline constexpr const char* kNoDataInMemory = "No Data in Memory";
inline constexpr const char* kStopTheMeterFirst =
    "The meter is measuring. Stop it with \"Run Pause Stop\" to read its memory.";
inline constexpr const char* kDirectoryUnreadable =
    "The meter's memory directory could not be read";

// A reply is given up after this long without a byte, never for its total
// time: a paced meter, or one a few percent slower than the line's 3840
// bytes a second, takes longer than the line needs.
inline constexpr double kReplySilence = 3.0;

// One stored set as the directory lists it.
struct MemorySet {
  int position = 0;          // 1 for the first set listed
  std::uint16_t number = 0;  // the meter's own set number (its address)
  std::uint32_t size = 0;    // stored bytes S
  int records = 0;           // (S - 341) / 38
  std::string start;         // "yyyy/mm/dd  hh:nn:ss" from the packed start time

  friend bool operator==(const MemorySet&, const MemorySet&) = default;
};

struct MemoryDirectory {
  std::uint32_t size = 0;       // in 1/1000 MB
  std::uint32_t remaining = 0;  // in 1/1000 MB
  // The entries that arrived whole and valid, in reply order, up to the
  // first that did not.
  std::vector<MemorySet> sets;
  // N, the number of sets the meter announced; -1 when the reply's head is
  // no directory's head (then nothing is listed, sizes included).
  int announced = -1;
  // Why the reply is not a whole, valid directory, as a sentence for the
  // user; empty when it is.
  std::string problem;
  // The reply stopped before all the entries it announced (a kind of problem).
  bool incomplete = false;

  bool valid() const { return problem.empty(); }
  bool head_known() const { return announced >= 0; }
};

// "8.0": a directory size in MB with one decimal.
std::string MegabytesText(std::uint32_t thousandths);
int RecordsOfSetSize(std::uint32_t size);

// The directory from its reply ("N"), every field checked: the start and
// end bytes, the length the set count announces, sizes that fit the memory,
// start times that are real dates, set numbers listed once.
MemoryDirectory DecodeMemoryDirectory(const Bytes& reply);
// Where the meter's live stream begins in `bytes`, from `from` on: the first
// place from which every whole six bytes to the end are live frames, two at
// least; Bytes::npos when there is none.
std::size_t LiveFramesFrom(const Bytes& bytes, std::size_t from);
// The directory in a reply as it was read, with the number of bytes that had
// come before each pause inside it: when the reply was cut short and the
// meter went back to its live frames, only the entries whose bytes all came
// before the frames, whether the pause was seen or not.
MemoryDirectory DecodeDirectoryReply(const Bytes& bytes, const std::vector<std::size_t>& pauses);
// True when `reply` starts with two whole live frames (2 .. 3 2 .. 3): a
// meter that ignored its command and went on streaming.
bool StartsWithLiveFrames(const Bytes& reply);
inline constexpr const char* kOnlyLiveFrames =
    "The meter does not answer: it goes on sending its live readings.";
// 12 + 10 x N for a reply whose byte 10 is N.
std::size_t DirectoryReplyLength(int sets);

// Bytes of the reply to "O" for a set of `records` records: 359 + 38 x n.
std::size_t SetReplyLength(int records);

// How many of the first `records` records of a set reply arrived whole and
// have the form of a record (printable marker and level, a real date), in a
// row from record 1. Records up to `known` are taken as checked already.
int WholeRecords(const Bytes& reply, int records, int known = 0);

// A set decoded into the list DataList shows: the meter's results in the
// header (kind DataLogger2), every k-th record (1, 1 + k, 1 + 2k, ...),
// numbered 1, 2, 3 ...; the first with its own time, later ones with the set's
// start plus (i - 1) x the set field in seconds; levels of "[pause]" records
// with "*" appended. Only records that arrived whole (WholeRecords) are
// listed. When the set field or the start is not what it must be, every
// listed record carries the time the meter stored with it, and `problems`
// says which field was wrong. A set that did not arrive whole keeps none of
// the meter's results for the whole set (maximum, Leq, SEL, L05 to L95) and
// its header notes "incomplete: k of n records".
struct DownloadedSet {
  RecordList list;
  std::string set_field;     // written after "SET " when the list is saved
  int records_expected = 0;  // n of the directory
  int records_received = 0;  // records that arrived whole
  std::vector<std::string> problems;
  bool complete() const { return records_received >= records_expected; }
};
DownloadedSet DecodeSetReply(const Bytes& reply, int records, int step);

// How a download is coming on: bytes so far and expected, the rate since
// the first byte and the time left at that rate (both 0 until known).
struct DownloadProgress {
  std::size_t received = 0;
  std::size_t expected = 0;
  double bytes_per_second = 0;
  double seconds_left = 0;
};
using DownloadProgressFn = std::function<void(const DownloadProgress&)>;

// "37.5% Completed, 3700 bytes/s, 00:01:43 left"; at most "100.0% Completed".
std::string DownloadProgressCaption(const DownloadProgress& progress);

// Waits until the line is quiet (no byte for longer than the pauses of a
// paced meter or a USB adapter, or a pause after a whole live frame), then
// discards the input, so that neither a frame under way nor the tail of an
// earlier reply lands in front of a reply read by position.
void QuietFlush(MeterLink& link);

// "N": the directory, read again once when the first reply is not a whole,
// valid one. Throws LinkError when the meter sends nothing within
// kReplySilence, or when its port fails (kMeterLost).
MemoryDirectory ReadMemoryDirectory(MeterLink& link);

// Why a set reply ended.
enum class ReplyEnd {
  kWhole,     // every byte expected arrived
  kSilence,   // nothing came for kReplySilence
  kBrokeOff,  // what came next was not a record (the meter went back to its stream)
  kLiveOnly,  // no reply: the meter went on sending its live frames
  kPortLost,  // the serial port failed
  kStopped,   // the program was asked to stop
};

// "O", low byte, high byte of `set_number`: the set's reply, as much as
// arrived whole. It waits as long as bytes keep coming.
struct SetReply {
  Bytes bytes;
  std::size_t expected = 0;
  ReplyEnd end = ReplyEnd::kWhole;
  bool complete() const { return end == ReplyEnd::kWhole; }
};
struct DownloadHooks {
  DownloadProgressFn progress;           // a few times a second
  std::function<bool()> stop_requested;  // true ends the download at once
};
SetReply DownloadSet(MeterLink& link, std::uint16_t set_number, int records,
                     const DownloadHooks& hooks = {});
// Why a set reply is not whole, in words with the bytes that arrived; empty
// for a whole one.
std::string SetReplyEndText(const SetReply& reply);

// What a download came to, the same in the panel and in slmtool: whether the
// whole set arrived sound, whether nothing at all can be listed, and what the
// user is told otherwise (how it ended, how many records arrived whole, and
// any field the meter got wrong).
struct DownloadOutcome {
  bool whole = false;    // every record arrived and every field was sound
  bool nothing = false;  // not one record arrived whole
  std::vector<std::string> lines;
};
DownloadOutcome JudgeDownload(const SetReply& reply, const DownloadedSet& set);
// "The meter stopped sending: 1234 of 5678 bytes arrived."
std::string StoppedSendingText(std::size_t received, std::size_t expected);

// "P", low byte, high byte: erases one set; "H": erases them all. Neither
// gets a reply; EraseAndConfirm says whether they took.
void EraseSet(MeterLink& link, std::uint16_t set_number);
void EraseAll(MeterLink& link);

// "Erase set 7 (position 1, started ..., 12 records)?" or "Erase all 3
// sets ...?": what the user is asked before anything goes. `position` 0
// stands for every set.
std::string EraseQuestion(const MemoryDirectory& directory, int position);
// Erases the set at `position` of `before` (every set for 0), reads the
// directory again and says what is really gone: confirmed only when the
// directory afterwards is the one before without that set (or empty).
struct EraseResult {
  bool confirmed = false;
  // What went is not known: the meter may have erased the set and moved the
  // sets after it up a position, so that a retry by position must list the
  // memory first.
  bool unknown = false;
  std::string message;
};
EraseResult EraseAndConfirm(MeterLink& link, const MemoryDirectory& before, int position);
// The same for the set at `position` of `shown`, a directory the user chose
// from a while ago: the directory is read again first and the set found in it
// by its number and start, wherever it is now. When it is gone, or (for every
// set) the memory lists other sets than were shown, nothing is erased.
EraseResult EraseShownSet(MeterLink& link, const MemoryDirectory& shown, int position);

// A set's start as memory lists it ("2024/05/01  10:00:00", with one space or
// more before the time); nothing when the text is no date and time.
std::optional<std::int64_t> SetStartTime(const std::string& text);
// Why the set at `position` of `directory` is not the one that started at
// `start` (seconds, as SetStartTime gives them), naming both; empty when it is.
std::string OtherSetAtPosition(const MemoryDirectory& directory, int position, std::int64_t start);

// "J": the logger's sampling time (256 x byte 1 + byte 2, 1 to 255 s); "C",
// t / 256, t % 256 sets it. An answer of another form (a live frame of a
// meter that ignored "J") is no answer: LinkError(kMeterDoesNotAnswer).
int ReadSamplingTime(MeterLink& link);
void SetSamplingTime(MeterLink& link, int seconds);

// "I" until six bytes come that are a clock (BCD digits of a real date and
// time, and not a live frame), within a limit: the meter's clock as
// "20yy/mm/dd hh:nn:ss"; the 7-byte "B" command sets it.
std::string ReadMeterClock(MeterLink& link);
void SetMeterClock(MeterLink& link, const DateTime& time);
// Seconds from `pc` to the meter's clock text "20yy/mm/dd hh:nn:ss";
// nothing when the text is no such time.
std::optional<long long> ClockDifference(const std::string& meter_text, const DateTime& pc);

// An answer typed for a whole number of seconds: rounded to the nearest
// (halves to even), pulled into [low, high]; nothing when it is not a
// number (then the question is asked again).
std::optional<int> WholeSecondsAnswer(const std::string& answer, int low, int high);
// What is said of an answer WholeSecondsAnswer cannot read.
std::string SecondsAnswerRefused(const std::string& answer, int high);

}  // namespace slm
