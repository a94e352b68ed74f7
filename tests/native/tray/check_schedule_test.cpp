#include <gtest/gtest.h>

#include "check_schedule.h"
#include "test_support.h"

namespace {

DateValue AtMs(int hour, int minute, int second, int ms) {
  return At(2026, 12, 7, hour, minute, second) + ms / 86400000.0;
}

constexpr unsigned kMargin = kMinuteTickMarginMs;

}  // namespace

TEST(CheckSchedule, AimsAtTheNextMinuteBoundary) {
  struct Case {
    DateValue now;
    unsigned expected;
    const char* what;
  };
  const Case cases[] = {
      {AtMs(14, 5, 0, 0), 60000 + kMargin, "exactly on a boundary: the next one"},
      {AtMs(14, 5, 0, 50), 59950 + kMargin, "a tick that came with its margin"},
      {AtMs(14, 5, 0, 1), 59999 + kMargin, "just after a boundary"},
      {AtMs(14, 5, 59, 900), 100 + kMargin, "59.9 s after"},
      {AtMs(14, 4, 59, 999), 1 + kMargin, "a tick that came a hair early"},
      {AtMs(14, 5, 30, 0), 30000 + kMargin, "half way"},
      {AtMs(23, 59, 45, 0), 15000 + kMargin, "the next minute is on the next day"},
      // 29 December 1899, 06:00:20: the whole part is negative, the time of day
      // still counts forward from midnight.
      {-1.25 - 20 / 86400.0, 40000 + kMargin, "a day before 1899-12-30"},
  };
  for (const Case& c : cases) EXPECT_EQ(MillisecondsToNextMinute(c.now), c.expected) << c.what;
}

TEST(CheckSchedule, FollowsAClockThatWasSet) {
  // Armed at 14:05:00.05 for 14:06; the clock is then set back an hour, or
  // forward: the re-arm aims from the new time, never from the old aim.
  EXPECT_EQ(MillisecondsToNextMinute(AtMs(13, 5, 20, 0)), 40000 + kMargin);
  EXPECT_EQ(MillisecondsToNextMinute(AtMs(16, 0, 59, 500)), 500 + kMargin);
  // Never more than a minute, whatever the clock says.
  for (int ms = 0; ms < 60000; ms += 997) {
    const unsigned delay = MillisecondsToNextMinute(AtMs(9, 0, 0, 0) + ms / 86400000.0);
    EXPECT_GT(delay, kMargin);
    EXPECT_LE(delay, 60000 + kMargin);
  }
}

TEST(CheckSchedule, ClockEventsCheckAtOnceOnlyWhenAFreshCheckCouldRun) {
  using enum ClockEventAction;
  struct Case {
    bool monitoring, listWindowOpen, showingBox;
    ClockEventAction expected;
  };
  const Case cases[] = {
      {true, false, false, CheckNow},      // the usual wake: overdue alarms show now
      {false, false, false, RealignOnly},  // "Active" off: nothing fires
      {true, false, true, RealignOnly},    // a box is open: no second, nested check
      {true, true, false, StayPaused},     // the list window pauses the check
      {false, true, false, StayPaused},   {true, true, true, StayPaused},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ActionOnClockEvent(c.monitoring, c.listWindowOpen, c.showingBox), c.expected)
        << c.monitoring << c.listWindowOpen << c.showingBox;
  }
}
