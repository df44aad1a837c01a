#include "app/tool_common.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "base/number_text.h"
#include "files/list_summary.h"
#include "link/port_names.h"

namespace slm::tool {

Options::Options(const std::vector<std::string>& args, const std::vector<std::string>& with_value,
                 const std::vector<std::string>& flags) {
  auto known = [](const std::vector<std::string>& list, const std::string& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
  };
  for (size_t i = 0; i < args.size(); ++i) {
    // "-o OUT" is the one short option: "--output OUT".
    const std::string& a = args[i] == "-o" ? std::string("--output") : args[i];
    if (a.rfind("--", 0) != 0) {
      positional_.push_back(a);
      continue;
    }
    std::string name = a;
    std::string value;
    bool inline_value = false;
    if (const size_t eq = a.find('='); eq != std::string::npos) {
      name = a.substr(0, eq);
      value = a.substr(eq + 1);
      inline_value = true;
    }
    if (known(flags, name)) {
      values_.emplace(name, "1");
    } else if (known(with_value, name)) {
      if (!inline_value) {
        if (i + 1 >= args.size()) throw std::runtime_error(name + " needs a value");
        value = args[++i];
      }
      values_.emplace(name, value);
    } else {
      throw std::runtime_error("unknown option " + name);
    }
  }
}

std::string Options::Get(const std::string& name, const std::string& fallback) const {
  auto it = values_.find(name);
  return it == values_.end() ? fallback : it->second;
}

std::vector<std::string> Options::All(const std::string& name) const {
  std::vector<std::string> out;
  auto [first, last] = values_.equal_range(name);
  for (auto it = first; it != last; ++it) out.push_back(it->second);
  return out;
}

double Options::Number(const std::string& name, double fallback) const {
  if (!Has(name)) return fallback;
  const std::string text = Get(name);
  if (const std::optional<double> v = ParseNumber(text)) return *v;
  throw std::runtime_error(name + " takes a number, not \"" + text + "\"");
}

namespace {

// The device path of a --port text ("" for a port name); a text that names
// nothing is a usage error.
std::string DeviceOfText(const std::string& text) {
  if (text.empty()) throw std::runtime_error("--port is required");
  const PortText port = ReadPortText(text);
  if (!port.problem.empty()) throw std::runtime_error(port.problem);
  return port.device;
}

}  // namespace

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) return false;
  const std::string_view tail = text.substr(text.size() - end.size());
  for (std::size_t i = 0; i < end.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(tail[i])) !=
        std::tolower(static_cast<unsigned char>(end[i]))) {
      return false;
    }
  }
  return true;
}

bool IsCsvPath(std::string_view path) { return EndsWithNoCase(path, ".csv"); }

bool ReadListFile(const char* command, const std::string& path, DataFile& file) {
  try {
    file = OpenDataFile(path);
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "slmtool %s: %s\n", command, e.what());
    return false;
  }
  for (const std::string& note : PartialReadNotes(file)) {
    std::fprintf(stderr, "slmtool %s: %s: %s\n", command, AbsolutePath(path).c_str(), note.c_str());
  }
  return true;
}

ToolLink::ToolLink(const std::string& port_text)
    : directory_(DeviceOfText(port_text)),
      number_(PortNumberOfName(port_text) != 0 ? PortNumberOfName(port_text) : 1),
      port_([this](int n) { return directory_.DeviceOf(n); }),
      rs232_(clock_, pump_),
      link_(port_, rs232_) {}

void ToolLink::Open() { link_.Open(number_); }

int ToolLink::OpenOrExplain() {
  try {
    Open();
  } catch (const LinkError& e) {
    std::fprintf(stderr, "%s\n%s\n", kNoDeviceFound, e.what());
    return 1;
  }
  return 0;
}

std::string ToolLink::Describe() const {
  const std::string device = directory_.DeviceOf(number_);
  return PortNameOfNumber(number_) + (device.empty() ? "" : " (" + device + ")");
}

}  // namespace slm::tool
