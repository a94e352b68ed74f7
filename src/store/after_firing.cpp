#include "after_firing.h"

#include <algorithm>
#include <optional>

#include "alarm_rule.h"
#include "recurrence_next.h"

namespace {

// Saves and retires a fired alarm that has no later time to move to.
void Retire(AlarmRecord& alarm) {
  alarm.Getoond = true;
  if ((alarm.Repeat == Once || !alarm.Rule.empty()) && alarm.Delete) alarm.Exist = false;
}

// The alert's series, from its due time for a mode (which moves from
// where it is), from the rule's own start for a rule; nothing for a
// one-time or hand-edited one.
struct Series {
  Recurrence recurrence;
  DateValue start;
};

std::optional<Series> SeriesOf(const AlarmRecord& alarm, DateValue due) {
  if (!alarm.Rule.empty()) {
    if (auto rule = ReadAlarmRule(alarm.Rule)) return Series{std::move(rule->rule), rule->start};
  }
  if (alarm.Repeat < EachDay || alarm.Repeat > EachYear) return std::nullopt;
  return Series{static_cast<RepeatMode>(alarm.Repeat), due};
}

}  // namespace

AfterFiring MoveOnAfterFiring(AlarmRecord& alarm, DateValue due, DateValue now) {
  const auto series = SeriesOf(alarm, due);
  if (!series && alarm.Repeat != Once) {
    return AfterFiring::Unchanged;  // a hand-edited mode: fires again at the next tick
  }
  // Past 31 December 9999 there is no next time: the alarm ends as a fired
  // one-time alarm would, instead of firing every minute for ever.
  const auto next = series ? NextOccurrenceAfter(series->recurrence, series->start, std::max(due, now)) : std::nullopt;
  if (!next) {
    Retire(alarm);
    return AfterFiring::Retired;
  }
  alarm.Tijd = *next;
  return AfterFiring::MovedOn;
}

int TimesDueUntil(const AlarmRecord& alarm, DateValue due, DateValue now) {
  const auto series = SeriesOf(alarm, due);
  if (!series) return 1;
  int times = 1;
  for (DateValue at = due; times < kMissedCountLimit; ++times) {
    const auto next = NextOccurrenceAfter(series->recurrence, series->start, at);
    if (!next || *next > now) break;
    at = *next;
  }
  return times;
}
