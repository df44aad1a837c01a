#pragma once

// A program run as a user runs it, as a child process that the test watches
// while it runs: its output caught through pipes, signals sent to it. A child
// still running at the end of a test is killed.
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace slm::test {

struct ChildOptions {
  std::string folder = ".";                                      // the working folder
  std::optional<rlim_t> file_size_limit;                         // a full disk: writes past it fail
  std::vector<std::pair<std::string, std::string>> environment;  // added or replaced
};

class Child {
 public:
  using Clock = std::chrono::steady_clock;

  Child(const std::string& program, std::vector<std::string> args, ChildOptions options = {}) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& word : args) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], 1);
      ::dup2(err[1], 2);
      if (::chdir(options.folder.c_str()) != 0) ::_exit(126);
      for (const auto& [name, value] : options.environment)
        ::setenv(name.c_str(), value.c_str(), 1);
      if (options.file_size_limit) {
        std::signal(SIGXFSZ, SIG_IGN);
        // The soft limit only, as a full disk stops the user's files: slmtool
        // lifts it while it loads its Qt part into memory.
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = *options.file_size_limit;
        ::setrlimit(RLIMIT_FSIZE, &limit);
      }
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ~Child() {
    Signal(SIGKILL);
    Wait(5);
    ::close(out_);
    ::close(err_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t pid() const { return pid_; }
  bool running() const { return pid_ > 0 && !status_; }
  void Signal(int signal) const {
    if (running()) ::kill(pid_, signal);
  }

  // Reads the child's output until `done` holds or `seconds` passed; a child
  // slow to start (a loaded machine, a sanitizer build) is waited for.
  bool ReadUntil(const std::function<bool()>& done, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
      if (Clock::now() >= end) return false;
      Drain(50);
    }
    return true;
  }
  // The first line the child prints within `seconds`.
  std::string FirstLine(double seconds) {
    ReadUntil([this] { return out_text_.find('\n') != std::string::npos; }, seconds);
    return out_text_.substr(0, out_text_.find('\n'));
  }

  // Waits up to `seconds` for the child to end: its exit code, or -1 when a
  // signal killed it or it still runs.
  int Wait(double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (pid_ > 0 && !status_) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = status;
        break;
      }
      if (Clock::now() >= end) return -1;
      Drain(20);
    }
    while (Drain(0)) {
    }
    return status_ && WIFEXITED(*status_) ? WEXITSTATUS(*status_) : -1;
  }

  // The reader of the child's output goes away, as a "| head -1" does.
  void CloseOutput() {
    ::close(out_);
    out_ = -1;
  }

  const std::string& out() const { return out_text_; }
  const std::string& err() const { return err_text_; }

 private:
  // Takes what the child wrote within `ms`; true when something came.
  bool Drain(int ms) {
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    if (::poll(fds, 2, ms) <= 0) return false;
    bool got = false;
    char buffer[4096];
    for (int i = 0; i < 2; ++i) {
      if ((fds[i].revents & POLLIN) == 0) continue;
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        (i == 0 ? out_text_ : err_text_).append(buffer, static_cast<size_t>(n));
        got = true;
      }
    }
    return got;
  }

  pid_t pid_ = -1;
  int out_ = -1, err_ = -1;
  std::optional<int> status_;
  std::string out_text_, err_text_;
};

#ifdef SLMTOOL_PATH
// `slmtool emulate ARGS...`: the simulated meter on a pseudo-terminal.
class Emulator : public Child {
 public:
  explicit Emulator(std::vector<std::string> args) : Child(SLMTOOL_PATH, Prepend(std::move(args))) {
    const std::string line = FirstLine(15);
    if (line.rfind("device: ", 0) == 0) device_ = line.substr(8);
  }
  // Its device, empty when it did not start.
  const std::string& device() const { return device_; }

 private:
  static std::vector<std::string> Prepend(std::vector<std::string> args) {
    args.insert(args.begin(), "emulate");
    return args;
  }
  std::string device_;
};
#endif

}  // namespace slm::test
