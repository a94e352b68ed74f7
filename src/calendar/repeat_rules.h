// Which of Chimewatch's five repeats an event's rule is exactly, and the
// next occurrence of a repeat at or after now.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar_values.h"
#include "recurrence.h"
#include "recurrence_text.h"
#include "zone_clock.h"

// The mode a rule is exactly, else nothing: every day, week, month or year
// with nothing more than what `start` (the event's start, in its own zone)
// already says. Whether the mode then moves as the rule does is
// CalendarMoveProblem's question.
std::optional<RepeatMode> ExactMode(const RepeatRule& rule, const DateParts& start);

// Why Chimewatch's month or year move would differ from the rule's (day
// 29..31, 29 February, a reminder in another month than its event); empty
// when it moves the same. `reminder` is local.
std::wstring CalendarMoveProblem(RepeatMode mode, const DateParts& start, const DateParts& reminder);

// The first occurrence at or after `now` of the series that starts at
// `start` (time line values); none when the series has ended.
std::optional<double> OccurrenceAtOrAfter(const Recurrence& series, double start, double now);

// A rule without the BYHOUR, BYMINUTE and BYSECOND parts that only name
// the start's own time, as some calendars write them: they say nothing more.
std::string WithoutRestatedTime(std::string_view rule, const DateParts& start);

// An UNTIL in UTC read on the clock of the series' start.
class ClockUntilZone final : public UntilZone {
 public:
  explicit ClockUntilZone(const ZoneClock& zone) : zone_(zone) {}
  std::optional<DateValue> LocalOfUtc(DateValue utc) const override {
    return FromTimeLine(UtcToWall(zone_, ToTimeLine(utc)));
  }

 private:
  const ZoneClock& zone_;
};
