#include "files/csv_fields.h"

namespace slm {
namespace {

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

// Reads the quoted field that starts at `line[at]` (a quote) into `field`.
// Returns the position after the closing quote, or npos when it never closes.
std::size_t ReadQuoted(std::string_view line, std::size_t at, std::string& field) {
  field.clear();
  for (std::size_t i = at + 1; i < line.size(); ++i) {
    if (line[i] != '"') {
      field += line[i];
    } else if (i + 1 < line.size() && line[i + 1] == '"') {
      field += '"';
      ++i;
    } else {
      return i + 1;
    }
  }
  return std::string_view::npos;
}

}  // namespace

bool FieldNeedsQuotes(std::string_view field, char separator, bool first_field) {
  if (first_field && !field.empty() && field.front() == ' ') return true;
  for (const char c : field) {
    if (c == separator || c == '"' || c == '\r' || c == '\n') return true;
    if (c == '\t' && separator != '\t') return true;
  }
  return false;
}

void AppendField(std::string& out, std::string_view field, char separator, bool first_field) {
  if (FieldNeedsQuotes(field, separator, first_field)) {
    AppendQuoted(out, field);
  } else {
    out.append(field);
  }
}

bool SplitQuotedFields(std::string_view line, char separator, std::string (&fields)[3],
                       bool* third_ended) {
  if (third_ended != nullptr) *third_ended = false;
  std::size_t at = 0;
  for (int i = 0; i < 3; ++i) {
    if (at < line.size() && line[at] == '"') {
      const std::size_t after = ReadQuoted(line, at, fields[i]);
      if (after == std::string_view::npos) return false;
      if (after == line.size()) return i == 2;
      if (line[after] != separator) return false;
      at = after + 1;
      continue;
    }
    const std::size_t end = line.find(separator, at);
    const std::string_view text =
        line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    if (text.find('"') != std::string_view::npos) return false;
    if (end == std::string_view::npos) {
      // Only the last field may run to the end of the line, and it must be there.
      if (i < 2 || text.empty()) return false;
      fields[i].assign(text);
      return true;
    }
    fields[i].assign(text);
    at = end + 1;
  }
  if (third_ended != nullptr) *third_ended = true;
  return true;
}

std::string HeaderItem(std::string_view item) {
  const std::size_t first = item.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  item.remove_prefix(first);
  if (item.front() != '"') return std::string(item);
  std::string value;
  const std::size_t after = ReadQuoted(item, 0, value);
  if (after == std::string_view::npos) return std::string(item);
  value.append(item.substr(after));
  return value;
}

void AppendHeaderItem(std::string& out, std::string_view value) {
  // Only what RFC 4180 quotes: other readers show the quotes of " 90.1 ".
  const bool quote = value.find_first_of("\"\r\n") != std::string_view::npos;
  if (quote) {
    AppendQuoted(out, value);
  } else {
    out.append(value);
  }
}

}  // namespace slm
