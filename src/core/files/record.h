#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace slm {

// A list holds at most this many records; the recorder and the reader keep to it.
inline constexpr std::size_t kMaxRecords = 348000;

// Whether a level field holds a level as the meter and this program write it:
// a plain decimal ("65.3", "065.3", "85", "-3.0"); "--" (under range); one
// with an "L" before or after it, or "L" alone (over range); each optionally
// marked with a trailing "*" (a paused record, which may hold "*" alone),
// blanks around it allowed.
// Anything else ("7e1", "+70", "1e400", "65,3", "abc") is no level: a line
// that holds one is a bad line, and every reader leaves it out the same way.
bool IsLevelText(std::string_view text);

// One line of a record list, all three fields as text exactly as the grids show them.
struct Record {
  std::string number;     // 1, 2, ...
  std::string date_time;  // "yyyy/mm/dd hh:nn:ss"
  std::string level;      // "65.3", "80.0*", "--", ...

  friend bool operator==(const Record&, const Record&) = default;
};

// A record inside a RecordList: valid until the list is changed or destroyed.
struct RecordView {
  std::string_view number;
  std::string_view date_time;
  std::string_view level;

  Record ToRecord() const {
    return {std::string(number), std::string(date_time), std::string(level)};
  }
  friend bool operator==(const RecordView&, const RecordView&) = default;
};

// What a list is, which decides its header lines in a data file.
enum class ListKind {
  kRealTime,     // PC recording or the panel's list: "Real Time", 9 header lines
  kDataLogger2,  // memory set: "Data Logger 2", 14 header lines with keys
  kDataLogger,   // older memory set: "Data Logger", 14 bare header lines (read only)
  kPlain,        // no header: the auto-saved panel list
};

// A set the meter logged (either header form), as opposed to a PC recording
// or a plain list: it opens in the "File List" window and carries the
// meter's own results. The one place that says which kinds are sets.
constexpr bool IsMemorySet(ListKind kind) {
  return kind == ListKind::kDataLogger2 || kind == ListKind::kDataLogger;
}

// The summary values of a list, as the result labels of its view show them.
struct ListHeader {
  ListKind kind = ListKind::kRealTime;
  // Real-time: the PC sampling period in seconds; memory set: the set field.
  std::string second_value;
  std::string frequency_weighting;
  std::string time_weighting;
  std::string range;
  // Memory sets only.
  std::string l05;
  std::string l10;
  std::string l50;
  std::string l90;
  std::string l95;
  std::string max_level;
  std::string max_time;
  std::string sel;
  std::string leq;
  // Memory sets: what the first line says after the kind's name, such as
  // "incomplete: 474 of 1000 records" for a set that did not arrive whole.
  std::string note;

  friend bool operator==(const ListHeader&, const ListHeader&) = default;
};

// One line of a list file's header after its first: the field it holds, the
// key a "Data Logger 2" file writes before the value, and the character
// (from 1) its value is read from there.
struct HeaderLine {
  std::string ListHeader::*field;
  std::string_view key;
  std::size_t value_start;
};

// The header lines of a kind of list in file order: 8 for a real-time list,
// 13 for a memory set, none for a plain list. An older "Data Logger" file
// has the same lines without keys: its values start at the first character.
std::span<const HeaderLine> HeaderLines(ListKind kind);

// An ordered list of records with its header. A full list is a few hundred
// thousand records, so the texts of all records share one buffer and each
// record costs its characters plus three offsets, instead of three strings.
class RecordList {
 public:
  ListHeader& header() { return header_; }
  const ListHeader& header() const { return header_; }
  ListKind kind() const { return header_.kind; }
  bool IsMemorySet() const { return slm::IsMemorySet(header_.kind); }

  std::size_t size() const { return ends_.size() / 3; }
  bool empty() const { return ends_.empty(); }
  bool full() const { return size() >= kMaxRecords; }

  RecordView record(std::size_t i) const {
    return {Field(3 * i), Field(3 * i + 1), Field(3 * i + 2)};
  }
  std::string_view number(std::size_t i) const { return Field(3 * i); }
  std::string_view date_time(std::size_t i) const { return Field(3 * i + 1); }
  std::string_view level(std::size_t i) const { return Field(3 * i + 2); }

  // Adds a record at the end. The limit of kMaxRecords is left to the
  // producers, which each have their own way of stopping at it.
  void Append(std::string_view number, std::string_view date_time, std::string_view level);
  void Append(const Record& r) { Append(r.number, r.date_time, r.level); }
  void Append(const RecordView& r) { Append(r.number, r.date_time, r.level); }

  // Drops the records; the header stays.
  void Clear();
  void Reserve(std::size_t records, std::size_t text_bytes);
  void ShrinkToFit();

  // Bytes held by the list's storage, header texts included.
  std::size_t MemoryBytes() const;

 private:
  std::string_view Field(std::size_t k) const {
    const std::uint32_t begin = k == 0 ? 0 : ends_[k - 1];
    return std::string_view(text_.data() + begin, ends_[k] - begin);
  }

  ListHeader header_;
  // Every field of every record, back to back. A vector rather than a string:
  // its appends are inlined, which a full file's million fields notice.
  std::vector<char> text_;
  std::vector<std::uint32_t> ends_;  // end of field k in text_; field k starts at ends_[k-1]
};

}  // namespace slm
