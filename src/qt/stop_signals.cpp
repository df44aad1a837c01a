#include "qt/stop_signals.h"

#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <csignal>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace slm {

namespace {

#ifdef _WIN32

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGBREAK};
std::atomic<int> g_pending{0};
void (*g_saved[3])(int) = {};

void OnSignal(int signal) {
  g_pending = signal;
  std::signal(signal, OnSignal);  // Windows resets the handler on delivery
}

#else

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
std::atomic<int> g_write_fd{-1};
struct sigaction g_saved[3];

void OnSignal(int signal) {
  const int saved_errno = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  const int fd = g_write_fd.load();
  if (fd >= 0) (void)::write(fd, &number, 1);  // a full pipe already has work to do
  errno = saved_errno;
}

#endif

}  // namespace

StopSignals::StopSignals(std::function<void(int signal)> on_stop, QObject* parent)
    : QObject(parent), on_stop_(std::move(on_stop)) {
#ifdef _WIN32
  g_pending = 0;
  for (int i = 0; i < 3; ++i) g_saved[i] = std::signal(kSignals[i], OnSignal);
  poll_ = new QTimer(this);
  poll_->setInterval(100);
  connect(poll_, &QTimer::timeout, this, [this] { Deliver(); });
  poll_->start();
#else
  int fds[2];
  if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;  // the signals keep their old handling
  read_fd_ = fds[0];
  write_fd_ = fds[1];
  g_write_fd = write_fd_;
  notifier_ = new QSocketNotifier(read_fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { Deliver(); });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &action, &g_saved[i]);
#endif
}

StopSignals::~StopSignals() {
#ifdef _WIN32
  for (int i = 0; i < 3; ++i) std::signal(kSignals[i], g_saved[i]);
#else
  if (read_fd_ < 0) return;
  for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &g_saved[i], nullptr);
  g_write_fd = -1;
  delete notifier_;
  ::close(read_fd_);
  ::close(write_fd_);
#endif
}

void StopSignals::Deliver() {
#ifdef _WIN32
  const int signal = g_pending.exchange(0);
  if (signal != 0) on_stop_(signal);
#else
  unsigned char numbers[64];
  for (;;) {
    const ssize_t got = ::read(read_fd_, numbers, sizeof numbers);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    for (ssize_t i = 0; i < got; ++i) on_stop_(numbers[i]);
  }
#endif
}

}  // namespace slm
