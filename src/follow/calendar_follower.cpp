#include "calendar_follower.h"

#include <algorithm>
#include <atomic>

#include "calendar_address.h"
#include "calendar_copy.h"
#include "calendar_password.h"
#include "calendar_refresh.h"
#include "follow_commands.h"
#include "text_table.h"

namespace {

// Set at Exit; outlives the program's objects, since a fetch under way
// still looks at it.
std::atomic<bool>& Ending() {
  static auto* ending = new std::atomic<bool>(false);
  return *ending;
}

}  // namespace

struct CalendarFollower::Job {
  FollowedCalendar calendar;
  bool fetch = true;
  DateValue now = 0.0;
  HWND window = nullptr;
  UINT message = 0;
  // For /follow: what it asked for, and whom to tell.
  bool isNew = false;
  std::wstring askedName;
  std::wstring password;  // given for it; else Credential Manager's
  Answer answer;
  RefreshResult result;
};

CalendarFollower::CalendarFollower(SettingsStore& store) : store_(store) {}

CalendarFollower::~CalendarFollower() = default;

void CalendarFollower::Load(HWND window, UINT doneMessage, DateValue now) {
  window_ = window;
  doneMessage_ = doneMessage;
  for (FollowedCalendar& calendar : ReadFollowedCalendars(store_)) {
    followed_.push_back({std::move(calendar), {}, {}});
    Status status;
    status.state.plainHttp = IsPlainHttp(followed_.back().calendar.address);
    states_.push_back(status);
  }
  // The copies first, so that the reminders ring even with the server down.
  for (const CalendarFollowing& following : followed_) {
    auto job = std::make_unique<Job>();
    job->calendar = following.calendar;
    job->fetch = false;
    waitingNew_.push_back(std::move(job));
  }
  StartNextJob(now);
}

void CalendarFollower::Tick(DateValue now) { StartNextJob(now); }

void CalendarFollower::RefreshAll() {
  for (Status& status : states_) status.schedule.next = 0;
}

void CalendarFollower::Stop() {
  stopped_ = true;
  Ending().store(true);
  for (const auto& job : waitingNew_) {
    if (job->answer) job->answer({kExitBusy, Text(TextId::TransferEndingBusy)});
  }
  waitingNew_.clear();
  if (refreshAnswer_) std::exchange(refreshAnswer_, nullptr)({kExitBusy, Text(TextId::TransferEndingBusy)});
}

DWORD WINAPI CalendarFollower::RunJob(void* parameter) {
  auto* job = static_cast<Job*>(parameter);
  job->result = RefreshCalendar(job->calendar, job->fetch, Ending(), job->now,
                                job->isNew ? std::optional(job->password) : std::nullopt);
  if (!PostMessageW(job->window, job->message, 0, reinterpret_cast<LPARAM>(job))) delete job;
  return 0;
}

void CalendarFollower::StartJob(std::unique_ptr<Job> job) {
  job->window = window_;
  job->message = doneMessage_;
  HANDLE thread = CreateThread(nullptr, 0, RunJob, job.get(), 0, nullptr);
  if (thread == nullptr) return;  // tried again at the next tick
  job.release();
  CloseHandle(thread);
  jobRunning_ = true;
}

// The copies and /follow's first fetches in turn, then the calendar most overdue.
void CalendarFollower::StartNextJob(DateValue now) {
  if (jobRunning_ || stopped_) return;
  if (!waitingNew_.empty()) {
    std::unique_ptr<Job> job = std::move(waitingNew_.front());
    waitingNew_.erase(waitingNew_.begin());
    job->now = now;
    StartJob(std::move(job));
    return;
  }
  const std::uint64_t tick = GetTickCount64();
  for (std::size_t index = 0; index < followed_.size(); ++index) {
    if (!states_[index].schedule.Due(tick)) continue;
    auto job = std::make_unique<Job>();
    job->calendar = followed_[index].calendar;
    job->now = now;
    StartJob(std::move(job));
    return;
  }
}

bool CalendarFollower::TakeDone(LPARAM done, DateValue now) {
  std::unique_ptr<Job> job(reinterpret_cast<Job*>(done));
  jobRunning_ = false;
  if (stopped_) return false;
  ++changes_;
  bool changed = false;
  if (job->isNew) {
    changed = TakeInNewCalendar(*job, now);
    SecureZeroMemory(job->password.data(), job->password.size() * sizeof(wchar_t));
  } else {
    changed = TakeInCalendar(*job, now);
  }
  StartNextJob(now);
  return changed;
}

