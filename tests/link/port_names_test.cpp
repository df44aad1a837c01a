#include "link/port_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace slm {
namespace {

TEST(PortNames, ARememberedDeviceIsFoundUnderTheNameItHasNow) {
  // COM1 the emulator, COM2 and COM3 adapters, the rest nothing.
  const std::vector<std::string> now{"/dev/pts/4", "/dev/ttyUSB0", "/dev/ttyUSB1"};
  const auto device_of = [&now](int n) {
    return n >= 1 && static_cast<size_t>(n) <= now.size() ? now[static_cast<size_t>(n - 1)] : "";
  };
  const struct {
    const char* remembered;
    int port_number;
  } cases[] = {
      {"/dev/ttyUSB1", 3}, {"/dev/ttyUSB0", 2},
      {"/dev/pts/4", 1},   {"/dev/ttyUSB2", 0},  // unplugged since
      {"/dev/ttyUSB", 0},  {"", 0},  // nothing remembered: not the first port without a device
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PortNumberOfDevice(c.remembered, device_of), c.port_number) << c.remembered;
  }
  EXPECT_EQ(PortNumberOfDevice("/dev/ttyUSB0", {}), 0);
}

TEST(PortNames, PortTextIsANameADevicePathOrSaysWhatIsWrong) {
  const struct {
    const char* text;
    int port_number;
    const char* device;
    const char* problem_names;  // a part of the problem, "" when there is none
  } cases[] = {
      {"COM1", 1, "", ""},
      {"COM16", 16, "", ""},
      {"COM0", 0, "", "COM1 to COM16"},
      {"COM17", 0, "", "COM1 to COM16"},
      {"com1", 0, "", "\"com1\" is not a port name"},
      {"Com3", 0, "", "in capitals"},
      {"COM-1", 0, "", "COM1 to COM16"},
      {"COM03", 0, "", "COM1 to COM16"},
      {" COM3", 0, " COM3", ""},  // a device path, as any text that is no name
      {"", 0, "", "No port given"},
      {"/dev/ttyUSB0", 0, "/dev/ttyUSB0", ""},
      {"/dev/COM3", 0, "/dev/COM3", ""},
      {"ttyS0", 0, "ttyS0", ""},
  };
  for (const auto& c : cases) {
    const PortText port = ReadPortText(c.text);
    EXPECT_EQ(port.port_number, c.port_number) << c.text;
    EXPECT_EQ(port.device, c.device) << c.text;
    if (*c.problem_names == '\0') {
      EXPECT_EQ(port.problem, "") << c.text;
    } else {
      EXPECT_NE(port.problem.find(c.problem_names), std::string::npos)
          << c.text << ": " << port.problem;
    }
  }
}

TEST(PortNames, RelativeDevicePathsAreInTheWorkingFolder) {
  const struct {
    const char *device, *folder, *location;
  } cases[] = {
      {"/dev/pts/3", "/home/me", "/dev/pts/3"},   {"meter.txt", "/home/me", "/home/me/meter.txt"},
      {"./meter", "/home/me/", "/home/me/meter"}, {"pts/3", "/dev", "/dev/pts/3"},
      {"../x", "/home/me", "/home/me/../x"},      {"", "/home/me", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DeviceLocation(c.device, c.folder), c.location) << c.device << " in " << c.folder;
  }
}

TEST(PortNames, OpenFailuresNameThePortTheDeviceAndWhatToDo) {
  const struct {
    OpenFailure failure;
    std::vector<std::string> says;
  } cases[] = {
      {OpenFailure::kNoDevice, {"COM3 stands for no serial device"}},
      {OpenFailure::kNotFound, {"COM3 (/dev/ttyUSB7)", "no device /dev/ttyUSB7"}},
      {OpenFailure::kNotSerial, {"COM3 (/dev/ttyUSB7)", "/dev/ttyUSB7 is not a serial port"}},
      {OpenFailure::kInUse, {"COM3 (/dev/ttyUSB7)", "another program is using it"}},
#ifdef __linux__
      {OpenFailure::kNoAccess, {"no permission to use /dev/ttyUSB7", "\"dialout\" group"}},
#else
      {OpenFailure::kNoAccess, {"no permission to use /dev/ttyUSB7"}},
#endif
      {OpenFailure::kAbsent, {"COM3 (/dev/ttyUSB7)", "no device answers at /dev/ttyUSB7"}},
      {OpenFailure::kOther, {"COM3 (/dev/ttyUSB7) cannot be opened: the system does not let"}},
  };
  for (const auto& c : cases) {
    const std::string device = c.failure == OpenFailure::kNoDevice ? "" : "/dev/ttyUSB7";
    const std::string text = OpenFailureText(c.failure, "COM3", device);
    for (const std::string& part : c.says) {
      EXPECT_NE(text.find(part), std::string::npos) << text;
    }
  }
}

TEST(PortNames, GivenDeviceFirstThenSystemInNaturalOrderAtMostSixteen) {
  EXPECT_EQ(
      ComPortDevices("/dev/pts/4", {"/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyS2", "/dev/pts/4"}),
      (std::vector<std::string>{"/dev/pts/4", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0"}));
  std::vector<std::string> system;
  for (int i = 0; i < 32; ++i) system.push_back("/dev/ttyS" + std::to_string(i));
  const auto devices = ComPortDevices("", system);
  EXPECT_EQ(devices, std::vector<std::string>(system.begin(), system.begin() + 16));
}

}  // namespace
}  // namespace slm
