// "Remind me again" and the tray icon's clicks and keys.
#include <gtest/gtest.h>

#include <vector>

#include "remind_again.h"
#include "test_support.h"
#include "tray_clicks.h"

namespace {

constexpr unsigned long long kMinuteMs = 60000;

// Central European time in 2027: UTC+1, UTC+2 from 28 March 01:00 UTC.
DateValue AmsterdamFromUtc(DateValue utc) { return utc + (utc >= At(2027, 3, 28, 1, 0) ? 2.0 : 1.0) / 24; }

}  // namespace

TEST(RemindAgain, OffersTheLastClosedBoxForAnHourOrUntilUsed) {
  RemindAgainOffer offer;
  EXPECT_FALSE(offer.Offered(0)) << "before any box";
  offer.BoxClosed(L"Tea", 1000);
  EXPECT_EQ(offer.Offered(1000 + 59 * kMinuteMs), L"Tea");
  EXPECT_FALSE(offer.Offered(1000 + 60 * kMinuteMs)) << "an hour after";
  offer.BoxClosed(L"Tea", 5000);
  offer.BoxClosed(L"Call mum", 6000);
  EXPECT_EQ(offer.Offered(7000), L"Call mum") << "the second box closed";
  offer.Used();
  EXPECT_FALSE(offer.Offered(7000));
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

TEST(RemindAgain, DueTimeOfEachDelay) {
  const struct {
    RemindDelay delay;
    DateValue nowUtc;
    DateValue due;  // local, Amsterdam
  } cases[] = {
      {RemindDelay::Minutes5, At(2026, 12, 8, 9, 3, 40), At(2026, 12, 8, 10, 8)},      // seconds dropped
      {RemindDelay::Minutes10, At(2026, 12, 31, 22, 55), At(2027, 1, 1, 0, 5)},        // midnight, new year
      {RemindDelay::Minutes30, At(2027, 2, 28, 22, 45), At(2027, 3, 1, 0, 15)},        // end of the month
      {RemindDelay::Hour1, At(2027, 3, 28, 0, 30), At(2027, 3, 28, 3, 30)},            // 01:30 + 1 h of real time
      {RemindDelay::Tomorrow, At(2027, 3, 27, 9, 0), At(2027, 3, 28, 10, 0)},          // same wall clock
      {RemindDelay::Tomorrow, At(2026, 12, 31, 9, 15, 42), At(2027, 1, 1, 10, 15)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RemindAgainDue(c.delay, AmsterdamFromUtc(c.nowUtc), c.nowUtc, AmsterdamFromUtc), c.due)
        << RemindDelayText(c.delay) << " at " << c.nowUtc;
  }
}

TEST(RemindAgain, TakesTheLowestFreeSlotButTheEditorsAndNoneWhenFull) {
  AlarmTable table;
  table[0] = ActiveAlarm(L"taken", At(2027, 1, 1), Once);
  table.Reserve(1);  // damaged in the store
  const DateValue due = At(2027, 1, 2, 8, 5);
  ASSERT_EQ(AddReminder(table, L"Tea", due, 2), 3);
  AlarmRecord expected;
  expected.Exist = expected.Actief = expected.Delete = true;
  expected.Naam = L"Tea";
  expected.Tijd = due;
  EXPECT_EQ(table[3], expected);

  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) table[slot].Exist = slot != 1;
  EXPECT_FALSE(AddReminder(table, L"Tea", due, std::nullopt)) << "only a damaged slot is free";
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
