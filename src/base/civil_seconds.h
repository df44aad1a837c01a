#pragma once

#include "base/date_time.h"

namespace slm {

// A date and time as a count of seconds on the civil calendar (no time zone,
// no leap seconds), so that times can be added to and compared. Day 0 is
// 1970/01/01.
long long CivilSeconds(const DateTime& t);
DateTime CivilDateTime(long long seconds);

}  // namespace slm
