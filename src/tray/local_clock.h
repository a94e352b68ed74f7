// Now, from the local wall clock.
#pragma once

#include "date_value.h"

// To the second: what the alarm check and the tray tip compare with.
class LocalClock final : public Clock {
 public:
  DateValue Now() const override;
};

// To the millisecond: for aiming the check's timer at the minute.
DateValue LocalNowToTheMillisecond();

// Now in UTC, and a UTC time in local time by Windows' rules for the PC's
// zone in that year: for adding real time across a clock change.
DateValue UtcNow();
DateValue UtcToPcLocal(DateValue utc);
