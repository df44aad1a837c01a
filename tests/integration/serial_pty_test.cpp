// The Qt serial port against `slmtool emulate` on a pseudo-terminal: the
// program's real serial path, end to end.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "link/meter.h"
#include "link/meter_link.h"
#include "panel/live_acquisition.h"
#include "platform/meter_connection.h"
#include "platform/qt_serial_port.h"
#include "platform/system_ports.h"

namespace slm {
namespace {

class EmulatorOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    log_path_ = dir_.filePath("commands.log");
    emulator_.setProgram(SLMTOOL_PATH);
    emulator_.setArguments({"emulate", "--rate", "20", "--level", "72.5", "--log", log_path_});
    emulator_.start();
    ASSERT_TRUE(emulator_.waitForStarted(5000));
    ASSERT_TRUE(emulator_.waitForReadyRead(15000)) << "the emulator printed no device";
    const QString line = QString::fromLatin1(emulator_.readLine()).trimmed();
    ASSERT_TRUE(line.startsWith("device: ")) << line.toStdString();
    device_ = line.mid(8).toStdString();

    meter_ = std::make_unique<MeterConnection>(device_);
    link_ = &meter_->link();
  }

  void TearDown() override {
    meter_.reset();
    emulator_.terminate();
    emulator_.waitForFinished(5000);
  }

  QStringList LoggedCommands() {
    QFile file(log_path_);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
  }

  QTemporaryDir dir_;
  QString log_path_;
  QProcess emulator_;
  std::string device_;
  std::unique_ptr<MeterConnection> meter_;
  MeterLink* link_ = nullptr;
};

TEST_F(EmulatorOnPty, LiveReadingsAndAKeyCommand) {
  ASSERT_EQ(meter_->directory().DeviceOf(1), device_);
  link_->Open(1);
  EXPECT_EQ(link_->PortLabel(), "COM1");

  Reading reading;
  LiveAcquisition live(*link_, reading);
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(live.Tick(), TickResult::kFrame) << "tick " << i;
    EXPECT_EQ(reading.level_text, "72.5");
    EXPECT_EQ(reading.range_top, 140);
    EXPECT_EQ(reading.range_bottom, 80);
    EXPECT_EQ(reading.time_weighting, "FAST");
    EXPECT_EQ(reading.frequency_weighting, "A");
  }

  // Range down: the meter's own key, after the attention handshake.
  link_->PressKey(10);
  meter_->rs232().Wait(0.3);
  ASSERT_EQ(live.Tick(), TickResult::kFrame);
  EXPECT_EQ(reading.range_top, 130);
  EXPECT_EQ(reading.range_bottom, 70);

  const QStringList commands = LoggedCommands();
  ASSERT_GE(commands.size(), 2);
  EXPECT_EQ(commands.last().toStdString(), "4B 00 00 0A");
  for (int i = 0; i + 1 < commands.size(); ++i) EXPECT_EQ(commands[i].toStdString(), "41");
}

TEST_F(EmulatorOnPty, SilencedEmulatorIsLostAndFoundAgain) {
  link_->Open(1);
  Reading reading;
  LiveAcquisition live(*link_, reading);
  ASSERT_EQ(live.Tick(), TickResult::kFrame);

  ASSERT_EQ(::kill(static_cast<pid_t>(emulator_.processId()), SIGSTOP), 0);
  EXPECT_EQ(live.Tick(), TickResult::kLost);
  EXPECT_EQ(link_->PortLabel(), "No COM");
  ASSERT_EQ(::kill(static_cast<pid_t>(emulator_.processId()), SIGCONT), 0);
  TickResult result = TickResult::kLost;
  for (int i = 0; i < 5 && result != TickResult::kRestored; ++i) result = live.Tick();
  EXPECT_EQ(result, TickResult::kRestored);
  EXPECT_EQ(live.Tick(), TickResult::kFrame);
  EXPECT_EQ(reading.level_text, "72.5");
}

TEST_F(EmulatorOnPty, RecordFromTheShellWritesARealTimeList) {
  const QString path = dir_.filePath("shell.csv");
  QProcess record;
  record.setWorkingDirectory(dir_.path());
  record.start(SLMTOOL_PATH, {"record", "--port", QString::fromStdString(device_), "--period", "1",
                              "--count", "2", "-o", path});
  ASSERT_TRUE(record.waitForFinished(15000));
  EXPECT_EQ(record.exitCode(), 0) << record.readAllStandardError().toStdString();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromLatin1(file.readAll()).split("\r\n");
  ASSERT_GE(lines.size(), 12);
  EXPECT_EQ(lines[0], "Real Time");
  EXPECT_EQ(lines[1], "1");
  EXPECT_EQ(lines[2], "A");
  EXPECT_EQ(lines[3], "FAST");
  EXPECT_EQ(lines[4], "80-140");
  EXPECT_EQ(lines[5], "72.5");
  EXPECT_EQ(lines[8], "72.5");  // Leq of a steady level
  EXPECT_EQ(lines[9], "No.s,Date Time,dB");
  EXPECT_TRUE(lines[10].startsWith("1,")) << lines[10].toStdString();
  EXPECT_TRUE(lines[10].endsWith(",72.5")) << lines[10].toStdString();
  EXPECT_TRUE(lines[11].startsWith("2,"));
}

TEST_F(EmulatorOnPty, PortThatAnotherOpenerHoldsIsInUse) {
  link_->Open(1);
  QtSerialPort second([this](int n) { return meter_->directory().DeviceOf(n); });
  second.SetCommPort(1);
  try {
    second.SetPortOpen(true);
    ADD_FAILURE() << "opened twice";
  } catch (const LinkError& e) {
    EXPECT_NE(std::string(e.what()).find("another program is using it"), std::string::npos)
        << e.what();
  }
}

// The message of opening `device` as COM1, or "opened".
std::string OpenMessage(const std::string& device) {
  PortDirectory directory(device);
  QtSerialPort port([&](int n) { return directory.DeviceOf(n); });
  port.SetCommPort(1);
  try {
    port.SetPortOpen(true);
  } catch (const LinkError& e) {
    return e.what();
  }
  return "opened";
}

TEST(SerialPortNames, WhatIsNotASerialPortIsSaidInWords) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string folder = dir.path().toStdString();
  QFile file(dir.filePath("levels.txt"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  // A socket opens as nothing at all ("No such device or address").
  const std::string socket_path = folder + "/meter.sock";
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socket_path.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const QString old = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  const struct {
    std::string device;
    std::string says;
  } cases[] = {
      {folder + "/levels.txt", folder + "/levels.txt is not a serial port"},
      {"levels.txt", folder + "/levels.txt is not a serial port"},  // here, not under /dev
      {folder, folder + " is not a serial port"},
      {"/dev/null", "/dev/null is not a serial port"},
      {socket_path, socket_path + " is not a serial port"},
      {folder + "/none", "there is no device " + folder + "/none"},
      {"ttyS0", "there is no device " + folder + "/ttyS0"},
  };
  for (const auto& c : cases) {
    const std::string message = OpenMessage(c.device);
    EXPECT_NE(message.find(c.says), std::string::npos) << c.device << ": " << message;
    EXPECT_EQ(message.find("ioctl"), std::string::npos) << message;
  }
  ::close(sock);
  QDir::setCurrent(old);
}

TEST(SerialPortNames, PortWithoutADeviceCannotBeOpened) {
  MeterConnection meter("/dev/this-device-does-not-exist");
  EXPECT_THROW(meter.link().Open(1), LinkError);
  EXPECT_THROW(meter.link().Open(0), LinkError);
}

}  // namespace
}  // namespace slm

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
