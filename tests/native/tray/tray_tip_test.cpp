#include <gtest/gtest.h>

#include "date_parse.h"
#include "test_support.h"
#include "tray_tip.h"

TEST(TrayTip, CountsDownToMidnightWithoutAlarms) {
  AlarmTable table;
  EXPECT_EQ(Timer1TipText(table, true, At(2026, 12, 7, 14, 30, 15)), L"Chimewatch (active)  09:29:45");
  EXPECT_EQ(Timer1TipText(table, true, At(2026, 12, 7)), L"Chimewatch (active)  00:00:00");
  EXPECT_EQ(NoAlarmSentinel(), ParseDateText(L"2100/1/1", 2026));
}

TEST(TrayTip, CountsDownToTheNearestActiveFutureAlarm) {
  const DateValue now = At(2026, 12, 7, 10, 0);
  AlarmTable table;
  table[9] = ActiveAlarm(L"", now + (2 * 3600 + 3 * 60 + 4) / 86400.0);
  table[2] = ActiveAlarm(L"", now + 3.0 / 24);
  table[3] = ActiveAlarm(L"", now - 1.0 / 24);  // due but not fired: not counted
  table[3].Getoond = true;
  table[4] = ActiveAlarm(L"", now + 1.0 / 24);  // nearest, but inactive
  table[4].Actief = false;
  table[5] = ActiveAlarm(L"", now + 1.0 / 24);  // nearest, but free
  table[5].Exist = false;
  table[6] = ActiveAlarm(L"", now);  // exactly now: not in the future
  EXPECT_EQ(Timer1TipText(table, true, now), L"Chimewatch (active)  02:03:04");
  EXPECT_EQ(Timer1TipText(table, false, now), L"Chimewatch (not active)  02:03:04");
  // While alerts wait for a presentation to end.
  EXPECT_EQ(Timer1TipText(table, true, now, 1), L"Chimewatch (active)  02:03:04\n1 alert waiting");
  EXPECT_EQ(Timer1TipText(table, true, now, 2), L"Chimewatch (active)  02:03:04\n2 alerts waiting");
}

TEST(TrayTip, DropsWholeDays) {
  const DateValue now = At(2026, 12, 7, 10, 0);
  AlarmTable table;
  table[0] = ActiveAlarm(L"", now + 1 + 2.0 / 24);
  EXPECT_EQ(Timer1TipText(table, true, now), L"Chimewatch (active)  02:00:00");
}

TEST(TipField, HoldsTheTextANulAndBlanks) {
  const auto shortField = TipField(L"Chimewatch (active)");
  EXPECT_EQ(std::wstring(shortField.data(), 19), L"Chimewatch (active)");
  EXPECT_EQ(shortField[19], L'\0');
  EXPECT_EQ(shortField[20], L' ');
  EXPECT_EQ(shortField[63], L' ');

  const auto field63 = TipField(std::wstring(63, L'a'));
  EXPECT_EQ(field63[62], L'a');
  EXPECT_EQ(field63[63], L'\0');

  const auto field70 = TipField(std::wstring(64, L'b') + L"cdefgh");
  EXPECT_EQ(std::wstring(field70.data(), 64), std::wstring(64, L'b'));
}
