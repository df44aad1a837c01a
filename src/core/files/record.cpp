#include "files/record.h"

#include <limits>
#include <stdexcept>

namespace slm {

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
