#include "files/record_text.h"

#include <cstdio>

namespace slm {

std::string AutoSaveFileName(const DateTime& t) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%02d%02d%02d%02d%02d.dlgr", t.month, t.day, t.hour,
                t.minute, t.second);
  return buffer;
}

}  // namespace slm
