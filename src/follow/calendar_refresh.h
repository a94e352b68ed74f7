// One followed calendar brought up to date, on the calling thread: fetched
// (when asked), its copy replaced only by a calendar that reads, and its
// reminders worked out from the copy it then has. A failed fetch leaves
// the last good copy and its reminders as they were.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "calendar_reminders.h"
#include "calendar_state.h"
#include "command_line.h"
#include "followed_calendar.h"

struct RefreshResult {
  bool fetched = false;                 // the server answered with a calendar, or "not changed"
  FetchFailure failure;                 // when it did not
  std::optional<std::wstring> movedTo;  // a permanent redirect's address
  CalendarReminders reminders;          // from the copy, when there is one
};

// `now` is local time; the reminders are worked out from the calendar's
// remindedThrough (at most a week back) to kReminderDays ahead. A calendar
// with a user sends `password`, else the one Credential Manager keeps.
RefreshResult RefreshCalendar(const FollowedCalendar& calendar, bool fetch, const std::atomic<bool>& cancelled,
                              DateValue now, const std::optional<std::wstring>& password = std::nullopt);

// A calendar to follow after its first fetch: kept, under its name to
// keep and its new address if it moved for good, with its password in
// Credential Manager; or, when no calendar came, its copy removed and the
// reason. The caller adds it to its list and saves that.
struct FirstFetch {
  std::optional<FollowedCalendar> calendar;
  CalendarState state;  // for the one kept
  TransferOutcome refusal;
};
FirstFetch TakeFirstFetch(FollowedCalendar calendar, const std::wstring& askedName,
                          const std::optional<std::wstring>& password, const RefreshResult& result,
                          const std::vector<FollowedCalendar>& followed, DateValue now);
