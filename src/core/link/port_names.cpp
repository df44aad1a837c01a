#include "link/port_names.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace slm {

int PortNumberOfName(std::string_view name) {
  for (int n = 1; n <= kPortCount; ++n) {
    if (name == PortNameOfNumber(n)) return n;
  }
  return 0;
}

std::string PortNameOfNumber(int number) { return "COM" + std::to_string(number); }

int PortNumberOfDevice(const std::string& device,
                       const std::function<std::string(int number)>& device_of) {
  if (device.empty() || !device_of) return 0;
  for (int n = 1; n <= kPortCount; ++n) {
    if (device_of(n) == device) return n;
  }
  return 0;
}

namespace {

bool StartsWithComInAnyCase(std::string_view text) {
  if (text.size() < 3) return false;
  for (size_t i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i]) return false;
  }
  return true;
}

}  // namespace

PortText ReadPortText(std::string_view text) {
  PortText out;
  if (text.empty()) {
    out.problem = "No port given: name one of COM1 to COM16 or a device path.";
  } else if (const int number = PortNumberOfName(text); number != 0) {
    out.port_number = number;
  } else if (StartsWithComInAnyCase(text) && text.find('/') == std::string_view::npos) {
    out.problem = "\"" + std::string(text) +
                  "\" is not a port name: the port names are COM1 to COM16, in capitals.";
  } else {
    out.device = std::string(text);
  }
  return out;
}

std::string DeviceLocation(const std::string& device, const std::string& working_folder) {
  if (device.empty() || device.front() == '/' || working_folder.empty()) return device;
  std::string location = working_folder;
  if (location.back() != '/') location += '/';
  return location + (device.rfind("./", 0) == 0 ? device.substr(2) : device);
}

OpenFailure OpenFailureOfError(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
      return OpenFailure::kNotFound;
    case ENXIO:
    case EIO:
      return OpenFailure::kAbsent;
    case EACCES:
    case EPERM:
      return OpenFailure::kNoAccess;
    case EBUSY:
      return OpenFailure::kInUse;
    case ENOTTY:
    case EINVAL:
    case EISDIR:
      return OpenFailure::kNotSerial;
    default:
      break;
  }
  return OpenFailure::kOther;
}

std::string OpenFailureText(OpenFailure failure, const std::string& name,
                            const std::string& device) {
  const std::string port = device.empty() || device == name ? name : name + " (" + device + ")";
  switch (failure) {
    case OpenFailure::kNoDevice:
      return name +
             " stands for no serial device. Plug in the meter's cable, or pick another port.";
    case OpenFailure::kNotFound:
      return port + " cannot be opened: there is no device " + device + ".";
    case OpenFailure::kNotSerial:
      return port + " cannot be opened: " + device + " is not a serial port.";
    case OpenFailure::kInUse:
      return port +
             " cannot be opened: another program is using it. Close that program and try again.";
    case OpenFailure::kNoAccess:
#ifdef __linux__
      return port + " cannot be opened: you have no permission to use " + device +
             ". Join the \"dialout\" group (sudo adduser $USER dialout), then log out and in "
             "again.";
#else
      return port + " cannot be opened: you have no permission to use " + device + ".";
#endif
    case OpenFailure::kAbsent:
      return port + " cannot be opened: no device answers at " + device +
             " (it was unplugged, or it is a terminal this program does not have).";
    case OpenFailure::kOther:
      break;
  }
  return port + " cannot be opened: the system does not let this program use it as a serial port.";
}

bool NaturalLess(const std::string& a, const std::string& b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const bool da = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
    const bool db = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
    if (da && db) {
      size_t ei = i;
      size_t ej = j;
      while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
      while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
      std::string na = a.substr(i, ei - i);
      std::string nb = b.substr(j, ej - j);
      na.erase(0, std::min(na.find_first_not_of('0'), na.size()));
      nb.erase(0, std::min(nb.find_first_not_of('0'), nb.size()));
      if (na.size() != nb.size()) return na.size() < nb.size();
      if (na != nb) return na < nb;
      i = ei;
      j = ej;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

std::vector<std::string> ComPortDevices(const std::string& first, std::vector<std::string> system) {
  std::sort(system.begin(), system.end(), NaturalLess);
  std::vector<std::string> out;
  if (!first.empty()) out.push_back(first);
  for (auto& device : system) {
    if (std::find(out.begin(), out.end(), device) == out.end()) out.push_back(std::move(device));
  }
  if (out.size() > static_cast<size_t>(kPortCount)) out.resize(kPortCount);
  return out;
}

}  // namespace slm
