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
