#include "link/port_names.h"

#include <algorithm>
#include <cctype>

namespace slm {

int PortNumberOfName(std::string_view name) {
  for (int n = 1; n <= kPortCount; ++n) {
    if (name == PortNameOfNumber(n)) return n;
  }
  return 0;
}

std::string PortNameOfNumber(int number) { return "COM" + std::to_string(number); }

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
