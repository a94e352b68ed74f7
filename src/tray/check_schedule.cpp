#include "check_schedule.h"

#include <cmath>

namespace {

constexpr long long kMsPerMinute = 60 * 1000;
constexpr double kMsPerDay = 86400.0 * 1000.0;

}  // namespace

unsigned MillisecondsToNextMinute(DateValue now) {
  // Whole milliseconds first: a time exactly on a boundary, stored as a
  // double, may read as a hair before it.
  const long long msOfDay = std::llround(TimeOfDay(now) * kMsPerDay);
  const long long intoMinute = msOfDay % kMsPerMinute;
  return static_cast<unsigned>(kMsPerMinute - intoMinute) + kMinuteTickMarginMs;
}

ClockEventAction ActionOnClockEvent(bool monitoring, bool listWindowOpen, bool checkShowingBox) {
  if (listWindowOpen) return ClockEventAction::StayPaused;
  // A check that shows a box already sees the new time when it goes on.
  if (!monitoring || checkShowingBox) return ClockEventAction::RealignOnly;
  return ClockEventAction::CheckNow;
}