bool CalendarFollower::TakeInCalendar(Job& job, DateValue now) {
  const auto found = std::find_if(followed_.begin(), followed_.end(), [&](const CalendarFollowing& following) {
    return following.calendar.address == job.calendar.address;
  });
  if (found == followed_.end()) return false;  // unfollowed meanwhile
  const auto index = static_cast<std::size_t>(found - followed_.begin());
  Status& status = states_[index];
  RefreshResult& result = job.result;
  const bool changed = result.reminders.readable && result.reminders.reminders != found->reminders;
  if (changed) {
    found->reminders = std::move(result.reminders.reminders);
    found->texts = std::move(result.reminders.texts);
  }
  if (job.fetch) {
    const int refresh = found->calendar.refreshMinutes;
    if (result.fetched) {
      status.schedule.Answered(GetTickCount64(), refresh);
      status.state.updated = now;
      status.state.failingSince.reset();
    } else {
      status.schedule.Failed(GetTickCount64(), refresh);
      if (!status.state.failingSince) status.state.failingSince = now;
      status.state.why = FailureText(result.failure);
    }
    if (result.movedTo && result.fetched) {
      DeleteCalendarCopy(found->calendar.address);
      if (const auto password = ReadCalendarPassword(found->calendar.address)) {
        KeepCalendarPassword(*result.movedTo, found->calendar.user, *password);
        ForgetCalendarPassword(found->calendar.address);
      }
      found->calendar.address = *result.movedTo;
      status.state.plainHttp = IsPlainHttp(*result.movedTo);
      status.schedule.next = 0;  // its copy is kept under the new address
      SaveList(followed_.size());
    }
  }
  status.state.reminders =
      static_cast<std::size_t>(std::count_if(found->reminders.begin(), found->reminders.end(),
                                             [now](const CalendarReminder& reminder) { return reminder.due >= now; }));
  if (!refreshing_.empty() && job.fetch) {
    std::erase(refreshing_, job.calendar.address);
    AnswerRefreshWhenDone();
  }
  return changed;
}

bool CalendarFollower::TakeInNewCalendar(Job& job, DateValue now) {
  const std::vector<FollowedCalendar> list = Calendars();
  const FollowPlan plan =
      PlanFollow(
      {job.calendar.address, job.askedName, job.calendar.user, job.calendar.leadMinutes, job.calendar.refreshMinutes},
      list, now);
  if (!plan.calendar) {  // another /follow took it meanwhile
    job.answer(plan.refusal);
    return false;
  }
  FirstFetch taken = TakeFirstFetch(job.calendar, job.askedName, job.password, job.result, list, now);
  if (!taken.calendar) {
    job.answer(taken.refusal);
    return false;
  }
  followed_.push_back(
      {*taken.calendar, std::move(job.result.reminders.reminders), std::move(job.result.reminders.texts)});
  Status status;
  status.state = taken.state;
  status.schedule.Answered(GetTickCount64(), taken.calendar->refreshMinutes);
  states_.push_back(status);
  const auto notSaved = SaveList(followed_.size() - 1);
  job.answer(FollowOutcome(*taken.calendar, taken.state, notSaved));
  return true;
}

void CalendarFollower::RemindedThrough(DateValue now) {
  for (std::size_t index = 0; index < followed_.size(); ++index) {
    followed_[index].calendar.remindedThrough = now;
    SaveRemindedThrough(store_, index, now);
  }
}

void CalendarFollower::Follow(const FollowArguments& arguments, DateValue now, Answer answer, std::wstring password) {
  const std::vector<FollowedCalendar> list = Calendars();
  FollowPlan plan = PlanFollow(arguments, list, now);
  if (!plan.calendar) {
    answer(plan.refusal);
    return;
  }
  auto job = std::make_unique<Job>();
  job->calendar = std::move(*plan.calendar);
  job->isNew = true;
  job->askedName = arguments.name;
  job->password = std::move(password);
  job->answer = std::move(answer);
  waitingNew_.push_back(std::move(job));
  StartNextJob(now);
}

TransferOutcome CalendarFollower::Unfollow(const std::wstring& name) {
  const std::vector<FollowedCalendar> list = Calendars();
  const auto index = FindCalendarByName(list, name);
  if (!index) return {kExitNotUnderstood, Text(TextId::FollowNoSuchName, {name})};
  const FollowedCalendar gone = followed_[*index].calendar;
  followed_.erase(followed_.begin() + static_cast<std::ptrdiff_t>(*index));
  states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(*index));
  if (const auto notSaved = SaveList(followed_.size() + 1)) return {kExitNotWritten, *notSaved};
  DeleteCalendarCopy(gone.address);
  ForgetCalendarPassword(gone.address);
  ++changes_;
  std::erase(refreshing_, gone.address);
  AnswerRefreshWhenDone();
  return {kExitDone, Text(TextId::FollowUnfollowed, {gone.name})};
}

void CalendarFollower::Refresh(Answer answer) {
  if (refreshAnswer_) {
    answer({kExitBusy, Text(TextId::TransferOtherCommandBusy)});
    return;
  }
  refreshAnswer_ = std::move(answer);
  refreshing_.clear();
  for (const CalendarFollowing& following : followed_) refreshing_.push_back(following.calendar.address);
  RefreshAll();
  AnswerRefreshWhenDone();
}

void CalendarFollower::AnswerRefreshWhenDone() {
  if (!refreshing_.empty() || !refreshAnswer_) return;
  std::vector<CalendarState> states;
  for (const Status& status : states_) states.push_back(status.state);
  std::exchange(refreshAnswer_, nullptr)(RefreshOutcome(Calendars(), states));
}

std::vector<FollowedCalendar> CalendarFollower::Calendars() const {
  std::vector<FollowedCalendar> list;
  for (const CalendarFollowing& following : followed_) list.push_back(following.calendar);
  return list;
}

std::optional<std::wstring> CalendarFollower::SaveList(std::size_t previousCount) {
  const auto failed = SaveFollowedCalendars(store_, Calendars(), previousCount);
  if (!failed) return std::nullopt;
  return Text(TextId::FollowNotSaved, {store_.Where(), *failed});
}
