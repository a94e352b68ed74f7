// Values of iCalendar properties: dates and times, durations, UTC offsets
// and recurrence rules, read tolerantly and written strictly.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "content_lines.h"
#include "date_value.h"

inline constexpr double kSecondsPerDay = 86400.0;

struct CalendarTime {
  enum class Form { Date, Floating, Utc, Zoned };
  Form form = Form::Floating;
  double wall = 0.0;  // the written date and time on the time line (midnight for a date)
  std::string zone;   // the TZID of a zoned time
};

// "19970714", "19970714T173000", "...Z", with VALUE=DATE and TZID taken
// from the line's parameters.
std::optional<CalendarTime> ReadCalendarTime(const ContentLine& line);
// Every time of a comma-separated list (EXDATE, RDATE); at most `limit`.
std::optional<std::vector<CalendarTime>> ReadCalendarTimes(const ContentLine& line, std::size_t limit);
std::optional<CalendarTime> ReadCalendarTimeText(std::string_view text, bool dateOnly, std::string zone);

// A whole number with an optional sign and at most `maxDigits` digits
// (leading zeros not counted).
std::optional<long long> ReadWholeNumber(std::string_view text, std::size_t maxDigits);

// "-PT15M", "P1DT2H", "P2W": days and weeks are calendar days (of the zone
// a time is in), hours, minutes and seconds exact time, as RFC 5545 has it.
struct CalendarDuration {
  long long days = 0;
  long long seconds = 0;
};
std::optional<CalendarDuration> ReadDuration(std::string_view text);
// "+0100", "-0330", "+053000": seconds east of UTC.
std::optional<int> ReadUtcOffsetSeconds(std::string_view text);

// A weekday of BYDAY: the ordinal (0 when none) and the weekday (0 Sunday).
struct WeekdayEntry {
  int ordinal = 0;
  int weekday = 0;
};

// The writer's forms: "20260115T093000", "20260115T083000Z", "+0100".
std::string DateTimeText(double line);
std::string UtcOffsetText(int seconds);

// A calendar date and time of day on the time line, when it exists.
std::optional<double> TimeLineOf(int year, int month, int day, int secondOfDay);
