// The reminders of the followed calendars as the tray sees them: which
// ring now, which comes next, and the agenda of the coming days.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "alarm_table.h"
#include "calendar_reminders.h"
#include "followed_calendar.h"
#include "list_rows.h"

// Each followed calendar with its reminders worked out from its copy.
struct CalendarFollowing {
  FollowedCalendar calendar;
  std::vector<CalendarReminder> reminders;                 // in time order
  std::vector<std::unique_ptr<const std::wstring>> texts;  // their descriptions
};

// A reminder to ring, with a copy of its text: a fetch that ends while its
// box is up replaces the calendar's reminders and their texts.
struct DueReminder {
  std::size_t calendar = 0;  // its index
  DateValue due = 0.0;
  std::wstring description;
};

// The reminders that ring now, in time order: due by `now`'s minute and
// after their calendar's remindedThrough. One more than a minute late
// (missed while Chimewatch was not running, or held while the user
// presented) rings only while its event has not ended. Once they are
// shown, every calendar is reminded through `now`.
std::vector<DueReminder> DueReminders(const std::vector<CalendarFollowing>& followed, DateValue now);

// Whether `reminder` is to ring, or is passed over: not yet due, or done.
enum class ReminderState { Ahead, Rings, PassedOver, Done };
ReminderState StateOf(const CalendarReminder& reminder, DateValue remindedThrough, DateValue now);

// The earliest reminder strictly after now, or the tip's sentinel.
DateValue NextReminderTime(const std::vector<CalendarFollowing>& followed, DateValue now, DateValue sentinel);

// The reminders still to come, as the list window shows them beside the
// alerts, in time order.
std::vector<FollowedRow> FollowedRows(const std::vector<CalendarFollowing>& followed, DateValue now);

// Every reminder from `from` for `days` days, the active alerts' and the
// followed calendars', in time order, a line each: "yyyy-mm-dd hh:mm",
// a tab, the calendar's name or "Chimewatch", a tab, the description,
// with tabs and line breaks in a name or description as blanks.
std::wstring AgendaText(const AlarmTable& table, const std::vector<CalendarFollowing>& followed, DateValue from,
                        int days);
