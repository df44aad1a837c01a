#include <windows.h>

#include <chrono>
#include <csignal>
#include <mutex>
#include <thread>

#include "platform/stop_signals.h"

namespace slm::platform {

namespace {

// The console runs its handler on a thread of its own, so a mutex may guard
// what it notes.
std::mutex g_mutex;
std::vector<int> g_pending;
std::atomic<bool> g_arrived{false};
std::atomic<bool> g_installed{false};

BOOL WINAPI OnConsoleEvent(DWORD event) {
  int signal = SIGTERM;
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      signal = SIGINT;
      break;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      break;
    default:
      return FALSE;
  }
  {
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_pending.push_back(signal);
  }
  g_arrived = true;
  if (signal == SIGTERM) {
    // The system ends the process once this returns: give the program the
    // few seconds it is allowed to end by itself, which ends this thread.
    for (int i = 0; i < 45 && g_installed; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return TRUE;
}

}  // namespace

StopSignals::StopSignals() {
  {
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_pending.clear();
  }
  g_arrived = false;
  g_installed = ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE) != 0;
}

StopSignals::~StopSignals() {
  if (g_installed) ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
  g_installed = false;
}

std::vector<int> StopSignals::TakeArrived() {
  const std::lock_guard<std::mutex> lock(g_mutex);
  std::vector<int> arrived;
  arrived.swap(g_pending);
  return arrived;
}

const std::atomic<bool>& StopSignals::arrived() const { return g_arrived; }

void IgnoreBrokenPipe() {}

}  // namespace slm::platform
