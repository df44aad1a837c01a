#include "sim/pty_bridge.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace slm::sim {

namespace {

// Bytes the meter sent that nobody has read yet; beyond this the oldest are
// dropped, so that a program opening the device sees fresh frames.
constexpr int kMaxUnread = 2048;

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

PtyBridge::PtyBridge(MeterModel& model) : model_(model) {}

PtyBridge::~PtyBridge() { Close(); }

std::string PtyBridge::Open() {
  if (master_ >= 0) return device_;
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) throw SystemError("cannot create a pseudo-terminal");
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
    const auto error = SystemError("cannot unlock the pseudo-terminal");
    ::close(master);
    throw error;
  }
  const char* name = ::ptsname(master);
  if (name == nullptr) {
    const auto error = SystemError("cannot name the pseudo-terminal");
    ::close(master);
    throw error;
  }
  const std::string device = name;
  const int slave = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (slave < 0) {
    const auto error = SystemError("cannot open " + device);
    ::close(master);
    throw error;
  }
  // Raw 38400 8N1 on the line, as the meter's port is set; no echo, so the
  // program's commands do not come back to it.
  termios tio{};
  if (::tcgetattr(slave, &tio) == 0) {
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B38400);
    ::cfsetospeed(&tio, B38400);
    tio.c_cflag |= CLOCAL | CREAD;
    ::tcsetattr(slave, TCSANOW, &tio);
  }
  const int flags = ::fcntl(master, F_GETFL);
  ::fcntl(master, F_SETFL, flags | O_NONBLOCK);
  master_ = master;
  slave_ = slave;
  device_ = device;
  return device_;
}

void PtyBridge::Link(const std::string& path) {
  if (master_ < 0) Open();
  if (path.empty()) throw std::runtime_error("no path was given for the link to " + device_);
  const std::string link = std::filesystem::absolute(path).string();
  RemoveLink();
  if (::symlink(device_.c_str(), link.c_str()) != 0) {
    if (errno != EEXIST) throw SystemError("cannot make the link " + link);
    struct stat status {};
    if (::lstat(link.c_str(), &status) != 0) throw SystemError("cannot look at " + link);
    if (!S_ISLNK(status.st_mode)) {
      throw std::runtime_error(link +
                               " is already there and is not a symbolic link; it was left alone");
    }
    // A new link beside the old one, moved over it in one step: the path is
    // never missing while it changes.
    const std::string fresh = link + ".new" + std::to_string(::getpid());
    if (::symlink(device_.c_str(), fresh.c_str()) != 0)
      throw SystemError("cannot make the link " + fresh);
    if (::rename(fresh.c_str(), link.c_str()) != 0) {
      const auto error = SystemError("cannot replace the link " + link);
      ::unlink(fresh.c_str());
      throw error;
    }
  }
  link_ = link;
}

void PtyBridge::Serve(const std::atomic<bool>& stop,
                      const std::function<void(const Bytes&)>& on_command,
                      const std::function<void(double now)>& on_tick) {
  if (master_ < 0) Open();
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  auto now = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
  size_t commands_seen = model_.received_commands().size();
  char buffer[4096];

  while (!stop.load()) {
    if (on_tick) on_tick(now());
    const double t = now();
    const double wait = model_.NextEventTime(t) - t;
    const int timeout_ms = std::clamp(static_cast<int>(std::ceil(wait * 1000.0)), 1, 100);
    pollfd fd{master_, POLLIN, 0};
    const int ready = ::poll(&fd, 1, timeout_ms);
    if (ready < 0 && errno != EINTR) throw SystemError("poll on the pseudo-terminal failed");

    // The program's bytes.
    bool got_input = false;
    if (ready > 0 && (fd.revents & POLLIN) != 0) {
      for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) break;
        got_input = true;
        model_.Receive(Bytes(buffer, static_cast<size_t>(n)), now());
      }
    }
    if (ready > 0 && !got_input && (fd.revents & (POLLHUP | POLLERR)) != 0) {
      // Nothing to read but the line reports trouble: do not spin on it.
      ::poll(nullptr, 0, timeout_ms);
    }

    const auto& commands = model_.received_commands();
    for (; commands_seen < commands.size(); ++commands_seen) {
      if (on_command) on_command(commands[commands_seen]);
    }

    // The meter's bytes. It does not wait for the program: what the line
    // cannot take now is lost, as on a real port nobody reads.
    int unread = 0;
    if (::ioctl(slave_, FIONREAD, &unread) == 0 && unread > kMaxUnread) {
      ::tcflush(slave_, TCIFLUSH);
    }
    const double sent_at = now();
    const Bytes out = model_.Transmit(sent_at);
    size_t written = 0;
    while (written < out.size()) {
      const ssize_t n = ::write(master_, out.data() + written, out.size() - written);
      if (n > 0) {
        written += static_cast<size_t>(n);
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        break;  // full (or gone): drop the rest
      }
    }
    if (model_.Vanished(sent_at)) {
      // As an adapter pulled out: the program's end of the line fails from now on.
      Close();
      return;
    }
  }
}

void PtyBridge::RemoveLink() {
  if (link_.empty()) return;
  // Only while it still points here: another emulator may have taken the name.
  char target[4096];
  const ssize_t n = ::readlink(link_.c_str(), target, sizeof target);
  if (n > 0 && std::string(target, static_cast<size_t>(n)) == device_) ::unlink(link_.c_str());
  link_.clear();
}

void PtyBridge::Close() {
  RemoveLink();
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
  slave_ = -1;
  master_ = -1;
}

}  // namespace slm::sim
