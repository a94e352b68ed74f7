#include <gtest/gtest.h>

#include "date_format.h"
#include "date_parse.h"
#include "test_support.h"

TEST(MakeDate, CountsDaysFromTheEndOf1899) {
  EXPECT_EQ(MakeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(MakeDate(1899, 12, 31), 1.0);
  EXPECT_EQ(MakeDate(1999, 12, 31), 36525.0);
  EXPECT_EQ(MakeDate(2000, 2, 29), 36585.0);
  EXPECT_EQ(MakeDate(1899, 12, 29), -1.0);
  EXPECT_EQ(MakeDate(100, 1, 1), kMinDate);
  EXPECT_EQ(MakeDate(9999, 12, 31), 2958465.0);
}

TEST(MakeDate, CarriesOverMonthsAndDays) {
  EXPECT_EQ(MakeDate(1999, 13, 31), MakeDate(2000, 1, 31));
  EXPECT_EQ(MakeDate(1999, 2, 31), MakeDate(1999, 3, 3));
  EXPECT_EQ(MakeDate(2001, 2, 29), MakeDate(2001, 3, 1));
  EXPECT_EQ(MakeDate(2000, 13, 1), MakeDate(2001, 1, 1));
  EXPECT_EQ(MakeDate(2000, 3, 0), MakeDate(2000, 2, 29));
  EXPECT_EQ(MakeDate(2000, 0, 15), MakeDate(1999, 12, 15));
  EXPECT_EQ(MakeDate(2000, 4, 31), MakeDate(2000, 5, 1));
}

TEST(DateParts, SplitsAndRoundsToTheSecond) {
  const DateValue value = 36525.5868055556;  // 14:05 on Friday 31 December 1999
  EXPECT_EQ(Year(value), 1999);
  EXPECT_EQ(Month(value), 12);
  EXPECT_EQ(Day(value), 31);
  const DateParts parts = SplitDate(value);
  EXPECT_EQ(parts.hour, 14);
  EXPECT_EQ(parts.minute, 5);
  EXPECT_EQ(parts.second, 0);
  EXPECT_EQ(parts.weekday, 5);
  // Half a second before midnight rounds into the next day.
  const DateParts late = SplitDate(36525.0 + 86399.6 / 86400.0);
  EXPECT_EQ(late.day, 1);
  EXPECT_EQ(late.month, 1);
  EXPECT_EQ(late.year, 2000);
  EXPECT_EQ(late.hour, 0);
  // Before 1899-12-30 the fraction still counts forward from midnight.
  const DateParts early = SplitDate(-1.25);
  EXPECT_EQ(early.day, 29);
  EXPECT_EQ(early.hour, 6);
}

TEST(FormatDate, WritesEveryPatternOfTheProgram) {
  const DateValue value = At(1999, 12, 31, 14, 5);
  EXPECT_EQ(FormatDate(value, kStoredTimePattern), L"14:05 1999/12/31");
  EXPECT_EQ(FormatDate(value, kShortTimeDatePattern), L"14:05 99/12/31");
  EXPECT_EQ(FormatDate(value, kEditorDatePattern), L"99/12/31");
  EXPECT_EQ(FormatDate(value, kEditorTimePattern), L"14:05");
  EXPECT_EQ(FormatDate(value, kWeekdayPattern), L"Fri");
  EXPECT_EQ(FormatDate(value, kGeneralNumberPattern), L"36525.5868055556");
  EXPECT_EQ(FormatDate(At(2000, 2, 29, 8, 5), kStoredTimePattern), L"08:05 2000/02/29");
  EXPECT_EQ(FormatDate(0.0, kStoredTimePattern), L"00:00 1899/12/30");
  EXPECT_EQ(FormatDate(At(2000, 1, 2), kWeekdayPattern), L"Sun");
}

TEST(FormatDate, GeneralNumberHasNoPointForWholeDays) {
  EXPECT_EQ(FormatDate(36525.0, kGeneralNumberPattern), L"36525");
  EXPECT_EQ(FormatDate(0.0, kGeneralNumberPattern), L"0");
  EXPECT_EQ(FormatDate(36525.5, kGeneralNumberPattern), L"36525.5");
  EXPECT_EQ(FormatDate(At(1999, 12, 31, 23), kGeneralNumberPattern), L"36525.9583333333");
}

TEST(FormatDate, StoredTextIsAlwaysSixteenCharacters) {
  EXPECT_EQ(FormatDate(MakeDate(100, 1, 1), kStoredTimePattern), L"00:00 0100/01/01");
  EXPECT_EQ(FormatDate(At(9999, 12, 31, 23, 59), kStoredTimePattern), L"23:59 9999/12/31");
}

TEST(FormatDate, CountdownShowsOnlyTheTimeOfDayOfADifference) {
  EXPECT_EQ(FormatDate(0.0, kCountdownPattern), L"00:00:00");
  EXPECT_EQ(FormatDate((2 * 3600 + 3 * 60 + 4) / 86400.0, kCountdownPattern), L"02:03:04");
  EXPECT_EQ(FormatDate(1.0 + 2.0 / 24, kCountdownPattern), L"02:00:00");
  // A difference of two dates carries rounding noise; it still shows whole seconds.
  EXPECT_EQ(FormatDate(At(2026, 12, 7, 14, 0, 1) - At(2026, 12, 7, 14, 0, 0), kCountdownPattern), L"00:00:01");
}

TEST(ParseDateText, ReadsTheEditorsOwnTextsBack) {
  constexpr int kThisYear = 2026;
  EXPECT_EQ(ParseDateText(L"26/12/06", kThisYear), MakeDate(2026, 12, 6));
  EXPECT_EQ(ParseDateText(L"99/12/31", kThisYear), MakeDate(1999, 12, 31));
  EXPECT_EQ(ParseDateText(L"14:05", kThisYear), MakeTime(14, 5));
  EXPECT_EQ(ParseDateText(L"00:00", kThisYear), 0.0);
  // Every date the editor can write within fifty years of now reads back.
  for (DateValue day = MakeDate(1977, 1, 1); day <= MakeDate(2076, 12, 31); day += 1) {
    ASSERT_EQ(ParseDateText(FormatDate(day, kEditorDatePattern), kThisYear), day)
        << FormatDate(day, kStoredTimePattern);
  }
}

TEST(ParseDateText, TakesTheCenturyNearestToTheCurrentYear) {
  EXPECT_EQ(ParseDateText(L"75/01/01", 2026), MakeDate(2075, 1, 1));
  EXPECT_EQ(ParseDateText(L"77/01/01", 2026), MakeDate(1977, 1, 1));
  EXPECT_EQ(ParseDateText(L"76/01/01", 2026), MakeDate(2076, 1, 1));  // a tie goes forward
  EXPECT_EQ(ParseDateText(L"01/01/01", 2099), MakeDate(2101, 1, 1));
  EXPECT_EQ(ParseDateText(L"98/01/01", 2001), MakeDate(1998, 1, 1));
}

TEST(ParseDateText, AcceptsFullAndIsoDatesAndCombinations) {
  EXPECT_EQ(ParseDateText(L"2100/1/1", 2026), MakeDate(2100, 1, 1));
  EXPECT_EQ(ParseDateText(L"2026-12-06", 2026), MakeDate(2026, 12, 6));
  EXPECT_EQ(ParseDateText(L"2026.12.06", 2026), MakeDate(2026, 12, 6));
  EXPECT_EQ(ParseDateText(L"  2000/02/29  ", 2026), MakeDate(2000, 2, 29));
  EXPECT_EQ(ParseDateText(L"9:05:30", 2026), (9 * 3600 + 5 * 60 + 30) / 86400.0);
  EXPECT_EQ(ParseDateText(L"14:05 1999/12/31", 2026), At(1999, 12, 31, 14, 5));
  EXPECT_EQ(ParseDateText(L"1999/12/31 14:05", 2026), At(1999, 12, 31, 14, 5));
  EXPECT_EQ(ParseDateText(L"2026-12-06T08:00", 2026), At(2026, 12, 6, 8, 0));
}

TEST(ParseDateText, RefusesEverythingElse) {
  for (const wchar_t* text : {L"",
                              L"   ",
                              L"tomorrow",
                              L"6/12/2026",
                              L"06-12-2026",
                              L"2026/13/01",
                              L"2026/02/30",
                              L"2025/02/29",
                              L"2026/12",
                              L"2026/12/06/01",
                              L"2026/12-06",
                              L"24:00",
                              L"12:60",
                              L"12:30:60",
                              L"12",
                              L"12:",
                              L":30",
                              L"14:05 14:05",
                              L"2026/12/06 2026/12/07",
                              L"26/12/06x",
                              L"14:05pm",
                              L"0099/01/01",
                              L"10000/01/01",
                              L"123/01/01",
                              L"2026/012/01",
                              L"\u0662\u0660\u0662\u0666/12/06"}) {
    EXPECT_EQ(ParseDateText(text, 2026), std::nullopt) << "accepted: " << testing::PrintToString(std::wstring(text));
  }
}

TEST(ReadStoredTime, ReadsByCharacterPosition) {
  EXPECT_EQ(ReadStoredTime(L"08:05 2000/02/29"), At(2000, 2, 29, 8, 5));
  EXPECT_EQ(ReadStoredTime(L"08.05 2000-02-29"), At(2000, 2, 29, 8, 5));
  EXPECT_EQ(ReadStoredTime(L"08:05 2000/13/01"), At(2001, 1, 1, 8, 5));
  EXPECT_EQ(ReadStoredTime(L"08:05 2000/02/29 and more"), At(2000, 2, 29, 8, 5));
  EXPECT_EQ(ReadStoredTime(L" 8: 5 2000/ 2/ 9"), At(2000, 2, 9, 8, 5));
  EXPECT_EQ(ReadStoredTime(L"08:05 2000/02/2"), At(2000, 2, 2, 8, 5));   // a short last piece
  EXPECT_EQ(ReadStoredTime(L"25:05 2000/02/29"), At(2000, 3, 1, 1, 5));  // hours carry over too
  // Before 1899-12-30 the time of day still counts forward from midnight.
  EXPECT_EQ(ReadStoredTime(L"14:05 1399/12/31"), ParseDateText(L"14:05 1399/12/31", 2026));
  EXPECT_EQ(FormatDate(*ReadStoredTime(L"06:00 1899/12/29"), kStoredTimePattern), L"06:00 1899/12/29");
}

TEST(ReadStoredTime, RefusesTextsThatAreNoTime) {
  for (const wchar_t* text : {L"", L"08:05", L"08:05 2000/02/", L"2000/02/29 08:05", L"ab:cd efgh/ij/kl",
                              L"08:05 0000/01/01", L"08:05 99999/1/1"}) {
    EXPECT_EQ(ReadStoredTime(text), std::nullopt) << testing::PrintToString(std::wstring(text));
  }
}
