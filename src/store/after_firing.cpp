#include "after_firing.h"

#include <algorithm>

#include "alarm_rule.h"
#include "mode_step.h"
#include "recurrence_next.h"

namespace {

// Saves and retires a fired alarm that has no later time to move to.
void Retire(AlarmRecord& alarm) {
  alarm.Getoond = true;
  if ((alarm.Repeat == Once || !alarm.Rule.empty()) && alarm.Delete) alarm.Exist = false;
}

AfterFiring MoveOnByRule(AlarmRecord& alarm, const AlarmRule& rule, DateValue after) {
  const auto next = NextOccurrenceAfter(rule.rule, rule.start, after);
  if (!next) {
    Retire(alarm);
    return AfterFiring::Retired;
  }
  alarm.Tijd = *next;
  return AfterFiring::MovedOn;
}

}  // namespace

AfterFiring MoveOnAfterFiring(AlarmRecord& alarm, DateValue due, DateValue now) {
  if (const auto rule = alarm.Rule.empty() ? std::nullopt : ReadAlarmRule(alarm.Rule)) {
    return MoveOnByRule(alarm, *rule, std::max(due, now));
  }
  if (alarm.Repeat == Once) {
    Retire(alarm);
    return AfterFiring::Retired;
  }
  // A hand-edited mode: fires again at the next tick.
  if (alarm.Repeat < Once || alarm.Repeat > EachYear) return AfterFiring::Unchanged;
  // Past 31 December 9999 there is no next time: the alarm ends as a fired
  // one-time alarm would, instead of firing every minute for ever.
  const auto next = OnePeriodOn(static_cast<RepeatMode>(alarm.Repeat), due);
  if (!next) {
    Retire(alarm);
    return AfterFiring::Retired;
  }
  alarm.Tijd = *next;
  return AfterFiring::MovedOn;
}
