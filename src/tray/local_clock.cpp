#include "local_clock.h"

#include <windows.h>

DateValue LocalClock::Now() const {
  SYSTEMTIME time;
  GetLocalTime(&time);
  const DateValue midnight = MakeDate(static_cast<std::int16_t>(time.wYear), static_cast<std::int16_t>(time.wMonth),
                                      static_cast<std::int16_t>(time.wDay));
  return midnight + (time.wHour * 3600 + time.wMinute * 60 + time.wSecond) / 86400.0;
}
