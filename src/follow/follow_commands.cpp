#include "follow_commands.h"

#include <algorithm>

#include "calendar_address.h"
#include "number_text.h"
#include "text_convert.h"
#include "text_table.h"

FollowPlan PlanFollow(const FollowArguments& arguments, const std::vector<FollowedCalendar>& followed, DateValue now) {
  FollowPlan plan;
  const auto address = FetchedAddress(arguments.address);
  if (!address) {
    plan.refusal = {kExitNotUnderstood, Text(TextId::FollowAddressNotUnderstood, {arguments.address})};
    return plan;
  }
  for (const FollowedCalendar& calendar : followed) {
    if (calendar.address == *address) {
      plan.refusal = {kExitNotUnderstood, Text(TextId::FollowAlreadyFollowed, {ShownAddress(*address), calendar.name})};
      return plan;
    }
  }
  if (!arguments.name.empty() && FindCalendarByName(followed, arguments.name)) {
    plan.refusal = {kExitNotUnderstood, Text(TextId::FollowNameTaken, {arguments.name})};
    return plan;
  }
  if (followed.size() >= kMaxFollowedCalendars) {
    plan.refusal = {kExitNotUnderstood, Text(TextId::FollowTooMany, {WideDecimalText(kMaxFollowedCalendars)})};
    return plan;
  }
  FollowedCalendar calendar;
  calendar.address = *address;
  calendar.name = arguments.name;
  calendar.user = arguments.user;
  if (arguments.lead) calendar.leadMinutes = *arguments.lead;
  if (arguments.refreshMinutes) calendar.refreshMinutes = *arguments.refreshMinutes;
  calendar.remindedThrough = now;
  plan.calendar = std::move(calendar);
  return plan;
}

std::wstring NameToKeep(const std::wstring& asked, const std::wstring& own, const std::wstring& address,
                        const std::vector<FollowedCalendar>& followed) {
  std::wstring name = TrimBlanks(!asked.empty() ? asked : !own.empty() ? own : HostOf(address));
  std::replace_if(
      name.begin(), name.end(), [](wchar_t c) { return c < L' '; }, L' ');
  const std::wstring base = name;
  for (int number = 2; FindCalendarByName(followed, name); ++number) {
    name = base + L" (" + WideDecimalText(number) + L")";
  }
  return name;
}

TransferOutcome FollowOutcome(const FollowedCalendar& calendar, const CalendarState& state,
                              const std::optional<std::wstring>& notSaved) {
  if (notSaved) return {kExitNotWritten, *notSaved};
  return {kExitDone, Text(TextId::FollowFollowing, {calendar.name, ShownAddress(calendar.address), StateText(state)})};
}

TransferOutcome RefreshOutcome(const std::vector<FollowedCalendar>& followed,
                               const std::vector<CalendarState>& states) {
  if (followed.empty()) return {kExitDone, Text(TextId::FollowNoneFollowed)};
  TransferOutcome outcome;
  for (std::size_t i = 0; i < followed.size() && i < states.size(); ++i) {
    if (!outcome.summary.empty()) outcome.summary += L"\r\n";
    outcome.summary += Text(TextId::FollowCalendarLine, {followed[i].name, StateText(states[i])});
    if (states[i].failingSince) outcome.exitCode = kExitNotReached;
  }
  return outcome;
}
