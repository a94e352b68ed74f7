// One followed calendar brought up to date, on the calling thread: fetched
// (when asked), its copy replaced only by a calendar that reads, and its
// reminders worked out from the copy it then has. A failed fetch leaves
// the last good copy and its reminders as they were.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "calendar_reminders.h"
#include "calendar_state.h"
#include "followed_calendar.h"

struct RefreshResult {
  bool fetched = false;     // the server answered with a calendar, or "not changed"
  FetchFailure failure;     // when it did not
  std::optional<std::wstring> movedTo;  // a permanent redirect's address
  CalendarReminders reminders;          // from the copy, when there is one
};

// `now` is local time; the reminders are worked out from the calendar's
// remindedThrough (at most a week back) to kReminderDays ahead. A calendar
// with a user sends `password`, else the one Credential Manager keeps.
RefreshResult RefreshCalendar(const FollowedCalendar& calendar, bool fetch, const std::atomic<bool>& cancelled,
                              DateValue now, const std::optional<std::wstring>& password = std::nullopt);
