#pragma once

// Waits for what happens to files without looking at them again and again:
// the folder's changes wake the wait (Linux inotify).
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>

namespace slm::test {

// Waits until `done` holds, asking it again whenever a file in `folder` is
// created, written or moved there, for at most `seconds`.
inline bool WaitForFolder(const std::filesystem::path& folder, const std::function<bool()>& done,
                          double seconds) {
  const int fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (fd < 0) return done();
  ::inotify_add_watch(fd, folder.c_str(), IN_CREATE | IN_MODIFY | IN_MOVED_TO | IN_CLOSE_WRITE);
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  bool held = done();
  while (!held) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd ready{fd, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(left.count())) > 0) {
      char events[4096];
      while (::read(fd, events, sizeof events) > 0) {
      }
    }
    held = done();
  }
  ::close(fd);
  return held;
}

}  // namespace slm::test
