#include "base/text_excerpt.h"

namespace slm {

std::string QuotedExcerpt(std::string_view text, std::size_t max_chars) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size() && i < max_chars; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    // Bytes past ASCII may be any code page's: a terminal could show them as
    // anything, so they are shown as unknown too.
    const bool printable = c >= 0x20 && c < 0x7F;
    out += printable ? static_cast<char>(c) : '?';
  }
  if (text.size() > max_chars) out += "...";
  return out + "\"";
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace slm
