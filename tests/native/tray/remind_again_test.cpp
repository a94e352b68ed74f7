// "Remind me again" and the tray icon's clicks and keys.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "alarm_check.h"
#include "remind_again.h"
#include "test_support.h"
#include "tray_clicks.h"

namespace {

constexpr unsigned long long kMinuteMs = 60000;

// Central European time in 2027: UTC+1, UTC+2 from 28 March 01:00 UTC,
// back to UTC+1 on 31 October 01:00 UTC (03:00 is 02:00 again).
DateValue AmsterdamFromUtc(DateValue utc) {
  const bool summer = utc >= At(2027, 3, 28, 1, 0) && utc < At(2027, 10, 31, 1, 0);
  return utc + (summer ? 2.0 : 1.0) / 24;
}

}  // namespace

std::vector<std::wstring> Descriptions(const std::vector<RemindOffer>& offers) {
  std::vector<std::wstring> descriptions;
  for (const RemindOffer& offer : offers) descriptions.push_back(offer.description);
  return descriptions;
}

TEST(RemindAgain, OffersEachBoxClosedInTheLastHourNewestFirstUntilUsed) {
  using D = std::vector<std::wstring>;
  RemindAgainOffers offers;
  EXPECT_TRUE(offers.Offered(0).empty()) << "before any box";
  offers.BoxClosed(L"Tea", 1000);
  offers.BoxClosed(L"Call mum", 6000);
  const auto shown = offers.Offered(7000);
  EXPECT_EQ(Descriptions(shown), (D{L"Call mum", L"Tea"}));
  EXPECT_EQ(Descriptions(offers.Offered(1000 + 59 * kMinuteMs)), (D{L"Call mum", L"Tea"}));
  EXPECT_EQ(Descriptions(offers.Offered(1000 + 60 * kMinuteMs)), (D{L"Call mum"})) << "an hour after";
  EXPECT_FALSE(offers.Find(shown[1].serial, 1000 + 60 * kMinuteMs)) << "gone after its hour";

  offers.BoxClosed(L"Stretch", 8000);  // while the menu shows the other two
  EXPECT_EQ(offers.Find(shown[0].serial, 9000)->description, L"Call mum");
  offers.Used(shown[0].serial);
  EXPECT_EQ(Descriptions(offers.Offered(9000)), (D{L"Stretch", L"Tea"}));
  offers.BoxClosed(L"Tea", 10000);  // the same alert again: once, in front
  EXPECT_EQ(Descriptions(offers.Offered(10000)), (D{L"Tea", L"Stretch"}));
  for (const wchar_t* more : {L"a", L"b", L"c", L"d"}) offers.BoxClosed(more, 11000);
  EXPECT_EQ(Descriptions(offers.Offered(11000)), (D{L"d", L"c", L"b", L"a", L"Tea"})) << "five at most";
}

TEST(RemindAgain, EachItemAndDelayHasACommandOfItsOwn) {
  for (unsigned offset = 0; offset < kRemindCommandCount; ++offset) {
    const RemindChoice choice = RemindChoiceOf(offset);
    EXPECT_EQ(RemindCommandOffset(choice.offerPlace, choice.delay), offset);
  }
  EXPECT_EQ(RemindChoiceOf(kRemindCommandCount - 1).offerPlace, kMaxRemindOffers - 1);
}

TEST(RemindAgain, MenuTextIsOneShortLineWithItsAmpersandsShown) {
  const struct {
    std::wstring description;
    std::wstring text;
  } cases[] = {
      {L"Tea", L"Remind me again: Tea"},
      {L"Salt & pepper", L"Remind me again: Salt && pepper"},
      {L"Two\r\nlines\tand a tab", L"Remind me again: Two lines and a tab"},
      {std::wstring(41, L'x'), L"Remind me again: " + std::wstring(40, L'x') + L"..."},
      {std::wstring(39, L'x') + L"\xD83D\xDE00", L"Remind me again: " + std::wstring(39, L'x') + L"..."},
  };
  for (const auto& c : cases) EXPECT_EQ(RemindAgainMenuText(c.description), c.text);
}

const std::optional<DateValue> kNoHold;

