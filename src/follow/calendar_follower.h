// The followed calendars of a running Chimewatch, on the window thread:
// their list from the store, each one's reminders and state, and their
// fetches, one at a time on a thread of its own, which posts `doneMessage`
// to the window when it ends. The window never waits for a fetch: at Exit
// the fetch under way is left to end with the program.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "calendar_state.h"
#include "command_line.h"
#include "fetch_schedule.h"
#include "followed_reminders.h"
#include "settings_store.h"

class CalendarFollower {
 public:
  using Answer = std::function<void(const TransferOutcome&)>;

  explicit CalendarFollower(SettingsStore& store);
  ~CalendarFollower();
  CalendarFollower(const CalendarFollower&) = delete;
  CalendarFollower& operator=(const CalendarFollower&) = delete;

  // Reads the list; each calendar's copy is read at once, then fetched.
  void Load(HWND window, UINT doneMessage, DateValue now);
  // Each second: starts the next fetch that is due, when none runs.
  void Tick(DateValue now);
  // After a wake, and for "Refresh now": every calendar fetched soon.
  void RefreshAll();
  // The fetch posted with `doneMessage` (its lParam) taken in; true when
  // the reminders changed (a calendar added, or its reminders other than
  // before), so that the tip and the list follow only then.
  bool TakeDone(LPARAM done, DateValue now);
  // The fetch under way, if any, is left: nothing waits for it.
  void Stop();

  const std::vector<CalendarFollowing>& Followed() const { return followed_; }
  const CalendarState& StateOf(std::size_t index) const { return states_[index].state; }
  // Grows with each change of the list or a state, for the window that shows them.
  unsigned Changes() const { return changes_; }
  // The reminders up to `now` have been shown: none rings again.
  void RemindedThrough(DateValue now);

  // The commands: each answers through `answer`, at once or when its
  // fetches are done; false when the program is ending.
  // `password`: Add...'s, or the one asked for; kept in Credential Manager
  // once the calendar is followed.
  void Follow(const FollowArguments& arguments, DateValue now, Answer answer, std::wstring password = {});
  TransferOutcome Unfollow(const std::wstring& name);
  void Refresh(Answer answer);

 private:
  struct Job;
  struct Status {
    CalendarState state;
    FetchSchedule schedule;
  };
  static DWORD WINAPI RunJob(void* job);
  void StartJob(std::unique_ptr<Job> job);
  void StartNextJob(DateValue now);
  bool TakeInCalendar(Job& job, DateValue now);
  bool TakeInNewCalendar(Job& job, DateValue now);
  void AnswerRefreshWhenDone();
  std::vector<FollowedCalendar> Calendars() const;
  std::optional<std::wstring> SaveList(std::size_t previousCount);

  SettingsStore& store_;
  HWND window_ = nullptr;
  UINT doneMessage_ = 0;
  std::vector<CalendarFollowing> followed_;
  std::vector<Status> states_;  // beside followed_
  bool jobRunning_ = false;
  std::vector<std::unique_ptr<Job>> waitingNew_;  // /follow's first fetches, in turn
  std::vector<std::wstring> refreshing_;          // /refresh: the addresses still to fetch
  Answer refreshAnswer_;
  bool stopped_ = false;
  unsigned changes_ = 0;
};
