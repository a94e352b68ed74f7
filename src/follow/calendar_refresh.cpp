#include "calendar_refresh.h"

#include <algorithm>

#include "calendar_address.h"
#include "calendar_copy.h"
#include "calendar_password.h"
#include "follow_commands.h"
#include "http_fetch.h"
#include "text_table.h"
#include "windows_zones.h"

namespace {

constexpr double kLookBackDays = 7.0;  // a missed reminder whose event goes on rings at start

CalendarReminders RemindersOfCopy(const FollowedCalendar& calendar, const std::string& body,
                                  const std::atomic<bool>& cancelled, DateValue now) {
  ReminderSpan span;
  span.localZone = LocalZoneRules();
  span.findWindowsZone = FindWindowsZone;
  span.from = std::min(now, std::max(calendar.remindedThrough, now - kLookBackDays));
  span.to = now + kReminderDays;
  span.leadMinutes = calendar.leadMinutes;
  span.name = calendar.name.empty() ? HostOf(calendar.address) : calendar.name;
  span.cancelled = [&cancelled] { return cancelled.load(); };
  return RemindersOf(body, span);
}

}  // namespace

RefreshResult RefreshCalendar(const FollowedCalendar& calendar, bool fetch, const std::atomic<bool>& cancelled,
                              DateValue now, const std::optional<std::wstring>& password) {
  RefreshResult result;
  std::optional<CalendarCopy> copy = ReadCalendarCopy(calendar.address);
  if (fetch) {
    FetchRequest request;
    request.address = calendar.address;
    request.user = calendar.user;
    if (!calendar.user.empty())
      request.password = password ? *password : ReadCalendarPassword(calendar.address).value_or(L"");
    if (copy) {
      request.etag = copy->etag;
      request.lastModified = copy->lastModified;
    }
    FetchAnswer answer = FetchCalendar(request, cancelled);
    result.movedTo = answer.movedTo;
    if (answer.kind == FetchAnswer::Kind::Calendar) {
      CalendarReminders fresh = RemindersOfCopy(calendar, answer.body, cancelled, now);
      if (!fresh.readable) {
        answer.kind = FetchAnswer::Kind::Failed;
        answer.failure = {FetchProblem::NotCalendar, 0, fresh.problem};
      } else {
        // Kept even when the copy cannot be written: the reminders are good.
        WriteCalendarCopy(calendar.address, {answer.body, answer.etag, answer.lastModified});
        result.fetched = true;
        result.reminders = std::move(fresh);
        return result;
      }
    }
    result.fetched = answer.kind == FetchAnswer::Kind::NotChanged;
    result.failure = answer.failure;
  }
  if (copy) result.reminders = RemindersOfCopy(calendar, copy->body, cancelled, now);
  return result;
}

FirstFetch TakeFirstFetch(FollowedCalendar calendar, const std::wstring& askedName,
                          const std::optional<std::wstring>& password, const RefreshResult& result,
                          const std::vector<FollowedCalendar>& followed, DateValue now) {
  FirstFetch taken;
  if (!result.fetched || !result.reminders.readable) {
    DeleteCalendarCopy(calendar.address);
    const std::wstring why = result.fetched ? result.reminders.problem : FailureText(result.failure);
    taken.refusal = {kExitNotReached, Text(TextId::FollowNotFollowed, {ShownAddress(calendar.address), why})};
    return taken;
  }
  if (result.movedTo) calendar.address = *result.movedTo;
  calendar.name = NameToKeep(askedName, result.reminders.name, calendar.address, followed);
  if (!calendar.user.empty() && password) KeepCalendarPassword(calendar.address, calendar.user, *password);
  taken.state.updated = now;
  taken.state.plainHttp = IsPlainHttp(calendar.address);
  taken.state.reminders = result.reminders.reminders.size();
  taken.calendar = std::move(calendar);
  return taken;
}
