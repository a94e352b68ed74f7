// The reminders a followed calendar gives over a span of days, worked out
// afresh from its copy: each occurrence of a series on its own, with its
// changed (RECURRENCE-ID) and left-out (EXDATE) occurrences and its extra
// dates (RDATE), on its own zone's clock; at the earliest of an event's
// alarms that show or sound, else at the calendar's lead before a timed
// event's start.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "date_value.h"
#include "zone_rules.h"

struct CalendarReminder {
  DateValue due = 0.0;       // local time it rings
  DateValue eventEnd = 0.0;  // local end of its occurrence
  // Its event's text, one for every occurrence (a busy calendar's
  // fortnight of daily meetings keeps each description once), owned by
  // the CalendarReminders that made it and living as long as they do.
  const std::wstring* description = nullptr;

  const std::wstring& Description() const;
  // The same time, end and text, wherever the text is kept.
  friend bool operator==(const CalendarReminder& a, const CalendarReminder& b) {
    return a.due == b.due && a.eventEnd == b.eventEnd && a.Description() == b.Description();
  }
};

struct ReminderSpan {
  ZoneRules localZone;  // the PC's zone
  std::function<std::optional<ZoneRules>(std::wstring_view name)> findWindowsZone;
  DateValue from = 0.0;  // reminders due at or after this local time...
  DateValue to = 0.0;    // ...and before this one
  // Minutes before a timed event's start when it has no alarm of its own;
  // none: such an event does not remind.
  std::optional<int> leadMinutes = 15;
  std::wstring name;  // names the calendar in a problem
  // Asked before each event: true when the program is ending.
  std::function<bool()> cancelled;
};

// At most this many reminders a calendar, the earliest kept; at most this
// many occurrences of one series looked at in the span.
inline constexpr std::size_t kMaxCalendarReminders = 20000;
inline constexpr std::size_t kMaxOccurrencesInSpan = 2000;

struct CalendarReminders {
  bool readable = false;                                   // iCalendar, whole, within 16 MiB
  std::wstring problem;                                    // when not readable: why, for the calendars window
  std::wstring name;                                       // its X-WR-CALNAME, when it has one
  std::vector<CalendarReminder> reminders;                 // in time order
  std::vector<std::unique_ptr<const std::wstring>> texts;  // the reminders' descriptions
  std::size_t eventsNotFollowed = 0;                       // unreadable times, rules Chimewatch cannot follow
};

// Never throws, whatever the bytes.
CalendarReminders RemindersOf(std::string_view bytes, const ReminderSpan& span);
