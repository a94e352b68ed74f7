// What firing does to an alert: a repeating one moves on by one period, a
// one-time one is retired (and freed when it is deleted when over). The
// calendar import moves repeats the same way to their next time.
#pragma once

#include "alarm_table.h"

enum class AfterFiring { MovedOn, Retired, Unchanged };

// `due` is the due time read before the alarm's box.
AfterFiring MoveOnAfterFiring(AlarmRecord& alarm, DateValue due);
