#include <gtest/gtest.h>

#include "list_rows.h"
#include "test_support.h"

TEST(ListRows, WritesTheSixTextsOfAnAlarm) {
  EXPECT_EQ(RowForSlot(ActiveAlarm(L"Call home", At(1999, 12, 31, 14, 5)), 12),
            (ListRow{L"[X]", L"Call home", L"Fri", L"14:05 99/12/31", L"12", L"x36525.5868055556"}));
  EXPECT_EQ(RowForSlot(InactiveAlarm(L"", At(1999, 12, 31)), 100),
            (ListRow{L"[  ]", L"", L"Fri", L"00:00 99/12/31", L"100", L"y36525"}));
}

TEST(ListRows, ListsEnabledBeforeDisabledAndEarlierFirst) {
  AlarmTable table;
  table[0] = InactiveAlarm(L"disabled today", At(2026, 12, 7, 9, 0));
  table[1] = ActiveAlarm(L"next year", At(2027, 12, 7, 9, 0));
  table[2] = ActiveAlarm(L"new year", At(2000, 1, 1, 8, 0));
  table[3] = ActiveAlarm(L"new year's eve", At(1999, 12, 31, 23, 0));
  table[4] = ActiveAlarm(L"free", At(1999, 1, 1));
  table[4].Exist = false;
  table[5] = ActiveAlarm(L"midnight", At(2000, 1, 1));
  const auto rows = RefreshAlarmRows(table);
  std::vector<std::wstring> names;
  for (const ListRow& row : rows) names.push_back(row[1]);
  EXPECT_EQ(names,
            (std::vector<std::wstring>{L"new year's eve", L"midnight", L"new year", L"next year", L"disabled today"}));
  EXPECT_EQ(rows[0][kSortKeyColumn], L"x36525.9583333333");
  EXPECT_EQ(rows[2][kSortKeyColumn], L"x36526.3333333333");
  EXPECT_EQ(SlotOfRow(rows[0]), 3);
  EXPECT_EQ(SlotOfRow(rows[4]), 0);
}

TEST(ListRows, AFollowedCalendarsRemindersGoAmongTheActiveAlertsAndTakeNoSlot) {
  AlarmTable table;
  table[0] = InactiveAlarm(L"disabled", At(2026, 12, 7, 9, 0));
  table[1] = ActiveAlarm(L"late", At(2026, 12, 9, 18, 0));
  const std::vector<FollowedRow> followed = {{At(2026, 12, 9, 8, 45), L"Team", L"Stand-up"},
                                             {At(2026, 12, 10, 8, 45), L"Team", L"Stand-up"}};
  const auto rows = RefreshAlarmRows(table, followed);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (ListRow{L"[X]", L"[Team] Stand-up", L"Wed", L"08:45 26/12/09", L"c0", L"x46365.3645833333"}));
  EXPECT_EQ(rows[1][1], L"late");
  EXPECT_EQ(rows[2][kNumberColumn], L"c1");
  EXPECT_EQ(rows[3][1], L"disabled");
  EXPECT_EQ(SlotOfRow(rows[0]), -1);  // never slot 0
  EXPECT_EQ(FollowedPlaceOfNumberText(rows[2][kNumberColumn]), 1u);
  EXPECT_EQ(FollowedPlaceOfNumberText(rows[1][kNumberColumn]), std::nullopt);
}

TEST(ListRows, EmptyTableGivesNoRows) {
  AlarmTable table;
  EXPECT_TRUE(RefreshAlarmRows(table).empty());
}
