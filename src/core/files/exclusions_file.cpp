#include "files/exclusions_file.h"

#include <filesystem>
#include <system_error>

#include "base/calendar.h"
#include "base/text_excerpt.h"
#include "files/file_io.h"

namespace slm {

namespace {

constexpr std::size_t kClockTextSize = 19;  // "yyyy/mm/dd hh:nn:ss"

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

std::optional<Exclusion> ParseExclusion(std::string_view text, std::string& problem) {
  text = TrimBlanks(text);
  const std::size_t dots = text.find("..");
  const std::optional<std::int64_t> from =
      dots == std::string_view::npos ? std::nullopt : ParseClockText(text.substr(0, dots));
  std::string_view rest =
      dots == std::string_view::npos ? std::string_view{} : TrimBlanks(text.substr(dots + 2));
  const std::optional<std::int64_t> to =
      rest.size() < kClockTextSize ? std::nullopt : ParseClockText(rest.substr(0, kClockTextSize));
  rest = rest.size() < kClockTextSize ? rest : rest.substr(kClockTextSize);
  if (!from || !to || (!rest.empty() && rest.front() != ' ' && rest.front() != '\t')) {
    problem = QuotedExcerpt(text) +
              " is no stretch of time: write yyyy/mm/dd hh:nn:ss..yyyy/mm/dd hh:nn:ss";
    return std::nullopt;
  }
  if (*to <= *from) {
    problem = QuotedExcerpt(text) + " ends " + (*to < *from ? "before" : "where") + " it starts";
    return std::nullopt;
  }
  return Exclusion{*from, *to, std::string(TrimBlanks(rest))};
}

std::string ExclusionText(const Exclusion& exclusion) {
  std::string text = ClockText(exclusion.from) + ".." + ClockText(exclusion.to);
  if (!exclusion.reason.empty()) text += " " + exclusion.reason;
  return text;
}

std::string ExclusionsPathFor(const std::string& data_path) { return data_path + ".exclusions"; }

std::vector<Exclusion> ReadExclusions(const std::string& path) {
  std::vector<Exclusion> exclusions;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return exclusions;
  const std::string text = ReadWholeFile(path);
  std::size_t line_number = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = TrimBlanks(std::string_view(text).substr(start, end - start));
    start = end + 1;
    ++line_number;
    if (line.empty() || line.front() == '#') continue;
    std::string problem;
    std::optional<Exclusion> exclusion = ParseExclusion(line, problem);
    if (!exclusion) {
      throw DataFileError(path,
                          "\"" + path + "\" line " + std::to_string(line_number) + ": " + problem);
    }
    exclusions.push_back(std::move(*exclusion));
  }
  return exclusions;
}

void WriteExclusions(const std::string& data_path, const std::vector<Exclusion>& exclusions) {
  const std::string path = ExclusionsPathFor(data_path);
  if (exclusions.empty()) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (ec) throw DataFileError(path, "Cannot remove \"" + path + "\": " + ec.message());
    return;
  }
  std::string text = "# Stretches of " + std::filesystem::path(data_path).filename().string() +
                     " left out of its assessment: FROM..TO reason.\n";
  for (const Exclusion& exclusion : exclusions) {
    // A reason runs to the line's end: a line break in it would start a line
    // of its own.
    Exclusion one = exclusion;
    for (char& c : one.reason) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    text += ExclusionText(one) + "\n";
  }
  WriteWholeFile(path, text);
}

}  // namespace slm
