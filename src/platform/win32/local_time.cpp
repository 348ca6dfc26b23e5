#include "platform/local_time.h"

#include <windows.h>

namespace fjl::platform {

CalendarTime LocalCalendarTime() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return {now.wDay, now.wMonth, now.wYear, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace fjl::platform
