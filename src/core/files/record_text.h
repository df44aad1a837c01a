#pragma once

#include <string>

#include "base/calendar.h"
#include "base/date_time.h"
#include "base/number_text.h"

namespace slm {

// Name of the file the panel list saves itself to at the list limit:
// "mmddhhnnss.dlgr" (month, day, hour, minute, second, two digits each).
std::string AutoSaveFileName(const DateTime& t);

}  // namespace slm
