// ExportAlerts and ExportSummary: the file Chimewatch writes, and that its
// own import reads every field back.
#include <gtest/gtest.h>

#include "calendar_test_support.h"
#include "test_support.h"

namespace {

const DateValue kNowUtc = At(2026, 12, 8, 6, 0);

// The lines between the first "BEGIN:<what>" and its END, both included.
std::string Block(const std::string& file, const std::string& what, std::size_t from = 0) {
  const std::size_t begin = file.find("BEGIN:" + what + "\r\n", from);
  const std::size_t end = file.find("END:" + what + "\r\n", begin);
  if (begin == std::string::npos || end == std::string::npos) return {};
  return file.substr(begin, end + what.size() + 6 - begin);
}

}  // namespace

TEST(CalendarWriter, WritesOneAlertAsOtherCalendarsExpectIt) {
  AlarmTable table;
  table[3] = ActiveAlarm(L"Dentist, bring card; \u00e9", At(2027, 1, 31, 9, 30, 15), EachMonth);
  const ExportResult result = ExportAlerts(table, WestEurope(), kNowUtc, L"4.2.0.5");
  EXPECT_EQ(result.exported, 1);
  EXPECT_TRUE(result.damagedSlots.empty());
  EXPECT_EQ(result.bytes.substr(0, 112),
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Chimewatch//Chimewatch 4.2.0.5//EN\r\n"
            "CALSCALE:GREGORIAN\r\nMETHOD:PUBLISH\r\n");
  std::string event = Block(result.bytes, "VEVENT");
  const std::size_t uid = event.find("UID:3-");
  ASSERT_NE(uid, std::string::npos);
  EXPECT_EQ(event.substr(uid + 22, 13), "@chimewatch\r\n") << "slot, 16 hex digits, @chimewatch";
  event.replace(uid + 6, 16, "#");
  EXPECT_EQ(event,
            "BEGIN:VEVENT\r\n"
            "UID:3-#@chimewatch\r\n"
            "DTSTAMP:20261208T060000Z\r\n"
            "DTSTART;TZID=W. Europe Standard Time:20270131T093015\r\n"
            "SUMMARY:Dentist\\, bring card\\; \xC3\xA9\r\n"
            "RRULE:FREQ=MONTHLY\r\n"
            "TRANSP:TRANSPARENT\r\n"
            "X-CHIMEWATCH-ACTIVE:TRUE\r\n"
            "X-CHIMEWATCH-SHOWN:FALSE\r\n"
            "X-CHIMEWATCH-DELETE:FALSE\r\n"
            "X-CHIMEWATCH-REPEAT:3\r\n"
            "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Dentist\\, bring card\\; "
            "\xC3\xA9\r\nTRIGGER:PT0S\r\nEND:VALARM\r\n"
            "END:VEVENT\r\n");
  EXPECT_EQ(result.bytes.substr(result.bytes.size() - 15), "END:VCALENDAR\r\n");
  EXPECT_EQ(result.bytes.find('\n'), result.bytes.find("\r\n") + 1);
}

