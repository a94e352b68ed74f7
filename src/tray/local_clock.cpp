#include "local_clock.h"

#include <windows.h>

namespace {

// The fields of a SYSTEMTIME as a date value, whichever zone they are in.
DateValue FromLocalTime(const SYSTEMTIME& time, int milliseconds) {
  const DateValue midnight = MakeDate(static_cast<std::int16_t>(time.wYear), static_cast<std::int16_t>(time.wMonth),
                                      static_cast<std::int16_t>(time.wDay));
  return midnight + ((time.wHour * 3600 + time.wMinute * 60 + time.wSecond) * 1000 + milliseconds) / 86400000.0;
}

SYSTEMTIME ToSystemTime(DateValue value) {
  const DateParts parts = SplitDate(value);
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(parts.year);
  time.wMonth = static_cast<WORD>(parts.month);
  time.wDay = static_cast<WORD>(parts.day);
  time.wHour = static_cast<WORD>(parts.hour);
  time.wMinute = static_cast<WORD>(parts.minute);
  time.wSecond = static_cast<WORD>(parts.second);
  return time;
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

DateValue UtcNow() {
  SYSTEMTIME time;
  GetSystemTime(&time);
  return FromLocalTime(time, 0);
}

DateValue UtcToPcLocal(DateValue utc) {
  const SYSTEMTIME universal = ToSystemTime(utc);
  SYSTEMTIME local;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) return utc;
  return FromLocalTime(local, 0);
}
