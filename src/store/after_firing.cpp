#include "after_firing.h"

#include <algorithm>

#include "alarm_rule.h"
#include "recurrence_next.h"

namespace {

// Month and year moves keep the time of day, dropping the seconds.
DateValue TimeToTheMinute(DateValue value) {
  const DateParts parts = SplitDate(value);
  return MakeTime(static_cast<std::int16_t>(parts.hour), static_cast<std::int16_t>(parts.minute));
}

DateValue MovedCalendar(DateValue due, int addYears, int addMonths) {
  const DateParts parts = SplitDate(due);
  const DateValue day =
      MakeDate(static_cast<std::int16_t>(parts.year + addYears), static_cast<std::int16_t>(parts.month + addMonths),
               static_cast<std::int16_t>(parts.day));
  return CombineDateTime(day, TimeToTheMinute(due));
}

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
  DateValue next = 0.0;
  switch (alarm.Repeat) {
    case Once: Retire(alarm); return AfterFiring::Retired;
    case EachDay: next = due + 1; break;
    case EachWeek: next = due + 7; break;
    case EachMonth: next = MovedCalendar(due, 0, 1); break;
    case EachYear: next = MovedCalendar(due, 1, 0); break;
    default: return AfterFiring::Unchanged;  // a hand-edited mode: fires again next tick
  }
  // Past 31 December 9999 there is no next time: the alarm ends as a fired
  // one-time alarm would, instead of firing every minute for ever.
  if (!IsValidDate(next)) {
    Retire(alarm);
    return AfterFiring::Retired;
  }
  alarm.Tijd = next;
  return AfterFiring::MovedOn;
}
