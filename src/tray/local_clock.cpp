#include "local_clock.h"

#include <windows.h>

namespace {

DateValue FromLocalTime(const SYSTEMTIME& time, int milliseconds) {
  const DateValue midnight = MakeDate(static_cast<std::int16_t>(time.wYear), static_cast<std::int16_t>(time.wMonth),
                                      static_cast<std::int16_t>(time.wDay));
  return midnight + ((time.wHour * 3600 + time.wMinute * 60 + time.wSecond) * 1000 + milliseconds) / 86400000.0;
}

}  // namespace

DateValue LocalClock::Now() const {
  SYSTEMTIME time;
  GetLocalTime(&time);
  return FromLocalTime(time, 0);
}

DateValue LocalNowToTheMillisecond() {
  SYSTEMTIME time;
  GetLocalTime(&time);
  return FromLocalTime(time, time.wMilliseconds);
}
