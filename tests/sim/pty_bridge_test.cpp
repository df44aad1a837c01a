#include "sim/pty_bridge.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/meter.h"

namespace slm::sim {
namespace {

using Clock = std::chrono::steady_clock;

// A bridge serving its model on a thread; the test plays the program that
// opens the device.
class PtyBridgeTest : public ::testing::Test {
 protected:
  ~PtyBridgeTest() override {
    Stop();
    if (client_ >= 0) ::close(client_);
  }

  void Start() {
    device_ = bridge_.Open();
    thread_ = std::thread([this] {
      bridge_.Serve(
          stop_,
          [this](const Bytes& command) {
            std::lock_guard<std::mutex> lock(mutex_);
            commands_.push_back(command);
          },
          [this](double) {
            ++passes_;
            timespec cpu{};
            ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
            cpu_seconds_ = static_cast<double>(cpu.tv_sec) + cpu.tv_nsec * 1e-9;
          });
    });
  }

  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  // Opens the device as a serial program does: raw, 38400 baud, no waiting.
  void OpenClient() {
    client_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(client_, 0) << device_;
    termios tio{};
    ASSERT_EQ(::tcgetattr(client_, &tio), 0);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B38400);
    ::cfsetospeed(&tio, B38400);
    ASSERT_EQ(::tcsetattr(client_, TCSANOW, &tio), 0);
  }

  void Write(const Bytes& bytes) {
    ASSERT_EQ(::write(client_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Reads what arrives for `seconds`, or until `enough` says so.
  Bytes ReadFor(double seconds, const std::function<bool(const Bytes&)>& enough = {}) {
    Bytes input;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
      pollfd fd{client_, POLLIN, 0};
      ::poll(&fd, 1, 10);
      char buffer[4096];
      ssize_t n;
      while ((n = ::read(client_, buffer, sizeof buffer)) > 0) {
        input.append(buffer, static_cast<size_t>(n));
      }
      if (enough && enough(input)) break;
    }
    return input;
  }

  std::vector<Bytes> Commands() {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
  }

  MeterModel model_;
  PtyBridge bridge_{model_};
  std::string device_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  int client_ = -1;
  std::mutex mutex_;
  std::vector<Bytes> commands_;
  std::atomic<int> passes_{0};
  std::atomic<double> cpu_seconds_{0};
};

TEST_F(PtyBridgeTest, OpensARawTerminalAt38400Baud) {
  device_ = bridge_.Open();
  EXPECT_EQ(bridge_.device(), device_);
  EXPECT_EQ(device_.rfind("/dev/", 0), 0u) << device_;
  const int fd = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(::isatty(fd));
  termios tio{};
  ASSERT_EQ(::tcgetattr(fd, &tio), 0);
  EXPECT_EQ(::cfgetispeed(&tio), static_cast<speed_t>(B38400));
  EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B38400));
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u) << "not raw";
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(tio.c_cflag & PARENB, 0u);
  ::close(fd);
}

TEST_F(PtyBridgeTest, ProgramReadsLiveFramesAndGetsTheAcknowledgement) {
  model_.SetLevel(72.4);
  const Bytes frame = model_.CurrentFrame();
  Start();
  OpenClient();
  const Bytes live = ReadFor(0.5, [&](const Bytes& in) { return in.find(frame) != Bytes::npos; });
  EXPECT_NE(live.find(frame), Bytes::npos) << "no live frame within 0.5 s";

  Write("A");
  const Bytes reply = ReadFor(0.2);
  EXPECT_TRUE(TailIsAcknowledgement(reply)) << reply.size() << " bytes";
  EXPECT_EQ(Commands(), std::vector<Bytes>{"A"});
}

TEST_F(PtyBridgeTest, CommandsReachTheModel) {
  Start();
  OpenClient();
  Write(KeyCommand(10));
  Write("I");
  ReadFor(1.0, [&](const Bytes&) { return Commands().size() >= 2; });
  Stop();
  EXPECT_EQ(Commands(), (std::vector<Bytes>{KeyCommand(10), "I"}));
  EXPECT_EQ(model_.range_code(), 1);
}

TEST_F(PtyBridgeTest, BytesNobodyReadsDoNotPileUp) {
  model_ = MeterModel(MeterOptions{.rate_hz = 400});  // 2400 bytes a second
  Start();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  OpenClient();
  char buffer[65536];
  const ssize_t waiting = ::read(client_, buffer, sizeof buffer);
  EXPECT_LE(waiting, 3072) << "stale bytes were kept";
  // Fresh frames keep coming.
  const Bytes fresh = ReadFor(0.2);
  EXPECT_GE(fresh.size(), 60u);
  EXPECT_NE(fresh.find(model_.CurrentFrame()), Bytes::npos);
}

TEST_F(PtyBridgeTest, IdleBridgeSleeps) {
  Start();
  OpenClient();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const int passes_before = passes_;
  const double cpu_before = cpu_seconds_;
  const auto start = Clock::now();
  ReadFor(1.0);
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  const double busy = (cpu_seconds_ - cpu_before) / elapsed;
  EXPECT_LT(busy, 0.01) << "the bridge uses " << busy * 100 << "% of a core";
  EXPECT_LT((passes_ - passes_before) / elapsed, 200) << "the bridge wakes up too often";
}

}  // namespace
}  // namespace slm::sim
