// Which recurrence rules Chimewatch's own repeats follow exactly, and the
// next reminder of a repeat at or after now, reached by its own moves.
#pragma once

#include <optional>
#include <string>

#include "alarm_table.h"
#include "calendar_values.h"

struct RepeatReading {
  std::optional<RepeatMode> mode;
  std::wstring reason;  // why not, when there is no mode and the rule was read
  bool unreadable = false;
};

// `start` is the event's start as written, in its own zone: a BY... part
// that names its weekday, day, month or time only restates it.
RepeatReading RepeatOfRule(const RecurrenceRule& rule, const DateParts& start);

// A reason to leave a monthly or yearly repeat out because Chimewatch would
// move it differently (day 29..31, 29 February, a reminder in another month
// than its event); empty when it moves the same. `reminder` is local.
std::wstring CalendarMoveProblem(RepeatMode mode, const DateParts& start, const DateParts& reminder);

// The first reminder at or after `now` of a repeat due at `due` (time line
// values), as Chimewatch's moves after firing reach it; none past 9999.
std::optional<double> NextReminderAtOrAfter(double due, RepeatMode mode, double now);
