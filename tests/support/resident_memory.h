#pragma once

#include <fstream>

namespace slm::test {

// The process's resident memory now, in kilobytes (Linux; 0 elsewhere).
inline long ResidentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4;
}

}  // namespace slm::test
