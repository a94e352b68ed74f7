// What the calendars window and a command say of a followed calendar:
// "Updated at 10:05: 34 reminders in the next 14 days", or "Not reached
// since 09:00: the server answered 404".
#pragma once

#include <optional>
#include <string>

#include "date_value.h"

inline constexpr int kReminderDays = 14;  // the span reminders are worked out for

enum class FetchProblem {
  None,
  NoConnection,  // `detail`: Windows' words
  NotTrusted,    // the server's certificate: not from an authority this PC trusts, another name, expired
  TimedOut,
  ServerAnswered,    // `status`: an HTTP status other than 200, 304, 401, 403
  NotAllowed,        // 401 or 403 with a user name and password
  NeedsUser,         // 401 without them
  NotCalendar,       // `detail`: why the body is not a calendar (HTML, cut, over 16 MiB)
  InsecureRedirect,  // from https to http
  TooManyRedirects,
};

struct FetchFailure {
  FetchProblem problem = FetchProblem::None;
  int status = 0;
  std::wstring detail;
};

std::wstring FailureText(const FetchFailure& failure);

struct CalendarState {
  std::optional<DateValue> updated;       // local time of the last answer (a calendar, or "not changed")
  std::optional<DateValue> failingSince;  // local time of the first failure after it
  std::wstring why;                       // the latest failure, in words
  std::size_t reminders = 0;              // in the next kReminderDays days, from the copy
  bool plainHttp = false;
};

std::wstring StateText(const CalendarState& state);