TEST(CalendarWriter, TimeZonesFromWindowsRules) {
  const AlarmTable empty;
  EXPECT_EQ(Block(ExportAlerts(empty, WestEurope(), kNowUtc, L"1").bytes, "VTIMEZONE"),
            "BEGIN:VTIMEZONE\r\nTZID:W. Europe Standard Time\r\n"
            "BEGIN:STANDARD\r\nDTSTART:16011028T030000\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
            "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\n"
            "BEGIN:DAYLIGHT\r\nDTSTART:16010325T020000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
            "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n");
  // From 1601, where Windows' calendar begins: 1 April and 7 October were the first Sundays.
  EXPECT_EQ(Block(ExportAlerts(empty, AusEastern(), kNowUtc, L"1").bytes, "VTIMEZONE"),
            "BEGIN:VTIMEZONE\r\nTZID:AUS Eastern Standard Time\r\n"
            "BEGIN:STANDARD\r\nDTSTART:16010401T030000\r\nTZOFFSETFROM:+1100\r\nTZOFFSETTO:+1000\r\n"
            "RRULE:FREQ=YEARLY;BYMONTH=4;BYDAY=1SU\r\nEND:STANDARD\r\n"
            "BEGIN:DAYLIGHT\r\nDTSTART:16011007T020000\r\nTZOFFSETFROM:+1000\r\nTZOFFSETTO:+1100\r\n"
            "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=1SU\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n");
  ZoneRules unnamed = Tokyo();
  unnamed.name.clear();
  EXPECT_EQ(Block(ExportAlerts(empty, unnamed, kNowUtc, L"1").bytes, "VTIMEZONE").substr(0, 59),
            "BEGIN:VTIMEZONE\r\nTZID:Chimewatch local time\r\nBEGIN:STANDARD");
  EXPECT_EQ(Block(ExportAlerts(empty, Tokyo(), kNowUtc, L"1").bytes, "VTIMEZONE"),
            "BEGIN:VTIMEZONE\r\nTZID:Tokyo Standard Time\r\n"
            "BEGIN:STANDARD\r\nDTSTART:16010101T000000\r\nTZOFFSETFROM:+0900\r\nTZOFFSETTO:+0900\r\n"
            "END:STANDARD\r\nEND:VTIMEZONE\r\n");
}

TEST(CalendarWriter, EveryRepeatAndAlarmOnlyForWhatStillReminds) {
  AlarmTable table;
  const struct {
    std::int32_t repeat;
    bool active;
    bool shown;
    const char* rule;  // "" for none
    bool alarm;
  } cases[] = {
      {Once, true, false, "", true},
      {EachDay, true, false, "FREQ=DAILY", true},
      {EachWeek, false, false, "FREQ=WEEKLY", false},
      {EachMonth, true, true, "FREQ=MONTHLY", false},
      {EachYear, true, false, "FREQ=YEARLY", true},
      {7, true, false, "", true},
  };
  for (int slot = 0; slot < 6; ++slot) {
    table[slot] = ActiveAlarm(L"Alert", At(2027, 2, 1, 8, 0), cases[slot].repeat);
    table[slot].Actief = cases[slot].active;
    table[slot].Getoond = cases[slot].shown;
  }
  const std::string file = ExportAlerts(table, WestEurope(), kNowUtc, L"1").bytes;
  std::size_t at = 0;
  for (const auto& c : cases) {
    const std::string event = Block(file, "VEVENT", at);
    at = file.find(event, at) + event.size();
    const std::size_t rule = event.find("RRULE:");
    EXPECT_EQ(rule == std::string::npos ? "" : event.substr(rule + 6, event.find("\r\n", rule) - rule - 6), c.rule);
    EXPECT_EQ(event.find("BEGIN:VALARM") != std::string::npos, c.alarm) << c.repeat;
    EXPECT_NE(event.find("X-CHIMEWATCH-REPEAT:" + std::to_string(c.repeat) + "\r\n"), std::string::npos);
  }
}

TEST(CalendarWriter, UidsStayAcrossExportsAndDifferBetweenAlerts) {
  AlarmTable table;
  table[0] = ActiveAlarm(L"Same", At(2027, 1, 1, 8, 0), EachDay);
  table[1] = ActiveAlarm(L"Same", At(2027, 1, 1, 8, 0), EachDay);
  auto uids = [&] {
    const std::string file = ExportAlerts(table, WestEurope(), kNowUtc, L"1").bytes;
    std::vector<std::string> found;
    for (std::size_t at = file.find("UID:"); at != std::string::npos; at = file.find("UID:", at + 1)) {
      found.push_back(file.substr(at, file.find("\r\n", at) - at));
    }
    return found;
  };
  const auto first = uids();
  ASSERT_EQ(first.size(), 2u);
  EXPECT_NE(first[0], first[1]);
  table[0].Tijd = At(2027, 1, 2, 8, 0);  // it fired and moved on
  EXPECT_EQ(uids(), first);
  table[0].Naam = L"Other";
  EXPECT_NE(uids()[0], first[0]);
}

