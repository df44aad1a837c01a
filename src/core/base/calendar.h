#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/date_time.h"

// Times as the records' clock texts give them, "yyyy/mm/dd hh:nn:ss", counted
// in seconds from 1970/01/01 00:00:00 of the same clock. There is no time zone
// here: every day has 86400 s and midnight is where the texts put it, so days
// and hours follow the meter's or the PC's own clock.
namespace slm {

inline constexpr std::int64_t kSecondsPerDay = 86400;

// A real date (the 29th of February only in leap years) and a time of day.
bool IsValidDateTime(const DateTime& t);

// Seconds from 1970/01/01 00:00:00 to a valid `t` (negative before).
std::int64_t LinearSeconds(const DateTime& t);
DateTime DateTimeOfSeconds(std::int64_t seconds);

// The seconds of a clock text "yyyy/mm/dd hh:nn:ss" (two digits each but the
// year's four; blanks around it are allowed); nothing when the text has
// another form or names no real date and time.
std::optional<std::int64_t> ParseClockText(std::string_view text);

// "yyyy/mm/dd hh:nn:ss": a date and time as the PC writes it and the records
// carry it.
std::string PcDateTimeText(const DateTime& t);
// "yyyy/mm/dd hh:nn:ss" and "yyyy/mm/dd" of a time.
std::string ClockText(std::int64_t seconds);
std::string DateText(std::int64_t seconds);

// The day a time falls in, counted from 1970/01/01 (day 0), and its midnight.
inline std::int64_t DayOf(std::int64_t seconds) {
  return seconds >= 0 ? seconds / kSecondsPerDay : -((-seconds - 1) / kSecondsPerDay) - 1;
}
inline std::int64_t MidnightOf(std::int64_t seconds) { return DayOf(seconds) * kSecondsPerDay; }

}  // namespace slm
