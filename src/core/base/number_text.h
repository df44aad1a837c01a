#pragma once

#include <optional>
#include <string>
#include <string_view>

// Numbers as text, the same in every locale. The program reads and writes
// every number through these: the C library's strtod and printf follow the
// user's locale once Qt has set it, and a German desktop would turn "65.3"
// into 65.
namespace slm {

// A whole text that is one decimal number ("65.3", "-2", "+1e3", " 7" is not):
// nothing when the text holds anything else or the value is not finite.
std::optional<double> ParseNumber(std::string_view text);

// A whole text that is one integer ("12", "-3"): nothing when it holds
// anything else or does not fit.
std::optional<long long> ParseInteger(std::string_view text);

// The value of the number at the start of a text after leading blanks and
// tabs: "65.3*" gives 65.3, " 91.0" gives 91; "", "--" and "abc" give 0.
double LeadingNumber(std::string_view text);
// The same, but nothing when the text does not start with a number.
std::optional<double> FindLeadingNumber(std::string_view text);

// The shortest text that reads back as the same value: 65.3 -> "65.3",
// 80 -> "80", 1e-7 -> "1e-07".
std::string NumberText(double value);

// A whole number in digits, however large: 100000 -> "100000", never "1e+05".
std::string WholeNumberText(long long value);

// A number in plain decimal form, as few digits as read back the same value:
// 65.3 -> "65.3", 80 -> "80", 1e-7 -> "0.0000001". Header lines hold numbers so.
std::string PlainNumberText(double value);

// The one-decimal text of a computed value (Leq, SEL): the whole part of ten
// times the value, cut toward zero, with a "." before its last digit. Nothing
// is rounded: 65.27 -> "65.2", 0.5 -> ".5", 0.04 -> ".0", -1.25 -> "-1.2".
// A value that is not a finite number (a Leq of no energy) gives "--".
std::string OneDecimalText(double value);

// A span of whole seconds as "hh:mm:ss": 3725 -> "01:02:05"; the hours go on
// past 99 ("100:00:00"); a negative span counts as 0.
std::string DurationText(long seconds);

}  // namespace slm