TEST(CalendarWriter, LeavesOutDamagedSlotsAndSaysSo) {
  AlarmTable table;
  table[0] = ActiveAlarm(L"A", At(2027, 1, 1));
  table.Reserve(4);
  table.Reserve(9);
  const ExportResult result = ExportAlerts(table, WestEurope(), kNowUtc, L"1");
  EXPECT_EQ(result.damagedSlots, (std::vector<int>{4, 9}));
  EXPECT_EQ(ExportSummary(result, L"C:\\Users\\ann\\Chimewatch alerts.ics"),
            L"Exported 1 alert to C:\\Users\\ann\\Chimewatch alerts.ics. Left out the damaged slots 4, 9: their "
            L"stored values could not be read.");
  ExportResult twelve;
  twelve.exported = 12;
  EXPECT_EQ(ExportSummary(twelve, L"D:\\a.ics"), L"Exported 12 alerts to D:\\a.ics.");
}

TEST(CalendarWriter, ItsOwnImportRestoresEveryField) {
  AlarmTable table;
  table[0] = ActiveAlarm(L"Month end", At(2027, 1, 31, 9, 30), EachMonth);  // Chimewatch moves it to 3 March
  table[2] = ActiveAlarm(L"Leap day", At(2028, 2, 29, 7, 0), EachYear);
  table[5] = ActiveAlarm(L"Old, shown; once", At(2020, 5, 1, 12, 0, 59), Once, true);
  table[5].Getoond = true;
  table[6] = InactiveAlarm(L"Off\r\nsecond line \\ \u20AC\U0001D11E", At(2027, 3, 28, 2, 30));  // the skipped hour
  table[7] = ActiveAlarm(L"Hand-edited repeat", At(2027, 10, 31, 2, 30), 7);                    // the doubled hour
  table[8] = ActiveAlarm(L"", At(2026, 12, 9, 0, 0), EachWeek);
  table[9] = ActiveAlarm(std::wstring(100, L'\u00e9'), At(2026, 12, 10, 23, 59, 59), EachDay);
  // Descriptions that TEXT cannot carry as they are, and summer time before 1970.
  table[10] = ActiveAlarm(L"lone CR\rthen text", At(2027, 1, 5, 8, 0));
  table[11] = ActiveAlarm(L"lone LF\nthen\ttab", At(2027, 1, 5, 8, 0));
  table[12] = ActiveAlarm(L"bell\x07, escape\x1B and delete\x7F", At(2027, 1, 5, 8, 0));
  table[13] = ActiveAlarm(L"half " + std::wstring(1, wchar_t(0xD800)) + L" a pair", At(2027, 1, 5, 8, 0));
  table[14] = InactiveAlarm(L"Summer of 1960", At(1960, 7, 1, 12, 0));
  table[15] = ActiveAlarm(L"Stand-up", At(2026, 12, 9, 9, 0), EachWeek);
  table[15].Rule = L"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;UNTIL=20271231;DTSTART=09:00 2026/12/07;EXDATE=09:00 2026/12/24";
  table[16] = ActiveAlarm(L"Gong until answered", At(2027, 1, 5, 8, 0));
  table[16].Sound = L"C:\\Users\\Jos\\Kl\u00e4nge 100%\\gong.wav";
  table[16].SoundUntilAnswered = true;
  table[17] = ActiveAlarm(L"Silent", At(2027, 1, 5, 8, 0));
  table[17].Sound = L"none";
  const ExportResult exported = ExportAlerts(table, WestEurope(), kNowUtc, L"1");
  EXPECT_EQ(exported.bytes.find('\x07'), std::string::npos) << "a control character in TEXT";
  TestImport import(At(2026, 12, 8, 7, 0));
  const ImportResult result = import.Run(exported.bytes);
  EXPECT_EQ(result.status, ImportStatus::Done);
  EXPECT_EQ(result.summary, L"Imported 15 alerts from Work.ics.");
  const int original[] = {0, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
  ASSERT_EQ(result.newSlots, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
  for (int i = 0; i < 15; ++i) {
    const AlarmRecord& back = import.table[i];
    const AlarmRecord& sent = table[original[i]];
    EXPECT_EQ(back.Naam, sent.Naam);
    EXPECT_EQ(back.Rule, sent.Rule);
    EXPECT_EQ(back.Sound, sent.Sound);
    EXPECT_EQ(back.SoundUntilAnswered, sent.SoundUntilAnswered);
    EXPECT_NEAR(back.Tijd, sent.Tijd, 0.5 / 86400) << i;
    EXPECT_EQ(std::tie(back.Exist, back.Actief, back.Getoond, back.Repeat, back.Delete),
              std::tie(sent.Exist, sent.Actief, sent.Getoond, sent.Repeat, sent.Delete))
        << i;
  }
  // The same file again adds nothing.
  EXPECT_EQ(import.Run(exported.bytes).summary, L"Imported no alerts from Work.ics. 15 were already there.");
  // A sound file as other calendars read it: an audio alarm beside the display alarm.
  const std::size_t gong = exported.bytes.find("SUMMARY:Gong");
  EXPECT_NE(exported.bytes.find("BEGIN:VALARM\r\nACTION:AUDIO\r\nATTACH;FMTTYPE=audio/wav:"
                                "file:///C:/Users/Jos/Kl%C3%A4nge%20100%25/gong.wav\r\nTRIGGER:PT0S\r\nEND:VALARM\r\n",
                                gong),
            std::string::npos);
  EXPECT_EQ(exported.bytes.find("ACTION:AUDIO", exported.bytes.find("SUMMARY:Silent")), std::string::npos);
}

TEST(CalendarWriter, RulesAsOtherCalendarsReadThem) {
  AlarmTable table;
  // The series starts on a Sunday, which the rule does not name; 16:00 in
  // Berlin is 15:00 UTC in winter.
  table[0] = ActiveAlarm(L"Review", At(2026, 12, 15, 16, 0), EachMonth);
  table[0].Rule = L"FREQ=MONTHLY;BYDAY=-1FR;UNTIL=20270331T160000;DTSTART=16:00 2026/11/01;EXDATE=16:00 2027/01/29";
  table[1] = ActiveAlarm(L"Ten times", At(2026, 12, 10, 8, 0), EachWeek);
  table[1].Rule = L"FREQ=WEEKLY;INTERVAL=2;BYDAY=TH;COUNT=10;DTSTART=08:00 2026/12/10";
  const std::string file = ExportAlerts(table, WestEurope(), kNowUtc, L"1").bytes;
  const std::string review = Block(file, "VEVENT");
  EXPECT_NE(review.find("DTSTART;TZID=W. Europe Standard Time:20261101T160000\r\n"
                        "SUMMARY:Review\r\n"
                        "RRULE:FREQ=MONTHLY;BYDAY=-1FR;UNTIL=20270331T140000Z\r\n"
                        "EXDATE;TZID=W. Europe Standard Time:20261101T160000,20270129T160000\r\n"),
            std::string::npos)
      << review;
  EXPECT_NE(file.find("RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=TH;COUNT=10\r\nX-CHIMEWATCH-DUE"), std::string::npos);
  // Read as another calendar's file, without Chimewatch's own lines, each
  // keeps its rule; the left-out start is left out again.
  std::string foreign;
  bool own = false;
  for (std::size_t at = 0; at < file.size();) {
    const std::size_t end = file.find("\r\n", at) + 2;
    own = file.compare(at, 13, "X-CHIMEWATCH-") == 0 || (own && file[at] == ' ');  // and its folded lines
    if (!own) foreign += file.substr(at, end - at);
    at = end;
  }
  TestImport import(At(2026, 12, 8, 7, 0));
  ASSERT_EQ(import.Run(foreign).imported, 2);
  EXPECT_EQ(import.table[0].Rule,
            L"FREQ=MONTHLY;BYDAY=-1FR;UNTIL=20270331T160000;DTSTART=16:00 2026/11/01;EXDATE=16:00 "
            L"2027/01/29");
  EXPECT_NEAR(import.table[0].Tijd, At(2026, 12, 25, 16, 0), 0.5 / 86400);
  EXPECT_EQ(import.table[1].Rule, table[1].Rule);
}
