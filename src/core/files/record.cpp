#include "files/record.h"

#include <limits>
#include <stdexcept>

namespace slm {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "85", "65.3", "065.3", ".5", "85.", "-3.0".
bool IsPlainDecimal(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  std::size_t digits = 0;
  std::size_t points = 0;
  for (const char c : text) {
    if (IsDigit(c)) {
      ++digits;
    } else if (c == '.' && points == 0) {
      ++points;
    } else {
      return false;
    }
  }
  return digits > 0;
}

}  // namespace

bool IsLevelText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const bool marked = !text.empty() && text.back() == '*';
  if (marked) text.remove_suffix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  // A paused record may carry no level at all: it is never counted.
  if (text == "--" || text == "L" || (marked && text.empty())) return true;
  if (!text.empty() && text.front() == 'L') {
    text.remove_prefix(1);
  } else if (!text.empty() && text.back() == 'L') {
    text.remove_suffix(1);
  }
  return IsPlainDecimal(text);
}

void RecordList::Append(std::string_view number, std::string_view date_time,
                        std::string_view level) {
  const std::size_t added = number.size() + date_time.size() + level.size();
  if (text_.size() + added > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("record list text exceeds 4 GB");
  }
  for (const std::string_view field : {number, date_time, level}) {
    text_.insert(text_.end(), field.begin(), field.end());
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
  }
}

void RecordList::Clear() {
  text_.clear();
  ends_.clear();
}

void RecordList::Reserve(std::size_t records, std::size_t text_bytes) {
  ends_.reserve(3 * records);
  text_.reserve(text_bytes);
}

void RecordList::ShrinkToFit() {
  text_.shrink_to_fit();
  ends_.shrink_to_fit();
}

std::size_t RecordList::MemoryBytes() const {
  std::size_t bytes = sizeof(*this) + text_.capacity() + ends_.capacity() * sizeof(ends_[0]);
  for (const HeaderLine& line : HeaderLines(ListKind::kDataLogger2)) {
    // Short texts live inside the string object itself.
    const std::string& s = header_.*line.field;
    if (s.capacity() > std::string().capacity()) bytes += s.capacity() + 1;
  }
  return bytes;
}

std::span<const HeaderLine> HeaderLines(ListKind kind) {
  using H = ListHeader;
  static constexpr HeaderLine kRealTime[] = {{&H::second_value, "", 1},
                                             {&H::frequency_weighting, "", 1},
                                             {&H::time_weighting, "", 1},
                                             {&H::range, "", 1},
                                             {&H::max_level, "", 1},
                                             {&H::max_time, "", 1},
                                             {&H::sel, "", 1},
                                             {&H::leq, "", 1}};
  // The set number's value is read from the blank after "SET".
  static constexpr HeaderLine kMemorySet[] = {
      {&H::second_value, "SET ", 4}, {&H::frequency_weighting, "", 1},
      {&H::time_weighting, "", 1},   {&H::range, "Range ", 7},
      {&H::l05, "L05 ", 5},          {&H::l10, "L10 ", 5},
      {&H::l50, "L50 ", 5},          {&H::l90, "L90 ", 5},
      {&H::l95, "L95 ", 5},          {&H::max_level, "Max dB ", 8},
      {&H::max_time, "", 1},         {&H::sel, "SEL ", 5},
      {&H::leq, "Leq ", 5}};
  switch (kind) {
    case ListKind::kRealTime:
      return kRealTime;
    case ListKind::kDataLogger:
    case ListKind::kDataLogger2:
      return kMemorySet;
    case ListKind::kPlain:
      break;
  }
  return {};
}

}  // namespace slm
