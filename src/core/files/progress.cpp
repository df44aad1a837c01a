#include "files/progress.h"

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