TEST(RemindAgain, DueTimeOfEachDelay) {
  const struct {
    RemindDelay delay;
    DateValue nowUtc;
    DateValue due;  // local, Amsterdam
    std::optional<DateValue> notBeforeUtc;
  } cases[] = {
      {RemindDelay::Minutes5, At(2026, 12, 8, 9, 3, 40), At(2026, 12, 8, 10, 9), At(2026, 12, 8, 9, 9)},  // rounded up
      {RemindDelay::Minutes5, At(2026, 12, 8, 9, 3), At(2026, 12, 8, 10, 8), At(2026, 12, 8, 9, 8)},  // on the minute
      {RemindDelay::Minutes10, At(2026, 12, 31, 22, 55), At(2027, 1, 1, 0, 5), At(2026, 12, 31, 23, 5)},  // new year
      {RemindDelay::Minutes30, At(2027, 2, 28, 22, 45), At(2027, 3, 1, 0, 15), At(2027, 2, 28, 23, 15)},  // month's end
      {RemindDelay::Hour1, At(2027, 3, 28, 0, 30), At(2027, 3, 28, 3, 30), At(2027, 3, 28, 1, 30)},  // 01:30 + 1 h real
      // Clocks go back: 02:45 summer time + 30 min is 02:15 winter time.
      {RemindDelay::Minutes30, At(2027, 10, 31, 0, 45), At(2027, 10, 31, 2, 15), At(2027, 10, 31, 1, 15)},
      {RemindDelay::Hour1, At(2027, 10, 31, 0, 10, 30), At(2027, 10, 31, 2, 11), At(2027, 10, 31, 1, 11)},
      {RemindDelay::Tomorrow, At(2027, 3, 27, 9, 0), At(2027, 3, 28, 10, 0), kNoHold},        // same wall clock
      {RemindDelay::Tomorrow, At(2026, 12, 31, 9, 15, 42), At(2027, 1, 1, 10, 15), kNoHold},  // the minute on the clock
  };
  for (const auto& c : cases) {
    const RemindDue due = RemindAgainDue(c.delay, AmsterdamFromUtc(c.nowUtc), c.nowUtc, AmsterdamFromUtc);
    EXPECT_EQ(due.local, c.due) << RemindDelayText(c.delay) << " at " << c.nowUtc;
    EXPECT_EQ(due.notBeforeUtc, c.notBeforeUtc) << RemindDelayText(c.delay) << " at " << c.nowUtc;
  }
}

namespace {

// The real check, once a minute of UTC in Amsterdam, with the holds: the
// time of the first box it shows.
std::optional<DateValue> FirstBoxAtUtc(AlarmTable& table, SnoozeHolds& holds, double firstMinute) {
  AlarmCheck check(table);
  for (int minute = 0; minute < 120; ++minute) {
    const DateValue utc = (firstMinute + minute) / 1440;
    // On the minute, in the form the clock gives.
    const DateValue local = std::floor(AmsterdamFromUtc(utc) * 1440 + 1e-6) / 1440;
    if (!check.BeginTick(true)) continue;
    CheckChanges changes;
    const auto due = check.NextToShow(
        local, [&](int slot) { return holds.HeldBack(slot, table[slot], utc); }, changes);
    check.EndTick();
    if (due) return utc;
  }
  return std::nullopt;
}

}  // namespace

TEST(RemindAgain, ASnoozeFiresAtItsRealTimeAlsoWhenTheClockGoesBack) {
  const struct {
    RemindDelay delay;
    DateValue nowUtc;
    DateValue firesUtc;
  } cases[] = {
      {RemindDelay::Minutes30, At(2027, 10, 31, 0, 45), At(2027, 10, 31, 1, 15)},  // 02:45 -> 02:15, an hour later
      {RemindDelay::Hour1, At(2027, 10, 31, 0, 10, 30), At(2027, 10, 31, 1, 11)},  // 02:10 -> 02:11 the second time
      {RemindDelay::Hour1, At(2027, 10, 30, 23, 50), At(2027, 10, 31, 0, 50)},     // 01:50 -> 02:50 the first time
      {RemindDelay::Minutes5, At(2026, 12, 8, 9, 3, 40), At(2026, 12, 8, 9, 9)},   // no change: on its minute
      {RemindDelay::Hour1, At(2027, 3, 28, 0, 30), At(2027, 3, 28, 1, 30)},        // clocks go forward
  };
  for (const auto& c : cases) {
    AlarmTable table;
    SnoozeHolds holds;
    const RemindDue due = RemindAgainDue(c.delay, AmsterdamFromUtc(c.nowUtc), c.nowUtc, AmsterdamFromUtc);
    const auto slot = AddReminder(table, {0, L"Tea"}, due.local, std::nullopt);
    ASSERT_TRUE(slot && due.notBeforeUtc);
    holds.Hold(*slot, table[*slot], *due.notBeforeUtc);
    // Each minute of the next two hours, as the check's timer runs.
    const auto firedAtUtc = FirstBoxAtUtc(table, holds, std::ceil(c.nowUtc * 1440 - 1e-6));
    ASSERT_TRUE(firedAtUtc) << c.nowUtc;
    EXPECT_NEAR(*firedAtUtc, c.firesUtc, 0.1 / 86400) << RemindDelayText(c.delay) << " at " << c.nowUtc;
  }
}

