#pragma once
// The wall-clock time of this machine's time zone, to the second.

namespace fjl::platform {

struct CalendarTime {
  int day = 0;
  int month = 0;  // 1..12
  int year = 0;   // four digits
  int hour = 0;
  int minute = 0;
  int second = 0;
};

CalendarTime LocalCalendarTime();

}  // namespace fjl::platform
