#include "command_line_run.h"

#include <windows.h>

#include <atomic>

#include "alarm_store.h"
#include "calendar_address.h"
#include "calendar_copy.h"
#include "calendar_password.h"
#include "calendar_refresh.h"
#include "follow_commands.h"
#include "followed_reminders.h"
#include "hand_over.h"
#include "local_clock.h"
#include "password_dialog.h"
#include "settings_location.h"
#include "single_instance.h"
#include "text_convert.h"
#include "text_table.h"

namespace {

// How long a command-line run waits for a running program or the lock.
constexpr ULONGLONG kCommandLineWaitMs = 10000;
constexpr DWORD kAskAgainMs = 50;

// Until the deadline: the running program's outcome, or nothing once the
// lock is ours.
std::optional<TransferOutcome> HandOverOrTakeLock(SingleInstance& lock, const TransferRequest& request,
                                                  ULONGLONG deadline) {
  if (lock.HeldOutOfReach()) return TransferOutcome{kExitElevated, Text(TextId::TransferElevatedCommand)};
  TextId busy = TextId::TransferOtherCommandBusy;
  while (!lock.Owned() && GetTickCount64() < deadline) {
    HWND running = lock.WaitForWindowOrLock(deadline);
    if (!running) break;
    const HandOverReply reply = HandOverToRunningProgram(running, request, deadline);
    switch (reply.answer) {
      case HandOverAnswer::Done: return reply.outcome;
      case HandOverAnswer::NotAnswered: return TransferOutcome{kExitNoAnswer, Text(TextId::TransferNoAnswer)};
      case HandOverAnswer::Lost: return TransferOutcome{kExitLost, Text(TextId::TransferLost)};
      case HandOverAnswer::NotReady: busy = TextId::TransferNotReadyBusy; break;
      case HandOverAnswer::Ending: busy = TextId::TransferEndingBusy; break;
    }
    Sleep(kAskAgainMs);
  }
  if (lock.Owned()) return std::nullopt;
  return TransferOutcome{kExitBusy, Text(busy)};
}

std::atomic<bool> never{false};  // a command-line run is not ended by Exit

TransferOutcome FollowHere(const FollowArguments& arguments, SettingsStore& store, DateValue now) {
  std::vector<FollowedCalendar> list = ReadFollowedCalendars(store);
  const FollowPlan plan = PlanFollow(arguments, list, now);
  if (!plan.calendar) return plan.refusal;
  FollowedCalendar calendar = *plan.calendar;
  std::optional<std::wstring> password;
  if (!calendar.user.empty()) {
    password = AskCalendarPassword(GetModuleHandleW(nullptr), nullptr, ShownAddress(calendar.address), calendar.user);
    if (!password) {
      return {kExitNotReached,
              Text(TextId::FollowNotFollowed, {ShownAddress(calendar.address), Text(TextId::PasswordNotGiven)})};
    }
  }
  const RefreshResult result = RefreshCalendar(calendar, true, never, now, password);
  const FirstFetch taken = TakeFirstFetch(calendar, arguments.name, password, result, list, now);
  if (!taken.calendar) return taken.refusal;
  list.push_back(*taken.calendar);
  const auto failed = SaveFollowedCalendars(store, list, list.size() - 1);
  const std::optional<std::wstring> notSaved =
      failed ? std::optional(Text(TextId::FollowNotSaved, {store.Where(), *failed})) : std::nullopt;
  return FollowOutcome(*taken.calendar, taken.state, notSaved);
}

TransferOutcome UnfollowHere(const std::wstring& name, SettingsStore& store) {
  std::vector<FollowedCalendar> list = ReadFollowedCalendars(store);
  const auto index = FindCalendarByName(list, name);
  if (!index) return {kExitNotUnderstood, Text(TextId::FollowNoSuchName, {name})};
  const FollowedCalendar gone = list[*index];
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(*index));
  if (const auto failed = SaveFollowedCalendars(store, list, list.size() + 1)) {
    return {kExitNotWritten, Text(TextId::FollowNotSaved, {store.Where(), *failed})};
  }
  DeleteCalendarCopy(gone.address);
  ForgetCalendarPassword(gone.address);
  return {kExitDone, Text(TextId::FollowUnfollowed, {gone.name})};
}

// /refresh fetches each; /agenda reads the copies as they are.
std::vector<CalendarFollowing> FollowedHere(SettingsStore& store, bool fetch, DateValue now,
                                            std::vector<CalendarState>& states) {
  std::vector<CalendarFollowing> followed;
  for (const FollowedCalendar& calendar : ReadFollowedCalendars(store)) {
    RefreshResult result = RefreshCalendar(calendar, fetch, never, now);
    CalendarState state;
    state.plainHttp = IsPlainHttp(calendar.address);
    if (result.fetched) state.updated = now;
    if (fetch && !result.fetched) {
      state.failingSince = now;
      state.why = FailureText(result.failure);
    }
    state.reminders = result.reminders.reminders.size();
    states.push_back(state);
    followed.push_back({calendar, std::move(result.reminders.reminders), std::move(result.reminders.texts)});
  }
  return followed;
}

TransferOutcome FollowCommandHere(const TransferRequest& request, SettingsStore& store, DateValue now) {
  std::vector<CalendarState> states;
  switch (request.kind) {
    case TransferKind::Follow: {
      const auto arguments = UnpackFollowArguments(request.path);
      if (!arguments) return {kExitNotUnderstood, Text(TextId::TransferUsage)};
      return FollowHere(*arguments, store, now);
    }
    case TransferKind::Unfollow: return UnfollowHere(request.path, store);
    case TransferKind::Refresh: {
      const auto followed = FollowedHere(store, true, now, states);
      return RefreshOutcome(ReadFollowedCalendars(store), states);
    }
    default: {
      const auto followed = FollowedHere(store, false, now, states);
      return {kExitDone, AgendaText(Alarms, followed, now, LeadingNumber(request.path))};
    }
  }
}

bool IsFileCommand(TransferKind kind) { return kind == TransferKind::Export || kind == TransferKind::Import; }

}  // namespace

TransferOutcome RunFromCommandLine(TransferRequest request) {
  if (IsFileCommand(request.kind)) request.path = AbsolutePath(request.path);
  LocalClock clock;
  const ProgramIdentity identity = ThisProgramsIdentity();
  // With no program running the file is read before the lock is taken. A
  // running program reads it itself; only when it ended meanwhile is the
  // file read here under the lock.
  std::optional<ImportFile> importFile;
  if (request.kind == TransferKind::Import && !RunningProgramWindow(identity)) {
    importFile = ReadImportFile(request.path, clock);
    if (importFile->failed) return *importFile->failed;
  }
  ExportResult exported;
  {
    SingleInstance lock(identity);
    if (auto outcome = HandOverOrTakeLock(lock, request, GetTickCount64() + kCommandLineWaitMs)) return *outcome;
    const auto store = OpenSettingsStore();
    LaadAlarmen(Alarms, *store);
    if (!IsFileCommand(request.kind)) return FollowCommandHere(request, *store, clock.Now());
    if (request.kind == TransferKind::Import) {
      if (!importFile) importFile = ReadImportFile(request.path, clock);
      return PlaceImport(*importFile, Alarms, *store, std::nullopt);
    }
    exported = MakeExport(Alarms, clock);
  }
  return WriteExport(exported, request.path);
}
