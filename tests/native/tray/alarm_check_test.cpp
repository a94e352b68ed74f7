#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <utility>
#include <vector>

#include "alarm_check.h"
#include "test_support.h"

namespace {

// Runs ticks as the main window does and records what the check asks of
// the windows; a box can run a nested tick, as a real message box delivers
// timer messages.
class RecordingHost {
 public:
  explicit RecordingHost(DateValue start) : now(start) {}
  void Tick(AlarmCheck& check, bool monitoring = true) {
    if (!check.BeginTick(monitoring)) return;
    CheckChanges changes;
    while (const auto due = check.NextToShow(now, nullptr, changes)) {
      Record(std::exchange(changes, {}));
      boxes.push_back(due->text);
      if (nestedTick) nestedTick();
      if (ending) break;
      closed.push_back(due->description);
      Record(check.BoxClosed(*due, now));
    }
    Record(changes);
    check.EndTick();
  }
  void Tick(AlarmCheck&& check) { Tick(check); }

  DateValue now;
  std::vector<std::wstring> boxes;
  std::vector<std::wstring> events;
  std::vector<std::wstring> closed;  // descriptions, as the boxes closed
  std::function<void()> nestedTick;
  bool ending = false;

 private:
  void Record(const CheckChanges& changes) {
    for (const CheckChange& change : changes) {
      events.push_back((change.kind == CheckChange::Kind::RemoveListRow ? L"remove " : L"save ") +
                       std::to_wstring(change.slot));
    }
  }
};

const DateValue kNow = At(2026, 12, 7, 9, 0);

}  // namespace

TEST(AlarmCheck, ShowsADueAlarmAndRetiresAOnceAlarm) {
  AlarmTable table;
  table[4] = ActiveAlarm(L"Dentist", At(1999, 12, 31, 14, 5), Once);
  RecordingHost host(kNow);
  host.Tick(AlarmCheck(table));
  ASSERT_EQ(host.boxes, std::vector<std::wstring>{L"Dentist\r\n14:05 99/12/31"});
  EXPECT_EQ(host.events, (std::vector<std::wstring>{L"remove 4", L"save 4"}));
  EXPECT_TRUE(table[4].Getoond);
  EXPECT_TRUE(table[4].Exist);
}

TEST(AlarmCheck, FreesAOnceAlarmThatIsDeletedWhenOver) {
  AlarmTable table;
  table[2] = ActiveAlarm(L"Tea", kNow, Once, true);  // due exactly now
  RecordingHost host(kNow);
  host.Tick(AlarmCheck(table));
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_FALSE(table[2].Exist);
  EXPECT_EQ(host.events, (std::vector<std::wstring>{L"remove 2", L"save 2"}));
}

TEST(AlarmCheck, LeavesAlarmsThatAreNotDue) {
  AlarmTable table;
  table[0] = ActiveAlarm(L"later", kNow + 1.0 / 86400, Once);
  table[1] = ActiveAlarm(L"shown", kNow - 1, Once);
  table[1].Getoond = true;
  table[2] = ActiveAlarm(L"inactive", kNow - 1, Once);
  table[2].Actief = false;
  table[3] = ActiveAlarm(L"free", kNow - 1, Once);
  table[3].Exist = false;
  RecordingHost host(kNow);
  host.Tick(AlarmCheck(table));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(host.events.empty());
}

TEST(AlarmCheck, DoesNothingWhileMonitoringIsOffAndCatchesUpAfter) {
  AlarmTable table;
  table[0] = ActiveAlarm(L"Call", kNow - 0.5, Once);
  RecordingHost host(kNow);
  AlarmCheck check(table);
  host.Tick(check, false);
  EXPECT_TRUE(host.boxes.empty());
  host.Tick(check);
  EXPECT_EQ(host.boxes.size(), 1u);
}

