#pragma once

#include <string>

#include "link/meter.h"  // DateTime

namespace slm {

// The one-decimal text of a computed value (Leq, SEL): the whole part of ten
// times the value, cut toward zero, with a "." before its last digit. Nothing
// is rounded: 65.27 -> "65.2", 0.5 -> ".5", 0.04 -> ".0", -1.25 -> "-1.2".
// A value that is not a finite number (a Leq of no energy) gives "--".
std::string OneDecimalText(double value);

// A number in plain decimal form, as few digits as read back the same value:
// 65.3 -> "65.3", 80 -> "80", 1e-7 -> "0.0000001". Header lines hold numbers so.
std::string PlainNumberText(double value);

// Date and time as the PC writes them: "yyyy/mm/dd hh:nn:ss".
std::string PcDateTimeText(const DateTime& t);

// Name of the file the panel list saves itself to at the list limit:
// "mmddhhnnss.dlgr" (month, day, hour, minute, second, two digits each).
std::string AutoSaveFileName(const DateTime& t);

}  // namespace slm
