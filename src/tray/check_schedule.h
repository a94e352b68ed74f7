// When the alarm check runs: at the start of each minute of the local
// clock, and at once after the computer wakes or its clock is changed.
#pragma once

#include "date_value.h"

// A tick aimed at a minute boundary comes this much after it, so that a
// timer that fires a little early, or a clock read a little late, still
// lands inside the new minute.
inline constexpr unsigned kMinuteTickMarginMs = 50;

// Milliseconds from now to the start of the next minute of the local clock,
// margin included. Exactly on a boundary, that is the next one. The answer
// depends on now alone, so a clock set back or forward is followed at once.
unsigned MillisecondsToNextMinute(DateValue now);

// What a wake from sleep or a clock change does to the minute check.
enum class ClockEventAction {
  CheckNow,     // run the check at once, then carry on on the minute
  RealignOnly,  // no check now, next one on the new clock's next minute
  StayPaused,   // the list window is open: its closing re-arms the check
};

ClockEventAction ActionOnClockEvent(bool monitoring, bool listWindowOpen, bool checkShowingBox);