TEST(AlarmCheck, FiresTheEarliestDueFirstAndSavesEachAfterItsBox) {
  AlarmTable table;
  table[7] = ActiveAlarm(L"seven", kNow - 1, EachDay);
  table[3] = ActiveAlarm(L"three", kNow - 0.5, EachWeek);
  table[5] = ActiveAlarm(L"five", kNow - 0.5, Once);
  RecordingHost host(kNow);
  host.Tick(AlarmCheck(table));
  ASSERT_EQ(host.boxes.size(), 3u);
  EXPECT_EQ(host.closed, (std::vector<std::wstring>{L"seven", L"three", L"five"})) << "by due time, then slot";
  EXPECT_EQ(host.events, (std::vector<std::wstring>{L"save 7", L"save 3", L"remove 5", L"save 5"}));
  EXPECT_EQ(table[3].Tijd, kNow - 0.5 + 7);
  EXPECT_EQ(table[7].Tijd, kNow + 1);
}

// One box for all the times a repeat fell due while the program was not
// running or not active; it then moves to its next due time after now.
TEST(AlarmCheck, ShowsOneBoxForAllMissedTimesAndMovesPastNow) {
  AlarmRecord weekdays = ActiveAlarm(L"a", At(2026, 11, 2, 9, 0), EachWeek);
  weekdays.Rule = L"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;DTSTART=09:00 2026/11/02";
  const struct {
    const char* what;
    AlarmRecord alarm;
    DateValue now;
    const wchar_t* lastLine;  // "" for none
    DateValue next;
  } cases[] = {
      {"daily, on time", ActiveAlarm(L"a", At(2026, 12, 7, 9, 0), EachDay), At(2026, 12, 7, 9, 0, 30), L"",
       At(2026, 12, 8, 9, 0)},
      {"daily, five days", ActiveAlarm(L"a", At(2026, 12, 2, 8, 0), EachDay), At(2026, 12, 7, 9, 0),
       L"Due 6 times since then.", At(2026, 12, 8, 8, 0)},
      {"weekly, a fortnight", ActiveAlarm(L"a", At(2026, 11, 23, 10, 0), EachWeek), At(2026, 12, 7, 9, 0),
       L"Due 2 times since then.", At(2026, 12, 7, 10, 0)},
      {"monthly from the 31st", ActiveAlarm(L"a", At(2026, 8, 31, 9, 0), EachMonth), At(2026, 12, 7, 9, 0),
       L"Due 4 times since then.", At(2027, 1, 1, 9, 0)},
      {"yearly, two years", ActiveAlarm(L"a", At(2024, 12, 7, 9, 0), EachYear), At(2026, 12, 7, 9, 0),
       L"Due 3 times since then.", At(2027, 12, 7, 9, 0)},
      {"daily from the year 1000", ActiveAlarm(L"a", At(1000, 1, 1, 9, 0), EachDay), At(2026, 12, 7, 9, 0),
       L"Due 1000 or more times since then.", At(2026, 12, 8, 9, 0)},
      {"every weekday, five weeks", weekdays, At(2026, 12, 7, 9, 30), L"Due 26 times since then.",
       At(2026, 12, 8, 9, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    AlarmTable table;
    table[0] = c.alarm;
    RecordingHost host(c.now);
    AlarmCheck check(table);
    host.Tick(check);
    host.now += 1.0 / 1440;
    host.Tick(check);
    ASSERT_EQ(host.boxes.size(), 1u);
    const std::wstring& box = host.boxes[0];
    const std::size_t last = box.rfind(L"\r\n\r\n");
    EXPECT_EQ(last == std::wstring::npos ? L"" : box.substr(last + 4), c.lastLine);
    EXPECT_EQ(table[0].Tijd, c.next);
  }
}

TEST(AlarmCheck, DayAndWeekKeepSecondsMonthAndYearDropThem) {
  AlarmRecord daily = ActiveAlarm(L"", At(2026, 1, 1, 8, 0, 30), EachDay);
  MoveOnAfterFiring(daily, daily.Tijd);
  EXPECT_EQ(daily.Tijd, At(2026, 1, 1, 8, 0, 30) + 1);
  AlarmRecord monthly = ActiveAlarm(L"", At(2026, 1, 15, 8, 0, 30), EachMonth);
  MoveOnAfterFiring(monthly, monthly.Tijd);
  EXPECT_EQ(monthly.Tijd, At(2026, 2, 15, 8, 0));
}

TEST(AlarmCheck, MonthlyAndYearlyMovesCarryOver) {
  AlarmRecord monthly = ActiveAlarm(L"", At(1999, 1, 31, 14, 5), EachMonth);
  MoveOnAfterFiring(monthly, monthly.Tijd);
  EXPECT_EQ(monthly.Tijd, At(1999, 3, 3, 14, 5));
  MoveOnAfterFiring(monthly, monthly.Tijd);
  EXPECT_EQ(monthly.Tijd, At(1999, 4, 3, 14, 5));

  AlarmRecord leap = ActiveAlarm(L"", At(2000, 1, 31, 14, 5), EachMonth);
  MoveOnAfterFiring(leap, leap.Tijd);
  EXPECT_EQ(leap.Tijd, At(2000, 3, 2, 14, 5));

  AlarmRecord december = ActiveAlarm(L"", At(2026, 12, 31, 23, 59), EachMonth);
  MoveOnAfterFiring(december, december.Tijd);
  EXPECT_EQ(december.Tijd, At(2027, 1, 31, 23, 59));

  AlarmRecord yearly = ActiveAlarm(L"", At(2000, 2, 29, 14, 5), EachYear);
  MoveOnAfterFiring(yearly, yearly.Tijd);
  EXPECT_EQ(yearly.Tijd, At(2001, 3, 1, 14, 5));
  MoveOnAfterFiring(yearly, yearly.Tijd);
  EXPECT_EQ(yearly.Tijd, At(2002, 3, 1, 14, 5));
}

TEST(AlarmCheck, ARuleMovesToItsNextDayOneBoxForAllItMissed) {
  AlarmTable table;
  // Every weekday from Monday 2 November on, missed since Monday 30
  // November; now is Monday 7 December, 09:00.
  table[1] =
      RuleAlarm(L"Stand-up", At(2026, 11, 30, 8, 0), L"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;DTSTART=08:00 2026/11/02");
  // The second and last of two days, deleted when over.
  table[2] = RuleAlarm(L"Twice", At(2026, 12, 7, 8, 0), L"FREQ=DAILY;COUNT=2;DTSTART=08:00 2026/12/06", true);
  RecordingHost host(kNow);
  AlarmCheck check(table);
  for (int tick = 0; tick < 3; ++tick) host.Tick(check);
  EXPECT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(table[1].Tijd, At(2026, 12, 8, 8, 0));
  EXPECT_FALSE(table[2].Exist);
  EXPECT_EQ(host.events, (std::vector<std::wstring>{L"save 1", L"remove 2", L"save 2"}));

  AlarmRecord friday =
      RuleAlarm(L"", At(2026, 12, 11, 8, 0), L"FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR;DTSTART=08:00 2026/11/02");
  EXPECT_EQ(MoveOnAfterFiring(friday, friday.Tijd), AfterFiring::MovedOn);
  EXPECT_EQ(friday.Tijd, At(2026, 12, 14, 8, 0));  // over the weekend
  AlarmRecord ended = RuleAlarm(L"", At(2027, 1, 4, 8, 0), L"FREQ=WEEKLY;UNTIL=20270104;DTSTART=08:00 2026/11/02");
  EXPECT_EQ(MoveOnAfterFiring(ended, ended.Tijd), AfterFiring::Retired);
  EXPECT_TRUE(ended.Getoond);
  EXPECT_TRUE(ended.Exist);  // shown, as a fired one-time alert is
}

TEST(AlarmCheck, UnknownRepeatIsShownAndSavedUnchangedEveryTick) {
  AlarmTable table;
  table[5] = ActiveAlarm(L"odd", kNow - 1, 7);
  const AlarmRecord before = table[5];
  RecordingHost host(kNow);
  AlarmCheck check(table);
  host.Tick(check);
  host.Tick(check);
  EXPECT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.events, (std::vector<std::wstring>{L"save 5", L"save 5"}));
  EXPECT_EQ(table[5], before);
}

TEST(AlarmCheck, RepeatThatWouldPassTheLastDateEndsLikeAOnceAlarm) {
  AlarmTable table;
  table[1] = ActiveAlarm(L"end of time", At(9999, 12, 31, 12, 0), EachDay);
  table[2] = ActiveAlarm(L"last year", At(9999, 6, 1, 12, 0), EachYear);
  table[3] = ActiveAlarm(L"last month", At(9999, 12, 1, 12, 0), EachMonth, true);
  RecordingHost host(At(9999, 12, 31, 13, 0));
  AlarmCheck check(table);
  host.Tick(check);
  host.Tick(check);
  EXPECT_EQ(host.boxes.size(), 3u);  // once each, not every minute
  for (int slot : {1, 2, 3}) {
    EXPECT_TRUE(table[slot].Exist) << slot;
    EXPECT_TRUE(table[slot].Getoond) << slot;
    EXPECT_TRUE(IsValidDate(table[slot].Tijd)) << slot;
  }
  EXPECT_EQ(host.events,  // by due time
            (std::vector<std::wstring>{L"remove 2", L"save 2", L"remove 3", L"save 3", L"remove 1", L"save 1"}));
}

TEST(AlarmCheck, ATickDuringAnOpenBoxDoesNothing) {
  AlarmTable table;
  table[0] = ActiveAlarm(L"daily", kNow, EachDay);
  RecordingHost host(kNow);
  AlarmCheck check(table);
  host.nestedTick = [&] { host.Tick(check); };
  host.Tick(check);
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(table[0].Tijd, kNow + 1);
  host.nestedTick = nullptr;
  host.now = kNow + 1;
  host.Tick(check);  // the guard is released after the tick
  EXPECT_EQ(host.boxes.size(), 2u);
}

TEST(AlarmCheck, ABoxEndedByTheProgramsExitLeavesTheAlarmDue) {
  AlarmTable table;
  table[1] = ActiveAlarm(L"first", kNow - 1, EachDay);
  table[2] = ActiveAlarm(L"second", kNow - 1, Once);
  const AlarmTable before = table;
  RecordingHost host(kNow);
  host.ending = true;
  host.Tick(AlarmCheck(table));
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_TRUE(host.events.empty());
  EXPECT_TRUE(host.closed.empty()) << "a box the user did not close is offered again";
  EXPECT_EQ(table[1], before[1]);
  EXPECT_EQ(table[2], before[2]);
}

// Another program sharing the store moved the alarm on (or changed it)
// while its box was up here: it moves on once, not twice. An occurrence
// shown here that comes back (an older copy synced in) moves on silently.
TEST(AlarmCheck, ARepeatMovesOnOnceWhenAnotherProgramSharesTheStore) {
  const DateValue due = kNow - 1.0 / 1440;
  const struct {
    const wchar_t* elsewhere;  // what the other program did while the box was up
    std::function<void(AlarmRecord&)> change;
    DateValue tijdAfter;
    std::vector<std::wstring> events;
  } cases[] = {
      {L"nothing", [](AlarmRecord&) {}, due + 1, {L"save 3"}},
      {L"moved it on", [&](AlarmRecord& a) { a.Tijd = due + 1; }, due + 1, {}},
      {L"renamed it", [&](AlarmRecord& a) { a.Naam = L"Standup (room 2)"; }, due, {}},
  };
  for (const auto& c : cases) {
    AlarmTable table;
    table[3] = ActiveAlarm(L"Standup", due, EachDay);
    RecordingHost host(kNow);
    host.nestedTick = [&] { c.change(table[3]); };
    AlarmCheck check(table);
    host.Tick(check);
    EXPECT_EQ(table[3].Tijd, c.tijdAfter) << c.elsewhere;
    EXPECT_EQ(host.events, c.events) << c.elsewhere;

    host.nestedTick = nullptr;
    table[3].Tijd = due;  // the older copy comes back
    host.Tick(check);
    EXPECT_EQ(host.boxes.size(), std::wcscmp(c.elsewhere, L"renamed it") == 0 ? 2u : 1u) << c.elsewhere;
    EXPECT_EQ(table[3].Tijd, due + 1) << c.elsewhere;
  }
}
