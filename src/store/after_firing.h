// What firing does to an alert: a repeating one moves on by one period or
// to its rule's next occurrence, a one-time one is retired (and freed when
// it is deleted when over).
#pragma once

#include "alarm_table.h"

enum class AfterFiring { MovedOn, Retired, Unchanged };

// `due` is the due time read before the alarm's box. A mode moves one
// period on from `due`, so that each missed period shows its box at the
// next ticks. A rule moves to its first occurrence after both `due` and
// `now`: one box for all its missed occurrences, however many (a rule
// every weekday missed for a month), and then its next one to come. A rule
// whose series has ended is retired as a one-time alert is.
AfterFiring MoveOnAfterFiring(AlarmRecord& alarm, DateValue due, DateValue now = 0.0);
