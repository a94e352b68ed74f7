// The rules of /follow, /unfollow and /refresh, the same whether a running
// Chimewatch does the work or the command itself: which calendar to fetch,
// or why not; and what the command then says.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calendar_state.h"
#include "command_line.h"
#include "followed_calendar.h"

struct FollowPlan {
  std::optional<FollowedCalendar> calendar;  // to fetch, then keep
  TransferOutcome refusal;                   // when none
};

// The address made the one fetched, checked against those followed.
// `now` (local) starts the calendar reminded through it: nothing already
// past rings when it is added.
FollowPlan PlanFollow(const FollowArguments& arguments, const std::vector<FollowedCalendar>& followed, DateValue now);

// The calendar's name once its first fetch came: the one asked for, else
// its own X-WR-CALNAME, else the server's; made unique among `followed`.
std::wstring NameToKeep(const std::wstring& asked, const std::wstring& own, const std::wstring& address,
                        const std::vector<FollowedCalendar>& followed);

// What /follow says after the first fetch.
TransferOutcome FollowOutcome(const FollowedCalendar& calendar, const CalendarState& state,
                              const std::optional<std::wstring>& notSaved);

// What /refresh says: a line per calendar; kExitNotReached when one failed.
TransferOutcome RefreshOutcome(const std::vector<FollowedCalendar>& followed, const std::vector<CalendarState>& states);
