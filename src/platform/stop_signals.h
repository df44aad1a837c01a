#pragma once

#include <atomic>
#include <vector>

namespace slm::platform {

// Catches what asks a program to stop: SIGTERM, SIGINT (Ctrl+C) and SIGHUP (a
// closed terminal, a logout); on Windows the console's Ctrl+C and Ctrl+Break
// (as SIGINT), and its closing, a logoff or a shutdown (as SIGTERM). The
// handler only notes the signal: the program ends in its own time, as the
// user ending it would. One instance at a time; the handling that was there
// before comes back when it is destroyed.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The signals that arrived since the last call, oldest first.
  std::vector<int> TakeArrived();
  // Set once any signal arrived, and never cleared: for a loop that polls.
  const std::atomic<bool>& arrived() const;
  // A descriptor that becomes readable when a signal arrives, for an event
  // loop to watch; -1 where there is none (Windows: poll TakeArrived).
  int wake_descriptor() const { return read_fd_; }

 private:
  int read_fd_ = -1;
  int write_fd_ = -1;
};

// A reader of our standard output that goes away ends no program: the write
// fails instead (POSIX: SIGPIPE ignored; Windows has no such signal).
void IgnoreBrokenPipe();

}  // namespace slm::platform
