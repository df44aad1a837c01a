// The Qt serial port's own answers when a port cannot be opened: held by
// another program, or a path that is no serial port. (Its use against the
// meter runs in the slmtool process tests.)
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <filesystem>

#include "link/meter_link.h"
#include "qt/qt_serial_port.h"
#include "qt/system_ports.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace slm {
namespace {

// The message of opening `device` as COM1, or "opened".
std::string OpenMessage(const std::string& device, QtSerialPort* holder = nullptr) {
  PortDirectory directory(device);
  QtSerialPort port([&](int n) { return directory.DeviceOf(n); });
  for (QtSerialPort* p : {holder, &port}) {
    if (p == nullptr) continue;
    p->SetCommPort(1);
    try {
      p->SetPortOpen(true);
    } catch (const LinkError& e) {
      return e.what();
    }
  }
  return "opened";
}

TEST(SerialPort, APortAnotherOpenerHoldsIsInUse) {
  test::Emulator meter({"--rate", "20"});
  ASSERT_FALSE(meter.device().empty());
  PortDirectory directory(meter.device());
  QtSerialPort first([&](int n) { return directory.DeviceOf(n); });
  const std::string message = OpenMessage(meter.device(), &first);
  EXPECT_NE(message.find("another program is using it"), std::string::npos) << message;
}

TEST(SerialPort, WhatIsNotASerialPortIsSaidInWords) {
  test::TempDir dir;
  const std::string folder = dir.path();
  test::WriteBytes(dir.File("levels.txt"), "");
  // A socket opens as nothing at all ("No such device or address").
  const std::string socket_path = folder + "/meter.sock";
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socket_path.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::current_path(folder);
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
  std::filesystem::current_path(old);
}

}  // namespace
}  // namespace slm

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
