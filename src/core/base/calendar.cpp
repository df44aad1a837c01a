#include "base/calendar.h"

namespace slm {

namespace {

// Days from 1970/01/01 to a date of the proleptic Gregorian calendar, and
// back (H. Hinnant's algorithms: eras of 400 years, years starting in March).
std::int64_t DaysOfDate(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t year_of_era = y - era * 400;
  const std::int64_t day_of_year = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

void DateOfDays(std::int64_t days, DateTime& t) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t day_of_era = days - era * 146097;
  const std::int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t mp = (5 * day_of_year + 2) / 153;
  t.day = static_cast<int>(day_of_year - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(year_of_era + era * 400 + (t.month <= 2));
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// The value of `count` digits at `text[at]`, or -1 when one is no digit.
int Digits(std::string_view text, std::size_t at, int count) {
  int value = 0;
  for (int i = 0; i < count; ++i) {
    const char c = text[at + static_cast<std::size_t>(i)];
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

void AppendDigits(std::string& out, int value, int count) {
  char digits[8];
  for (int i = count; i-- > 0;) {
    digits[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  out.append(digits, static_cast<std::size_t>(count));
}

// "a/b/c" or "a:b:c", `a` with `first` digits and the others with two.
void AppendThree(std::string& out, int a, int b, int c, char separator, int first) {
  AppendDigits(out, a, first);
  out += separator;
  AppendDigits(out, b, 2);
  out += separator;
  AppendDigits(out, c, 2);
}

}  // namespace

bool IsValidDateTime(const DateTime& t) {
  return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= DaysInMonth(t.year, t.month) &&
         t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 &&
         t.second < 60;
}

std::int64_t LinearSeconds(const DateTime& t) {
  return DaysOfDate(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 +
         t.second;
}

DateTime DateTimeOfSeconds(std::int64_t seconds) {
  DateTime t;
  const std::int64_t day = DayOf(seconds);
  DateOfDays(day, t);
  const auto rest = static_cast<int>(seconds - day * kSecondsPerDay);
  t.hour = rest / 3600;
  t.minute = rest / 60 % 60;
  t.second = rest % 60;
  return t;
}

std::optional<std::int64_t> ParseClockText(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.size() != 19 || text[4] != '/' || text[7] != '/' || text[10] != ' ' || text[13] != ':' ||
      text[16] != ':') {
    return std::nullopt;
  }
  const DateTime t{Digits(text, 0, 4),  Digits(text, 5, 2),  Digits(text, 8, 2),
                   Digits(text, 11, 2), Digits(text, 14, 2), Digits(text, 17, 2)};
  if (t.year < 0 || !IsValidDateTime(t)) return std::nullopt;
  return LinearSeconds(t);
}

std::string DateText(std::int64_t seconds) {
  const DateTime t = DateTimeOfSeconds(seconds);
  std::string text;
  AppendThree(text, t.year, t.month, t.day, '/', 4);
  return text;
}

std::string ClockText(std::int64_t seconds) { return PcDateTimeText(DateTimeOfSeconds(seconds)); }

std::string PcDateTimeText(const DateTime& t) {
  std::string text;
  text.reserve(19);
  AppendThree(text, t.year, t.month, t.day, '/', 4);
  text += ' ';
  AppendThree(text, t.hour, t.minute, t.second, ':', 2);
  return text;
}

}  // namespace slm
