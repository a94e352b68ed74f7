// The calendar code where wchar_t holds UTF-16: characters beyond the basic
// plane as surrogate pairs, through the writer and the reader.
#include <gtest/gtest.h>

#include "calendar_test_support.h"
#include "test_support.h"
#include "utf8_text.h"

TEST(CalendarUtf16, SurrogatePairsBothWays) {
  static_assert(sizeof(wchar_t) == 2);
  const std::wstring smile = L"a\xD83D\xDE00";  // a U+1F600
  EXPECT_EQ(WideToUtf8(smile), "a\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToWide("a\xF0\x9F\x98\x80"), smile);
  EXPECT_EQ(WideToUtf8(L"\xD83D"
                       L"b"),
            "\xEF\xBF\xBD"
            "b");  // a lone half
  EXPECT_EQ(WideToUtf8(L"\xDE00"), "\xEF\xBF\xBD");
}

TEST(CalendarUtf16, AnAlertWithPairsComesBackExactly) {
  AlarmTable table;
  table[0] = ActiveAlarm(std::wstring(30, L'x') + L"\xD834\xDD1E\xD83D\xDE00 \x00e9\x20ac" + std::wstring(40, L'y'),
                         At(2027, 5, 1, 8, 0), EachWeek);
  const ExportResult exported = ExportAlerts(table, WestEurope(), At(2026, 12, 8, 11, 0), L"1");
  TestImport import(At(2026, 12, 8, 12, 0));
  ASSERT_EQ(import.Run(exported.bytes).imported, 1);
  EXPECT_EQ(import.table[0].Naam, table[0].Naam);
}
