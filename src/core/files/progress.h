#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace slm {

// The caption a window shows while a file is read: the records read so far,
// the lines read less the title line, then " Records Completed".
// 349 lines -> "348 Records Completed".
std::string ReadCaption(std::size_t lines);

// The caption while a list is written: the grid row just written (1 for the
// first record) then "Records Completed", without a blank: "348Records Completed".
std::string WriteCaption(std::size_t row);

// The caption of a loop over rows that counts them: "57 Completed" (a plot
// classifying levels, a report laying out lines).
std::string CountCaption(std::size_t row);

// The caption of a job `done` of `total` along, in tenths of a percent
// rounded half up: "37.5% Completed". It says "100.0%" only once the job is
// done, whatever the rounding (99.96% is "99.9%").
std::string PercentCaption(std::size_t done, std::size_t total);

// A caption need not change more than a few times a second: the windows
// repaint at each one.
inline constexpr std::chrono::milliseconds kProgressInterval{250};

// Tells when the next progress update is due: at the first question, then
// once `interval` has passed since the last update given. The final update of
// a read or write is given whatever this says.
class ProgressThrottle {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  explicit ProgressThrottle(std::chrono::milliseconds interval = kProgressInterval,
                            Clock clock = &std::chrono::steady_clock::now);

  bool Due();

 private:
  std::chrono::milliseconds interval_;
  Clock clock_;
  bool started_ = false;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace slm
