#include "analysis/list_report.h"

#include <algorithm>
#include <string_view>

#include "base/number_text.h"
#include "files/progress.h"

namespace slm {

namespace {

constexpr std::size_t kMaxPerLine = 5;

// Appends `text` right-aligned in `width` characters; false when it does not fit.
bool AppendRight(std::string& line, std::string_view text, std::size_t width) {
  if (text.size() > width) return false;
  line.append(width - text.size(), ' ');
  line.append(text);
  return true;
}

std::string ResultLine(const char* caption, const std::string& value) {
  return "-         " + std::string(caption) + " : " + value;
}

// The lines every copy starts with: blanks, the results, the column header
// and the rule.
std::vector<std::string> HeadLines(const ListHeader& header) {
  std::vector<std::string> lines(4, " ");
  lines.push_back(ResultLine(kFreqWeightCaption, header.frequency_weighting));
  lines.push_back(ResultLine(kTimeWeightCaption, header.time_weighting));
  lines.push_back(ResultLine(kLevelRangeCaption, header.range));
  lines.push_back(ResultLine(kMaxDbCaption, header.max_level + " - " + header.max_time));
  // The range is printed a second time below the maximum.
  lines.push_back(ResultLine(kLevelRangeCaption, header.range));
  lines.push_back(ResultLine(kSelCaption, header.sel));
  lines.push_back(ResultLine(kLeqCaption, header.leq));
  lines.push_back("-");
  std::string columns;
  AppendRight(columns, "No.s", kNumberWidth);
  AppendRight(columns, "Date Time", kDateTimeWidth);
  columns += "     (dB)";
  lines.push_back(std::move(columns));
  lines.push_back(std::string(9, ' ') + std::string(71, '-'));
  return lines;
}

}  // namespace

std::optional<int> ParseRecordsPerLine(const std::string& answer) {
  const double value = LeadingNumber(answer);
  if (!(value >= 1.0 && value <= static_cast<double>(kMaxPerLine))) return std::nullopt;
  return static_cast<int>(value);
}

std::string ReportStopText(const ReportStop& stop) {
  return "The report stopped at record " + PlainNumberText(static_cast<double>(stop.row)) +
         ": its " + stop.field + " \"" + stop.text + "\" is longer than the " +
         PlainNumberText(static_cast<double>(stop.width)) +
         " characters of its column. The lines before it were printed.";
}

ListReport BuildListReport(const RecordList& list, int per, int copies,
                           const ReportProgressFn& progress) {
  ListReport report;
  const std::size_t n = list.size();
  const std::size_t step = static_cast<std::size_t>(std::clamp<int>(per, 1, kMaxPerLine));
  const std::vector<std::string> head = HeadLines(list.header());
  const std::size_t rows_per_copy = (n + step - 1) / step;
  const std::size_t line_width = kNumberWidth + kDateTimeWidth + step * kLevelWidth;
  report.lines.reserve(static_cast<std::size_t>(std::max(copies, 0)) *
                       (head.size() + rows_per_copy));
  ProgressThrottle throttle;

  for (int copy = 0; copy < copies; ++copy) {
    report.lines.insert(report.lines.end(), head.begin(), head.end());
    for (std::size_t first = 0; first < n; first += step) {
      const std::size_t last = std::min(first + step, n);
      std::string line;
      line.reserve(line_width);
      const auto stop_at = [&](std::size_t row, const char* field, std::string_view text,
                               std::size_t width) {
        report.stop = ReportStop{row, field, std::string(text), width};
      };
      if (!AppendRight(line, list.number(first), kNumberWidth)) {
        stop_at(first + 1, "No.s", list.number(first), kNumberWidth);
        return report;
      }
      if (!AppendRight(line, list.date_time(first), kDateTimeWidth)) {
        stop_at(first + 1, "Date Time", list.date_time(first), kDateTimeWidth);
        return report;
      }
      for (std::size_t k = first; k < last; ++k) {
        if (!AppendRight(line, list.level(k), kLevelWidth)) {
          stop_at(k + 1, "dB", list.level(k), kLevelWidth);
          return report;
        }
      }
      report.lines.push_back(std::move(line));
      const bool final_line = copy + 1 == copies && last == n;
      if (progress && (throttle.Due() || final_line)) progress(first + 1);
    }
  }
  return report;
}

}  // namespace slm
