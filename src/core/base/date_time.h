#pragma once

namespace slm {

// A calendar date and time, as the PC clock gives it.
struct DateTime {
  int year = 2000;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

}  // namespace slm
