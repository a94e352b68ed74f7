// Date values: OLE Automation dates, days since 30 December 1899 as a double,
// local wall-clock time. The fraction is the time of day; for days before
// 1899-12-30 the whole part is negative and the fraction still counts forward
// from midnight (-1.25 is 29 December 1899, 06:00).
#pragma once

#include <cstdint>

using DateValue = double;

// Calendar and clock fields of a date value, rounded to the nearest second.
struct DateParts {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int weekday = 0;  // 0 Sunday .. 6 Saturday
};

// The representable range: 1 January 100 to 31 December 9999.
inline constexpr DateValue kMinDate = -657434.0;
inline constexpr DateValue kMaxDate = 2958465.99999;

bool IsValidDate(DateValue value);

// Midnight of the given day. Months and days outside their range carry over
// into the next larger unit (month 13 is January of the next year, 31 April
// is 1 May, day 0 the last day of the month before).
DateValue MakeDate(std::int16_t year, std::int16_t month, std::int16_t day);

// hour/24 + minute/1440.
DateValue MakeTime(std::int16_t hour, std::int16_t minute);

DateParts SplitDate(DateValue value);
int Year(DateValue value);
int Month(DateValue value);
int Day(DateValue value);

// The time-of-day part, always 0 <= t < 1.
DateValue TimeOfDay(DateValue value);

// Days in a month of the Gregorian calendar (0 for a month outside 1..12).
int DaysInMonth(int year, int month);

// Days on a plain time line: the date value without its encoding for days
// before 30 December 1899 (where the fraction counts forward from a whole
// part that counts down), so that times can be added and compared.
double ToTimeLine(DateValue value);
DateValue FromTimeLine(double line);

// A calendar day plus a time of day (which may pass midnight: 25:00 is 01:00
// of the next day), with the OLE encoding for days before 1899.
DateValue CombineDateTime(DateValue midnight, DateValue timeOfDay);

// The source of Now; the program uses the local clock, tests a fixed one.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateValue Now() const = 0;
};
