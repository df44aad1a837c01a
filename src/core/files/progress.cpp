#include "files/progress.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "base/number_text.h"

namespace slm {

std::string ReadCaption(std::size_t lines) {
  const double records = lines > 0 ? static_cast<double>(lines - 1) : 0.0;
  return PlainNumberText(records) + " Records Completed";
}

std::string WriteCaption(std::size_t row) {
  return PlainNumberText(static_cast<double>(row)) + "Records Completed";
}

std::string CountCaption(std::size_t row) {
  return PlainNumberText(static_cast<double>(row)) + " Completed";
}

std::string PercentCaption(std::size_t done, std::size_t total) {
  std::uint64_t tenths = 1000;
  if (total > 0 && done < total) {
    tenths =
        std::min<std::uint64_t>((static_cast<std::uint64_t>(done) * 2000 / total + 1) / 2, 999);
  }
  return WholeNumberText(static_cast<long long>(tenths / 10)) + "." +
         WholeNumberText(static_cast<long long>(tenths % 10)) + "% Completed";
}

ProgressThrottle::ProgressThrottle(std::chrono::milliseconds interval, Clock clock)
    : interval_(interval), clock_(std::move(clock)) {}

bool ProgressThrottle::Due() {
  const auto now = clock_();
  if (started_ && now - last_ < interval_) return false;
  started_ = true;
  last_ = now;
  return true;
}

}  // namespace slm
