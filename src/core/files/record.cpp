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
  for (const std::string* s :
       {&header_.second_value, &header_.frequency_weighting, &header_.time_weighting,
        &header_.range, &header_.l05, &header_.l10, &header_.l50, &header_.l90, &header_.l95,
        &header_.max_level, &header_.max_time, &header_.sel, &header_.leq}) {
    // Short texts live inside the string object itself.
    if (s->capacity() > std::string().capacity()) bytes += s->capacity() + 1;
  }
  return bytes;
}

}  // namespace slm
