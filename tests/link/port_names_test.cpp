#include "link/port_names.h"

#include <gtest/gtest.h>

namespace slm {
namespace {

TEST(PortNames, OnlyTheSixteenExactNames) {
  EXPECT_EQ(PortNumberOfName("COM1"), 1);
  EXPECT_EQ(PortNumberOfName("COM16"), 16);
  EXPECT_EQ(PortNumberOfName("com3"), 0);
  EXPECT_EQ(PortNumberOfName("COM17"), 0);
  EXPECT_EQ(PortNumberOfName("COM03"), 0);
  EXPECT_EQ(PortNumberOfName(" COM3"), 0);
  EXPECT_EQ(PortNumberOfName(""), 0);
  EXPECT_EQ(PortNameOfNumber(7), "COM7");
}

TEST(PortNames, GivenDeviceFirstThenSystemInNaturalOrder) {
  const auto devices =
      ComPortDevices("/dev/pts/4", {"/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyS2", "/dev/pts/4"});
  ASSERT_EQ(devices.size(), 4u);
  EXPECT_EQ(devices[0], "/dev/pts/4");
  EXPECT_EQ(devices[1], "/dev/ttyS2");
  EXPECT_EQ(devices[2], "/dev/ttyS10");
  EXPECT_EQ(devices[3], "/dev/ttyUSB0");
}

TEST(PortNames, AtMostSixteen) {
  std::vector<std::string> system;
  for (int i = 0; i < 32; ++i) system.push_back("/dev/ttyS" + std::to_string(i));
  const auto devices = ComPortDevices("", system);
  ASSERT_EQ(devices.size(), 16u);
  EXPECT_EQ(devices[0], "/dev/ttyS0");
  EXPECT_EQ(devices[15], "/dev/ttyS15");
}

}  // namespace
}  // namespace slm
