#include "sim/pty_bridge.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/meter.h"
#include "support/temp_dir.h"

namespace slm::sim {
namespace {

using Clock = std::chrono::steady_clock;

// A bridge serving its model on a thread; the test plays the program.
class PtyBridgeTest : public ::testing::Test {
 protected:
  ~PtyBridgeTest() override {
    Stop();
    if (client_ >= 0) ::close(client_);
  }

  // Serves the model, then opens the device after `delay`, leaving its settings alone.
  void Start(std::chrono::milliseconds delay = {}) {
    bridge_.Open();
    thread_ = std::thread([this] {
      bridge_.Serve(
          stop_,
          [this](const Bytes& command) {
            commands_.push_back(command);  // read only after Stop()
            ++command_count_;
          },
          [this](double) { ++passes_; });
    });
    std::this_thread::sleep_for(delay);
    client_ = ::open(bridge_.device().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(client_, 0) << bridge_.device();
  }

  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  // Reads what arrives for `seconds`, or until `enough` says so.
  Bytes ReadFor(double seconds, const std::function<bool(const Bytes&)>& enough = {}) {
    Bytes input;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end && !(enough && enough(input))) {
      pollfd fd{client_, POLLIN, 0};
      ::poll(&fd, 1, 10);
      char buffer[4096];
      for (ssize_t n; (n = ::read(client_, buffer, sizeof buffer)) > 0;) input.append(buffer, n);
    }
    return input;
  }

  MeterModel model_;
  PtyBridge bridge_{model_};
  std::atomic<bool> stop_{false};
  std::thread thread_;
  int client_ = -1;
  std::vector<Bytes> commands_;
  std::atomic<int> command_count_{0};
  std::atomic<int> passes_{0};
};

TEST_F(PtyBridgeTest, ServesFramesRepliesAndCommandsOnARawLineAt38400Baud) {
  model_.SetLevel(72.4);
  const Bytes frame = model_.CurrentFrame();
  Start();
  termios tio{};
  ASSERT_EQ(::tcgetattr(client_, &tio), 0);
  EXPECT_EQ(::cfgetispeed(&tio), static_cast<speed_t>(B38400));
  EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B38400));
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u) << "not raw";
  EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB), static_cast<tcflag_t>(CS8));
  const Bytes live = ReadFor(0.5, [&](const Bytes& in) { return in.find(frame) != Bytes::npos; });
  EXPECT_NE(live.find(frame), Bytes::npos) << "no live frame within 0.5 s";
  ASSERT_EQ(::write(client_, "A", 1), 1);
  EXPECT_TRUE(TailIsAcknowledgement(ReadFor(0.2)));
  const Bytes key = KeyCommand(10);
  ASSERT_EQ(::write(client_, key.data(), key.size()), 4);
  ReadFor(1.0, [&](const Bytes&) { return command_count_ >= 2; });
  Stop();
  EXPECT_EQ(commands_, (std::vector<Bytes>{"A", key}));
  EXPECT_EQ(model_.range_code(), 1);
}

TEST_F(PtyBridgeTest, BytesNobodyReadsDoNotPileUp) {
  model_ = MeterModel(MeterOptions{.rate_hz = 400});  // 2400 bytes a second
  Start(std::chrono::milliseconds(1500));
  char buffer[65536];
  EXPECT_LE(::read(client_, buffer, sizeof buffer), 3072) << "stale bytes were kept";
  const Bytes fresh = ReadFor(0.2);
  EXPECT_GE(fresh.size(), 60u);
  EXPECT_NE(fresh.find(model_.CurrentFrame()), Bytes::npos);
}

// An idle bridge waits in poll() until its next frame is due: a few passes
// a frame, never a spin.
TEST_F(PtyBridgeTest, IdleBridgeSleeps) {
  Start();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const int passes_before = passes_;
  const auto start = Clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_LT((passes_ - passes_before) / elapsed, 200) << "the bridge wakes up too often";
}

// One name for the emulators started in turn: a link left by a killed one is
// replaced, the user's files are not, and the link goes with its own bridge.
TEST(PtyBridgeLink, ReplacesAnOldLinkRefusesOtherFilesAndGoesWithItsBridge) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  const std::string link = dir.File("meter"), file = dir.File("levels.txt");
  test::WriteBytes(file, "65.3\n");
  fs::create_symlink(dir.File("pts-of-a-killed-emulator"), link);
  MeterModel model;
  auto first = std::make_unique<PtyBridge>(model);
  EXPECT_THROW(first->Link(file), std::runtime_error);
  ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(file)));
  EXPECT_EQ(test::ReadBytes(file), "65.3\n");
  first->Link(link);
  EXPECT_EQ(fs::read_symlink(link), first->device());
  {
    PtyBridge second(model);
    second.Link(link);
    EXPECT_EQ(fs::read_symlink(link), second.device());
    first.reset();  // the name is the newer bridge's now: left alone
    EXPECT_EQ(fs::read_symlink(link), second.device());
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

}  // namespace
}  // namespace slm::sim
