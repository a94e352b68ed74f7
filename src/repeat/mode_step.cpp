#include "mode_step.h"

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

}  // namespace

std::optional<DateValue> OnePeriodOn(RepeatMode mode, DateValue due) {
  DateValue next = 0.0;
  switch (mode) {
    case EachDay: next = due + 1; break;
    case EachWeek: next = due + 7; break;
    case EachMonth: next = MovedCalendar(due, 0, 1); break;
    case EachYear: next = MovedCalendar(due, 1, 0); break;
    default: return std::nullopt;
  }
  if (!IsValidDate(next)) return std::nullopt;
  return next;
}
