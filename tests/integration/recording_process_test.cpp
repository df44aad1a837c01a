// `slmtool record` as a separate process against `slmtool emulate` on a
// pseudo-terminal: what is left on disk when a recording is killed, stopped
// by a signal, runs beside another one or runs out of disk.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace slm {
namespace {

namespace fs = std::filesystem;
using test::Lines;
using Clock = std::chrono::steady_clock;
using test::ReadBytes;

// The level field of every record line of a recording ("n\tdate time\tlevel\t").
std::vector<std::string> Levels(const std::string& text) {
  std::vector<std::string> levels;
  for (const std::string& line : Lines(text)) {
    const size_t first = line.find('\t'), second = line.find('\t', first + 1);
    if (first == std::string::npos || second == std::string::npos) continue;
    if (line.rfind("No.s", 0) == 0) continue;
    levels.push_back(line.substr(second + 1, line.find('\t', second + 1) - second - 1));
  }
  return levels;
}

// slmtool run as a child process, its output caught through pipes. A child
// still running at the end of a test is killed.
class Child {
 public:
  Child(std::vector<std::string> args, const std::string& folder,
        std::optional<rlim_t> file_size_limit = std::nullopt) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
    args.insert(args.begin(), SLMTOOL_PATH);
    std::vector<char*> argv;
    for (std::string& word : args) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], 1);
      ::dup2(err[1], 2);
      if (::chdir(folder.c_str()) != 0) ::_exit(126);
      if (file_size_limit) {
        // A full disk: writes past the limit fail with EFBIG.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{*file_size_limit, *file_size_limit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
      }
      ::execv(SLMTOOL_PATH, argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ~Child() {
    if (running()) Signal(SIGKILL);
    Wait(5);
    ::close(out_);
    ::close(err_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool running() const { return pid_ > 0 && !status_; }
  void Signal(int signal) const {
    if (running()) ::kill(pid_, signal);
  }

  // The first line the child prints, read within `seconds`.
  std::string FirstLine(double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    // A child slow to start (a loaded machine, a sanitizer build) is waited
    // for: a quiet poll is no reason to stop.
    while (out_text_.find('\n') == std::string::npos && Clock::now() < end) Drain(50);
    return out_text_.substr(0, out_text_.find('\n'));
  }

  // Waits up to `seconds` for the child to end; its exit code, or -1 when it
  // was killed by a signal or is still running.
  int Wait(double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (pid_ > 0 && !status_) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
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

  const std::string& out() const { return out_text_; }
  const std::string& err() const { return err_text_; }

 private:
  // Reads what the child has printed; false when nothing came.
  bool Drain(int timeout_ms) {
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    if (::poll(fds, 2, timeout_ms) <= 0) return false;
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

class RecordingProcess : public ::testing::Test {
 protected:
  // Starts an emulator whose level cycles through `levels`; returns its device.
  std::string Emulator(const std::string& levels) {
    const std::string path = logs_.File("levels" + std::to_string(emulators_.size()));
    std::ofstream(path) << levels << "\n";
    emulators_.push_back(std::make_unique<Child>(
        std::vector<std::string>{"emulate", "--rate", "20", "--levels", path}, logs_.path()));
    const std::string line = emulators_.back()->FirstLine(15);
    EXPECT_EQ(line.rfind("device: ", 0), 0u) << line;
    return line.size() > 8 ? line.substr(8) : "";
  }

  std::unique_ptr<Child> Record(const std::string& device, int count, const std::string& output,
                                std::optional<rlim_t> file_size_limit = std::nullopt) {
    return std::make_unique<Child>(
        std::vector<std::string>{"record", "--port", device, "--period", "1", "--count",
                                 std::to_string(count), "-o", output},
        folder_.path(), file_size_limit);
  }

  // Waits until the temporary file of the folder holds `samples` samples.
  bool WaitForSamples(size_t samples, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
      if (Levels(ReadBytes(Fake())).size() >= samples) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  std::string Fake() const { return folder_.File("Fake"); }

  std::vector<std::string> Unsaved() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_.path())) {
      const std::string name = entry.path().filename().string();
      if (name.size() > 8 && name.substr(name.size() - 8) == ".unsaved") names.push_back(name);
    }
    return names;
  }

  test::TempDir folder_;  // where the recordings run
  test::TempDir logs_;    // the emulators' level files
  std::vector<std::unique_ptr<Child>> emulators_;
};

// "mmddhhnn" of the local clock now.
std::string MinuteNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%m%d%H%M", &local);
  return text;
}

TEST_F(RecordingProcess, KilledRecordingIsKeptAndTheNextOneWorks) {
  const std::string device = Emulator("61.1");
  auto killed = Record(device, 100, folder_.File("killed.dlgr"));
  ASSERT_TRUE(WaitForSamples(2, 20)) << killed->err();
  killed->Signal(SIGKILL);
  EXPECT_EQ(killed->Wait(5), -1);
  const std::string left = ReadBytes(Fake());
  EXPECT_FALSE(fs::exists(folder_.File("killed.dlgr")));

  const std::string minute_before = MinuteNow();
  auto next = Record(Emulator("88.8"), 1, folder_.File("next.dlgr"));
  ASSERT_EQ(next->Wait(15), 0) << next->err();
  const std::string minute_after = MinuteNow();

  const std::vector<std::string> unsaved = Unsaved();
  ASSERT_EQ(unsaved.size(), 1u);
  EXPECT_TRUE(unsaved[0] == "Fake-" + minute_before + ".unsaved" ||
              unsaved[0] == "Fake-" + minute_after + ".unsaved")
      << unsaved[0];
  EXPECT_EQ(ReadBytes(folder_.File(unsaved[0])), left);
  const std::vector<std::string> kept = Levels(left);
  EXPECT_GE(kept.size(), 2u);
  for (const std::string& level : kept) EXPECT_EQ(level, "61.1");
  EXPECT_EQ(Levels(ReadBytes(folder_.File("next.dlgr"))), std::vector<std::string>{"88.8"});
  EXPECT_FALSE(fs::exists(Fake()));
}

TEST_F(RecordingProcess, SecondRecordingInTheFolderIsRefused) {
  const std::string first_device = Emulator("61.1 62.2");
  const std::string second_device = Emulator("88.8");
  auto first = Record(first_device, 3, folder_.File("first.dlgr"));
  ASSERT_TRUE(WaitForSamples(1, 20)) << first->err();

  auto second = Record(second_device, 3, folder_.File("second.dlgr"));
  EXPECT_EQ(second->Wait(10), 1);
  EXPECT_NE(second->err().find("Another recording is running in " + folder_.path() + ";"),
            std::string::npos)
      << second->err();
  EXPECT_FALSE(fs::exists(folder_.File("second.dlgr")));

  ASSERT_EQ(first->Wait(15), 0) << first->err();
  const std::vector<std::string> levels = Levels(ReadBytes(folder_.File("first.dlgr")));
  EXPECT_EQ(levels.size(), 3u);
  for (const std::string& level : levels) EXPECT_TRUE(level == "61.1" || level == "62.2") << level;
  EXPECT_TRUE(Unsaved().empty());
  EXPECT_FALSE(fs::exists(Fake()));
}

TEST_F(RecordingProcess, StopSignalsWriteTheRecordingIntoItsFile) {
  const std::string device = Emulator("70.5");
  for (const int signal : {SIGTERM, SIGINT}) {
    const std::string output = folder_.File("stopped" + std::to_string(signal) + ".dlgr");
    auto record = Record(device, 100, output);
    ASSERT_TRUE(WaitForSamples(2, 20)) << record->err();
    record->Signal(signal);
    ASSERT_EQ(record->Wait(10), 0) << "signal " << signal << ": " << record->err();

    const std::vector<std::string> lines = Lines(ReadBytes(output));
    ASSERT_GE(lines.size(), 12u) << "signal " << signal;
    EXPECT_EQ(lines[0], "Real Time");
    EXPECT_EQ(lines[1], "1");
    EXPECT_EQ(lines[5], "70.5");  // the maximum
    EXPECT_EQ(lines[9], "No.s\tDate Time\tdB\t");
    // Every sample the tool printed is in the file, and no other.
    const std::vector<std::string> levels = Levels(ReadBytes(output));
    EXPECT_EQ(levels.size(), lines.size() - 10);
    const std::string summary = "interrupted: " + std::to_string(levels.size()) +
                                " of 100 samples written to " + output + "\n";
    EXPECT_NE(record->out().find(summary), std::string::npos) << record->out();
    EXPECT_FALSE(fs::exists(Fake()));
  }
  EXPECT_TRUE(Unsaved().empty());
}

TEST_F(RecordingProcess, FullDiskEndsTheRecordingAndKeepsItsSamples) {
  const std::string device = Emulator("66.6");
  const std::string output = folder_.File("full.dlgr");
  // The title line and two samples fit, the third does not.
  const std::string title = "No.s\tDate Time\tdB\t\r\n";
  const std::string line = "1\t2024/05/01 10:00:00\t66.6\t\r\n";
  auto record = Record(device, 100, output, title.size() + 2 * line.size() + 10);
  ASSERT_EQ(record->Wait(15), 1) << record->err();
  EXPECT_NE(record->err().find("\"" + Fake() + "\""), std::string::npos) << record->err();
  EXPECT_NE(record->err().find("The recording was ended"), std::string::npos) << record->err();
  const std::vector<std::string> lines = Lines(ReadBytes(Fake()));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0] + "\r\n", title);
  EXPECT_EQ(Levels(ReadBytes(Fake())), (std::vector<std::string>{"66.6", "66.6"}));
}

}  // namespace
}  // namespace slm
