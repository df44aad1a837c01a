#pragma once

namespace slm {

// Sets a flag for the guard's lifetime: a handler that waits inside itself
// (a timer tick, a command) marks itself running so that it is not entered
// again from its own wait.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = false; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
};

}  // namespace slm
