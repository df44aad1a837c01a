#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace slm {

// What the user chose in the port window: a port, or working with files only.
struct PortChoice {
  int port_number = 0;
  bool offline = false;
};

inline constexpr int kPortCount = 16;

// "COM1".."COM16" (exact, case-sensitive) give 1..16; any other text gives 0.
int PortNumberOfName(std::string_view name);
std::string PortNameOfNumber(int number);

// The devices that "COM1".."COM16" stand for where the system has no COM
// names: first the device the user named (if any), then the system's serial
// devices in natural order ("ttyS2" before "ttyS10"), each once.
std::vector<std::string> ComPortDevices(const std::string& first, std::vector<std::string> system);

// Natural order of device names: digit runs compare as numbers.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace slm