TEST(RemindAgain, AHoldLetsGoOfAnAlertChangedSince) {
  AlarmTable table;
  SnoozeHolds holds;
  table[3] = ActiveAlarm(L"Tea", At(2027, 10, 31, 2, 15), Once, true);
  holds.Hold(3, table[3], At(2027, 10, 31, 1, 15));
  EXPECT_TRUE(holds.HeldBack(3, table[3], At(2027, 10, 31, 1, 14, 59)));
  EXPECT_FALSE(holds.HeldBack(4, table[3], At(2027, 10, 31, 0, 50))) << "another slot";
  table[3].Tijd = At(2027, 10, 31, 2, 20);  // edited in the list
  EXPECT_FALSE(holds.HeldBack(3, table[3], At(2027, 10, 31, 0, 50)));
}

TEST(RemindAgain, TakesTheSoundAndTheLowestFreeSlotButTheEditorsAndNoneWhenFull) {
  AlarmTable table;
  table[0] = ActiveAlarm(L"taken", At(2027, 1, 1), Once);
  table.Reserve(1);  // damaged in the store
  const DateValue due = At(2027, 1, 2, 8, 5);
  RemindAgainOffers offers;
  offers.BoxClosed(L"Tea", 1000, L"C:\\Media\\kettle.wav", true);
  ASSERT_EQ(AddReminder(table, *offers.Find(offers.Offered(1000)[0].serial, 1000), due, 2), 3);
  AlarmRecord expected;
  expected.Exist = expected.Actief = expected.Delete = true;
  expected.Naam = L"Tea";
  expected.Tijd = due;
  expected.Sound = L"C:\\Media\\kettle.wav";
  expected.SoundUntilAnswered = true;
  EXPECT_EQ(table[3], expected);

  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) table[slot].Exist = slot != 1;
  EXPECT_FALSE(AddReminder(table, {0, L"Tea"}, due, std::nullopt)) << "only a damaged slot is free";
}

TEST(TrayClicks, EachEventOrSequenceAsksForOneThing) {
  using A = TrayAction;
  constexpr unsigned kLeftDown = 0x201, kLeftUp = 0x202, kRightDown = 0x204, kMove = 0x200;
  const struct {
    const char* what;
    std::vector<unsigned> events;
    std::vector<A> actions;
  } cases[] = {
      {"double-click", {kLeftDown, kLeftUp, kTraySelect, kTrayDoubleClick}, {A::None, A::None, A::None, A::OpenList}},
      {"Enter or Space", {kTrayKeySelect}, {A::OpenList}},
      {"right-click, version 4", {kRightDown, kTrayRightButtonUp, kTrayContextMenu}, {A::None, A::MenuAtPointer, A::None}},
      {"right-click, plain codes", {kRightDown, kTrayRightButtonUp}, {A::None, A::MenuAtPointer}},
      {"Shift+F10 or the Menu key", {kTrayContextMenu}, {A::MenuAtIcon}},
      {"Shift+F10 after a right-click", {kTrayRightButtonUp, kTrayContextMenu, kMove, kTrayContextMenu},
       {A::MenuAtPointer, A::None, A::None, A::MenuAtIcon}},
      {"a right press without release", {kRightDown, kMove}, {A::None, A::None}},
  };
  for (const auto& c : cases) {
    TrayClicks clicks;
    std::vector<A> actions;
    for (const unsigned event : c.events) actions.push_back(clicks.OnEvent(event));
    EXPECT_EQ(actions, c.actions) << c.what;
  }
}
