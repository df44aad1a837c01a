// Stop signals reach the program as calls from its event loop.
#include "qt/stop_signal_notifier.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <thread>
#include <vector>

namespace slm {
namespace {

// Runs the event loop until `count` calls came or two seconds passed.
void RunUntil(const std::vector<int>& calls, size_t count) {
  QElapsedTimer timer;
  timer.start();
  while (calls.size() < count && timer.elapsed() < 2000) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
}

TEST(StopSignalNotifier, EachSignalIsOneCallFromTheEventLoop) {
  std::vector<int> calls;
  std::vector<bool> on_loop_thread;
  StopSignalNotifier stop([&](int signal) {
    calls.push_back(signal);
    on_loop_thread.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
  });
  ASSERT_EQ(::raise(SIGTERM), 0);
  // Not from inside the signal handler: only once the loop runs.
  EXPECT_TRUE(calls.empty());
  RunUntil(calls, 1);
  EXPECT_EQ(calls, std::vector<int>{SIGTERM});

  // Ctrl+C, a closed terminal, and a signal sent while another thread runs.
  ::raise(SIGINT);
  ::raise(SIGHUP);
  std::thread([] { ::kill(::getpid(), SIGTERM); }).join();
  RunUntil(calls, 4);
  EXPECT_EQ(calls, (std::vector<int>{SIGTERM, SIGINT, SIGHUP, SIGTERM}));
  EXPECT_EQ(on_loop_thread, std::vector<bool>(calls.size(), true));
}

int g_earlier_handler_calls = 0;
void EarlierHandler(int) { ++g_earlier_handler_calls; }

TEST(StopSignalNotifier, EarlierHandlersComeBackAfterwards) {
  struct sigaction earlier {};
  earlier.sa_handler = EarlierHandler;
  sigemptyset(&earlier.sa_mask);
  struct sigaction saved[2];
  ASSERT_EQ(::sigaction(SIGTERM, &earlier, &saved[0]), 0);
  ASSERT_EQ(::sigaction(SIGINT, &earlier, &saved[1]), 0);
  std::vector<int> calls;
  {
    StopSignalNotifier stop([&](int signal) { calls.push_back(signal); });
    ::raise(SIGTERM);
    RunUntil(calls, 1);
  }
  EXPECT_EQ(g_earlier_handler_calls, 0);
  ::raise(SIGTERM);
  ::raise(SIGINT);
  QCoreApplication::processEvents();
  EXPECT_EQ(g_earlier_handler_calls, 2);
  EXPECT_EQ(calls, std::vector<int>{SIGTERM});
  ::sigaction(SIGTERM, &saved[0], nullptr);
  ::sigaction(SIGINT, &saved[1], nullptr);
}

}  // namespace
}  // namespace slm

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
