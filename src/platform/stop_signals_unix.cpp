#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/stop_signals.h"

namespace slm::platform {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
std::atomic<int> g_write_fd{-1};
std::atomic<bool> g_arrived{false};
struct sigaction g_saved[3];

// Only what a signal handler may do: an atomic store and a write to a pipe.
void OnSignal(int signal) {
  const int saved_errno = errno;
  g_arrived = true;
  const unsigned char number = static_cast<unsigned char>(signal);
  const int fd = g_write_fd.load();
  if (fd >= 0) (void)::write(fd, &number, 1);  // a full pipe already has work to do
  errno = saved_errno;
}

}  // namespace

StopSignals::StopSignals() {
  int fds[2];
  if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;  // the signals keep their old handling
  read_fd_ = fds[0];
  write_fd_ = fds[1];
  g_arrived = false;
  g_write_fd = write_fd_;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &action, &g_saved[i]);
}

StopSignals::~StopSignals() {
  if (read_fd_ < 0) return;
  for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &g_saved[i], nullptr);
  g_write_fd = -1;
  ::close(read_fd_);
  ::close(write_fd_);
}

std::vector<int> StopSignals::TakeArrived() {
  std::vector<int> arrived;
  if (read_fd_ < 0) return arrived;
  unsigned char numbers[64];
  for (;;) {
    const ssize_t got = ::read(read_fd_, numbers, sizeof numbers);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return arrived;
    arrived.insert(arrived.end(), numbers, numbers + got);
  }
}

const std::atomic<bool>& StopSignals::arrived() const { return g_arrived; }

void IgnoreBrokenPipe() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace slm::platform
