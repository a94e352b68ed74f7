#include "date_value.h"

#include <cmath>

namespace {

constexpr long long kSecondsPerDay = 86400;

// Days from 1 January 1970 of a proleptic Gregorian date (Howard Hinnant's
// algorithm); valid for any year.
constexpr long long DaysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2 ? 1 : 0;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const long long d = doy - (153 * mp + 2) / 5 + 1;
  const long long m = mp < 10 ? mp + 3 : mp - 9;
  year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  month = static_cast<int>(m);
  day = static_cast<int>(d);
}

constexpr long long kOleEpoch = DaysFromCivil(1899, 12, 30);

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

}  // namespace

bool IsValidDate(DateValue value) { return std::isfinite(value) && value >= kMinDate && value <= kMaxDate; }

DateValue MakeDate(std::int16_t year, std::int16_t month, std::int16_t day) {
  const long long months = static_cast<long long>(year) * 12 + (month - 1);
  const long long y = FloorDiv(months, 12);
  const long long m = months - y * 12 + 1;
  return static_cast<DateValue>(DaysFromCivil(y, m, 1) + (day - 1) - kOleEpoch);
}

DateValue MakeTime(std::int16_t hour, std::int16_t minute) { return hour / 24.0 + minute / 1440.0; }

DateParts SplitDate(DateValue value) {
  DateParts parts;
  if (!std::isfinite(value)) return parts;
  const double whole = std::trunc(value);
  long long dayNumber = static_cast<long long>(whole);
  long long seconds = std::llround(std::fabs(value - whole) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {  // 23:59:59.6 rounds into the next day
    seconds -= kSecondsPerDay;
    ++dayNumber;
  }
  const long long civil = dayNumber + kOleEpoch;
  CivilFromDays(civil, parts.year, parts.month, parts.day);
  parts.hour = static_cast<int>(seconds / 3600);
  parts.minute = static_cast<int>(seconds / 60 % 60);
  parts.second = static_cast<int>(seconds % 60);
  parts.weekday = static_cast<int>(((civil + 4) % 7 + 7) % 7);  // 1970-01-01 was a Thursday
  return parts;
}

int Year(DateValue value) { return SplitDate(value).year; }
int Month(DateValue value) { return SplitDate(value).month; }
int Day(DateValue value) { return SplitDate(value).day; }

DateValue TimeOfDay(DateValue value) {
  const double whole = std::trunc(value);
  return std::fabs(value - whole);
}

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  const bool leapYear = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leapYear ? 29 : kDays[month - 1];
}

double ToTimeLine(DateValue value) {
  const double whole = std::trunc(value);
  return value < 0 ? whole + (whole - value) : value;
}

DateValue FromTimeLine(double line) {
  // Before 1899-12-30 the whole part goes down while the time of day still
  // counts up.
  const double day = std::floor(line);
  const double time = line - day;
  return day < 0 ? day - time : day + time;
}

DateValue CombineDateTime(DateValue midnight, DateValue timeOfDay) { return FromTimeLine(midnight + timeOfDay); }
