// The RRULE value text of a repeat (RFC 5545, 3.3.10 and 3.8.5.3): written
// strictly, in one order, and read tolerantly (parts in any order, names and
// values in any case), so that what is written reads back the same.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "recurrence.h"

// RFC 5545's weekdays, Sunday first, as BYDAY and WKST write them.
inline constexpr std::array<std::string_view, 7> kWeekdayCodes = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};

// "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;UNTIL=20271231T235900": FREQ,
// INTERVAL, BYMONTH, BYMONTHDAY, BYDAY, BYSETPOS, WKST, then COUNT or
// UNTIL, leaving out INTERVAL=1 and WKST=MO; UNTIL in local time (no Z) or
// as a date. A mode gives its plain FREQ (a monthly one on the 29th to 31st
// carries over where an RRULE skips the month: the writer of a calendar
// says so); Once and a mode outside 0..4 give no text. The left-out dates
// are EXDATE properties of their own, not part of this text.
std::string Rfc5545Text(const Recurrence& recurrence);

// The local time of a UTC time, for an UNTIL written with "Z" (which RFC
// 5545 asks for when the start has a time zone): only the calendar import
// knows the zone.
class UntilZone {
 public:
  virtual ~UntilZone() = default;
  virtual std::optional<DateValue> LocalOfUtc(DateValue utc) const = 0;
};

struct RuleReading {
  std::optional<RepeatRule> rule;
  std::wstring reason;  // why there is no rule: the part named
};

// Reads an RRULE value ("FREQ=MONTHLY;BYDAY=-1FR"). A rule RuleProblem
// rejects, an unknown or unsupported part (BYHOUR, BYWEEKNO, HOURLY ...),
// a part given twice, or an UNTIL with "Z" and no zone give a reason. The
// rule's lists come back sorted and without repeats.
RuleReading ParseRecurrenceRule(std::string_view text, const UntilZone* zone = nullptr);
