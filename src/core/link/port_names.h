#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace slm {

// Said when the chosen port cannot be opened, before the reason.
inline constexpr const char* kNoDeviceFound = "No device found, try again!";

// What the user chose in the port window: a port, or working with files only.
struct PortChoice {
  int port_number = 0;
  bool offline = false;
};

inline constexpr int kPortCount = 16;

// "COM1".."COM16" (exact, case-sensitive) give 1..16; any other text gives 0.
int PortNumberOfName(std::string_view name);
std::string PortNameOfNumber(int number);

// The number whose name stands for `device` now, by `device_of` (the device
// of each number, "" for none); 0 when no name does or `device` is empty. A
// port remembered from an earlier run is found again by its device, since
// the numbers move as adapters come and go.
int PortNumberOfDevice(const std::string& device,
                       const std::function<std::string(int number)>& device_of);

// What a port given as text (a command-line --port) stands for: one of the
// sixteen names, a device path, or nothing, with the reason in words.
struct PortText {
  int port_number = 0;  // 1..16 for "COM1".."COM16"
  std::string device;   // the device path when the text is not a port name
  std::string problem;  // why the text names no port; empty when it names one
};

// "COM1".."COM16" give their number. Any other text that begins with "COM"
// in any case and holds no "/" ("COM0", "COM17", "com1", "COM-1") is a port
// name out of range and names nothing. Everything else is a device path.
PortText ReadPortText(std::string_view text);

// Where a device path is looked for: a path that does not start with "/" is
// in the working folder `working_folder`, as in any shell command.
std::string DeviceLocation(const std::string& device, const std::string& working_folder);

// Why a port could not be opened.
enum class OpenFailure {
  kNoDevice,   // the port name stands for no device
  kNotFound,   // nothing at the device path
  kNotSerial,  // a file, a folder or a device that is not a serial port
  kInUse,      // another program has the port open
  kNoAccess,   // the user may not read and write the device
  kAbsent,     // the device node is there but no device answers behind it
  kOther,      // anything else
};

// Why the system refused to open a device, from its error number.
OpenFailure OpenFailureOfError(int error);

// The message for the user, in words. `name` is "COM3", `device` what it
// stands for. On Linux a permission problem names the "dialout" group to join.
std::string OpenFailureText(OpenFailure failure, const std::string& name,
                            const std::string& device);

// The devices that "COM1".."COM16" stand for where the system has no COM
// names: first the device the user named (if any), then the system's serial
// devices in natural order ("ttyS2" before "ttyS10"), each once.
std::vector<std::string> ComPortDevices(const std::string& first, std::vector<std::string> system);

// Natural order of device names: digit runs compare as numbers.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace slm
