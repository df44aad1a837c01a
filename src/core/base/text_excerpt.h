#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace slm {

// A text from a file or the user as a message quotes it: in double quotes,
// at most `max_chars` characters of it followed by "..." when there is more,
// and every byte that is not printable ASCII (a control character, a byte of
// a binary file) shown as "?", so that a message never carries raw bytes.
std::string QuotedExcerpt(std::string_view text, std::size_t max_chars = 40);

// `text` without the blanks and tabs around it.
std::string_view Trimmed(std::string_view text);

}  // namespace slm
