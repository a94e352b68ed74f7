// What firing does to an alert: a repeating one moves on to its next due
// time after now, a one-time one is retired (and freed when it is deleted
// when over).
#pragma once

#include "alarm_table.h"

enum class AfterFiring { MovedOn, Retired, Unchanged };

// `due` is the due time read before the alarm's box. A repeat, mode or
// rule, moves to its first due time after both `due` and `now`: one box
// for all the times it fell due while the program was not running or not
// active (a daily alert missed for a fortnight, a rule every weekday missed
// for a month), and then its next one to come. A repeat whose series has
// ended (a rule's COUNT or UNTIL, 31 December 9999) is retired as a
// one-time alert is.
AfterFiring MoveOnAfterFiring(AlarmRecord& alarm, DateValue due, DateValue now = 0.0);

// How many times the alert was due from `due` up to `now`, both included:
// 1 for an alert on time, and for a one-time or hand-edited one; counted up
// to kMissedCountLimit, which then means "that many or more".
inline constexpr int kMissedCountLimit = 1000;
int TimesDueUntil(const AlarmRecord& alarm, DateValue due, DateValue now);
