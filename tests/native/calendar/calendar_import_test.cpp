// ImportAlerts: what each event becomes, and how the alerts are placed.
#include <gtest/gtest.h>

#include <functional>

#include "calendar_test_support.h"
#include "test_support.h"

namespace {

// Tuesday 8 December 2026, noon, Central European winter time (UTC+1).
const DateValue kNow = At(2026, 12, 8, 12, 0);

// Line 1..3 are the header, line 4 the BEGIN of the first component.
std::string Calendar(const std::string& body) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n" + body + "END:VCALENDAR\r\n";
}
std::string Event(const std::string& lines, const std::string& kind = "VEVENT") {
  return "BEGIN:" + kind + "\r\n" + lines + "END:" + kind + "\r\n";
}
std::string Alarm(const std::string& trigger, const std::string& action = "DISPLAY") {
  return "BEGIN:VALARM\r\nACTION:" + action + "\r\nTRIGGER" + trigger + "\r\nEND:VALARM\r\n";
}

// New York's rules, changing on other Sundays than Central Europe's.
const std::string kNewYork =
    "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:19700308T020000\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nDTSTART:19701101T020000\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
// Berlin as an old-style zone: changes listed by RDATE, then a rule.
const std::string kBerlin =
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:19960331T020000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU;UNTIL=20251231T000000Z\r\nEND:DAYLIGHT\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:20260329T020000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
    "RDATE:20260329T020000,20270328T020000\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nDTSTART:19961027T030000\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

// Amsterdam as a file may have it: the autumn change at 02:00, an hour
// before Windows' (and this PC's) 03:00.
const std::string kAmsterdam =
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Amsterdam\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:19810329T020000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nDTSTART:19961027T020000\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

// One event "E" with these lines after its SUMMARY (line 5).
std::string One(const std::string& lines, const std::string& kind = "VEVENT") {
  return Calendar(Event("SUMMARY:E\r\n" + lines, kind));
}

struct Kept {
  const char* what;
  std::string file;
  DateValue due;
  std::int32_t repeat = Once;
  ZoneRules pcZone = WestEurope();
  std::wstring rule{};  // as the store keeps it
  std::wstring sound{};
};

void CheckKept(const Kept& c) {
  SCOPED_TRACE(c.what);
  TestImport import(kNow);
  import.context.localZone = c.pcZone;
  const ImportResult result = import.Run(c.file);
  EXPECT_EQ(result.status, ImportStatus::Done);
  ASSERT_EQ(result.imported, 1) << result.summary;
  const AlarmRecord& alert = import.table[0];
  EXPECT_NEAR(alert.Tijd, c.due, 0.5 / 86400)
      << SplitDate(alert.Tijd).day << " " << SplitDate(alert.Tijd).hour << ":" << SplitDate(alert.Tijd).minute;
  EXPECT_EQ(alert.Repeat, c.repeat);
  EXPECT_EQ(alert.Rule, c.rule);
  EXPECT_EQ(alert.Sound, c.sound);
  EXPECT_TRUE(alert.Exist && alert.Actief && !alert.Getoond && !alert.Delete);
  EXPECT_EQ(alert.Naam, L"E");
}

}  // namespace

TEST(CalendarImport, TimesAndReminders) {
  const std::string noon = "DTSTART:20261210T120000\r\n";
  const Kept cases[] = {
      {"floating", One(noon), At(2026, 12, 10, 12, 0)},
      {"UTC in winter", One("DTSTART:20261210T110000Z\r\n"), At(2026, 12, 10, 12, 0)},
      {"UTC in summer", One("DTSTART:20270710T100000Z\r\n"), At(2027, 7, 10, 12, 0)},
      {"Windows zone name, Sydney in its summer", One("DTSTART;TZID=AUS Eastern Standard Time:20261210T220000\r\n"),
       At(2026, 12, 10, 12, 0)},
      {"file zone with RDATEs",
       Calendar(kBerlin + Event("SUMMARY:E\r\nDTSTART;TZID=Europe/Berlin:20270710T120000\r\n")),
       At(2027, 7, 10, 12, 0)},
      {"file zone, New York",
       Calendar(kNewYork + Event("SUMMARY:E\r\nDTSTART;TZID=America/New_York:20270710T060000\r\n")),
       At(2027, 7, 10, 12, 0)},
      {"all-day", One("DTSTART;VALUE=DATE:20261224\r\n"), At(2026, 12, 24)},
      {"reminder before", One(noon + Alarm(":-PT15M")), At(2026, 12, 10, 11, 45)},
      {"reminder after", One(noon + Alarm(";RELATED=START:+PT1H")), At(2026, 12, 10, 13, 0)},
      {"before the end", One(noon + "DTEND:20261210T133000\r\n" + Alarm(";RELATED=END:-PT10M")),
       At(2026, 12, 10, 13, 20)},
      {"end by duration", One(noon + "DURATION:PT2H\r\n" + Alarm(";RELATED=END:PT0S")), At(2026, 12, 10, 14, 0)},
      {"all-day end", One("DTSTART;VALUE=DATE:20261224\r\n" + Alarm(";RELATED=END:-PT1H")), At(2026, 12, 24, 23, 0)},
      {"absolute reminder", One(noon + Alarm(";VALUE=DATE-TIME:20261209T080000Z")), At(2026, 12, 9, 9, 0)},
      {"mail alarms do not count", One(noon + Alarm(":-PT5M", "EMAIL") + Alarm(":-P1D", "AUDIO")),
       At(2026, 12, 9, 12, 0)},
      {"the earliest reminder counts", One(noon + Alarm(":-PT15M") + Alarm(":-PT45M")), At(2026, 12, 10, 11, 15)},
      // Another calendar's sound file is not ours to play: the reminder sound.
      {"an audio alarm's file",
       One(noon + "BEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER:-PT5M\r\n"
                  "ATTACH:file:///C:/Windows/Media/tada.wav\r\nEND:VALARM\r\n"),
       At(2026, 12, 10, 11, 55)},
      {"our own sound file on a drive", One(noon + "X-CHIMEWATCH-SOUND:C:\\\\Media\\\\gong.wav\r\n"),
       At(2026, 12, 10, 12, 0), Once, WestEurope(), L"", L"C:\\Media\\gong.wav"},
      {"our own sound file on a server", One(noon + "X-CHIMEWATCH-SOUND:\\\\\\\\evil\\\\s\\\\gong.wav\r\n"),
       At(2026, 12, 10, 12, 0)},
      {"our own no sound", One(noon + "X-CHIMEWATCH-SOUND:None\r\n"), At(2026, 12, 10, 12, 0), Once, WestEurope(), L"",
       L"none"},
      // Hours are exact time across a clock change, days calendar days in the event's zone.
      {"12 hours before, here", One("DTSTART:20270328T070000Z\r\n" + Alarm(":-PT12H")), At(2027, 3, 27, 20, 0)},
      {"12 hours before, in New York", One("DTSTART:20270328T070000Z\r\n" + Alarm(":-PT12H")), At(2027, 3, 27, 15, 0),
       Once, UsEastern()},
      {"12 hours before, in Tokyo", One("DTSTART:20270328T070000Z\r\n" + Alarm(":-PT12H")), At(2027, 3, 28, 4, 0), Once,
       Tokyo()},
      {"a day before in Berlin, here",
       Calendar(kBerlin + Event("SUMMARY:E\r\nDTSTART;TZID=Europe/Berlin:20270328T090000\r\n" + Alarm(":-P1D"))),
       At(2027, 3, 27, 9, 0)},
      {"a day before in Berlin, in New York",
       Calendar(kBerlin + Event("SUMMARY:E\r\nDTSTART;TZID=Europe/Berlin:20270328T090000\r\n" + Alarm(":-P1D"))),
       At(2027, 3, 27, 4, 0), Once, UsEastern()},
      {"a day before in Berlin, in Tokyo",
       Calendar(kBerlin + Event("SUMMARY:E\r\nDTSTART;TZID=Europe/Berlin:20270328T090000\r\n" + Alarm(":-P1D"))),
       At(2027, 3, 27, 17, 0), Once, Tokyo()},
      {"a changed occurrence without its series",
       Calendar(Event("UID:u9\r\nSUMMARY:E\r\nRECURRENCE-ID:20261210T090000\r\nDTSTART:20261210T110000\r\n")),
       At(2026, 12, 10, 11, 0)},
      {"description when no summary", Calendar(Event("SUMMARY:\r\nDESCRIPTION:E\r\n" + noon)), At(2026, 12, 10, 12, 0)},
      {"to-do by its due time", One("DTSTART:20261201T090000\r\nDUE:20261211T170000\r\n", "VTODO"),
       At(2026, 12, 11, 17, 0)},
      {"to-do reminder before its start",
       One("DTSTART:20261210T090000\r\nDUE:20261211T170000\r\n" + Alarm(":-PT1H"), "VTODO"), At(2026, 12, 10, 8, 0)},
      {"to-do reminder after its due time", One("DUE:20261211T170000\r\n" + Alarm(";RELATED=END:PT1H"), "VTODO"),
       At(2026, 12, 11, 18, 0)},
  };
  for (const Kept& c : cases) CheckKept(c);
}

// A rule that is exactly one of the five repeats becomes that repeat; any
// other is kept as the rule, on the reminders' clock here.
TEST(CalendarImport, RepeatsMoveToTheirNextReminder) {
  const std::string start = "DTSTART:20260105T090000\r\n";  // a Monday
  const std::wstring from = L";DTSTART=09:00 2026/01/05";
  const Kept cases[] = {
      {"daily", One("DTSTART:20260101T090000\r\nRRULE:FREQ=DAILY;WKST=SU\r\n"), At(2026, 12, 9, 9, 0), EachDay},
      {"daily, its hour and minute restated",
       One("DTSTART:20260101T090000\r\nRRULE:FREQ=DAILY;byhour=9;BYMINUTE=00\r\n"), At(2026, 12, 9, 9, 0), EachDay},
      {"daily on all seven days", One("DTSTART:20260101T130000\r\nRRULE:FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR,SA,SU\r\n"),
       At(2026, 12, 8, 13, 0), EachDay},
      {"weekly on its own weekday", One("DTSTART:20260105T100000\r\nRRULE:FREQ=WEEKLY;BYDAY=MO\r\n"),
       At(2026, 12, 14, 10, 0), EachWeek},
      {"monthly on its own day", One("DTSTART:20250315T080000\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=15;INTERVAL=1\r\n"),
       At(2026, 12, 15, 8, 0), EachMonth},
      {"yearly, this year's passed an hour ago",
       One("DTSTART:20201208T110000\r\nRRULE:FREQ=YEARLY;BYMONTH=12;BYMONTHDAY=8\r\n"), At(2027, 12, 8, 11, 0),
       EachYear},
      {"yearly, due right now", One("DTSTART:20201208T120000\r\nRRULE:FREQ=YEARLY\r\n"), At(2026, 12, 8, 12, 0),
       EachYear},
      {"a future start stays", One("DTSTART:20270301T120000\r\nRRULE:FREQ=MONTHLY\r\n"), At(2027, 3, 1, 12, 0),
       EachMonth},
      {"changes on the same days at another hour, none of its times between",
       Calendar(kAmsterdam +
                Event("SUMMARY:E\r\nDTSTART;TZID=Europe/Amsterdam:20260105T100000\r\nRRULE:FREQ=WEEKLY\r\n")),
       At(2026, 12, 14, 10, 0), EachWeek},
      {"weekly, before its end by duration",
       One("DTSTART:20260105T100000\r\nDURATION:PT2H\r\nRRULE:FREQ=WEEKLY\r\n" + Alarm(";RELATED=END:-PT30M")),
       At(2026, 12, 14, 11, 30), EachWeek},
      {"lower case, a leading zero and a trailing semicolon",
       One("DTSTART:20260105T100000\r\nRRULE:freq=weekly;interval=01;\r\n"), At(2026, 12, 14, 10, 0), EachWeek},
      {"all-day yearly", One("DTSTART;VALUE=DATE:19900714\r\nRRULE:FREQ=YEARLY\r\n"), At(2027, 7, 14), EachYear},
      {"same rules as this PC, in the skipped hour",
       Calendar(kBerlin + Event("SUMMARY:E\r\nDTSTART;TZID=Europe/Berlin:20270328T023000\r\nRRULE:FREQ=YEARLY\r\n")),
       At(2027, 3, 28, 2, 30), EachYear},
      {"a past exception does not matter",
       One("DTSTART:20260101T090000\r\nRRULE:FREQ=DAILY\r\nEXDATE:20260301T090000\r\n"), At(2026, 12, 9, 9, 0),
       EachDay},
      {"a past changed occurrence does not matter",
       Calendar(Event("UID:u1\r\nSUMMARY:E\r\nDTSTART:20260101T090000\r\nRRULE:FREQ=DAILY\r\n") +
                Event("UID:u1\r\nSUMMARY:Moved\r\nRECURRENCE-ID:20261201T090000\r\nDTSTART:20261201T110000\r\n")),
       At(2026, 12, 9, 9, 0), EachDay},
      {"every other week", One(start + "RRULE:FREQ=WEEKLY;INTERVAL=2\r\n"), At(2026, 12, 21, 9, 0), EachWeek,
       WestEurope(), L"FREQ=WEEKLY;INTERVAL=2" + from},
      {"weekdays", One(start + "RRULE:FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR\r\n"), At(2026, 12, 9, 9, 0), EachWeek,
       WestEurope(), L"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR" + from},
      {"the second Monday", One(start + "RRULE:FREQ=MONTHLY;BYDAY=2MO\r\n"), At(2026, 12, 14, 9, 0), EachMonth,
       WestEurope(), L"FREQ=MONTHLY;BYDAY=2MO" + from},
      {"January only", One(start + "RRULE:FREQ=MONTHLY;BYMONTH=1\r\n"), At(2027, 1, 5, 9, 0), EachMonth, WestEurope(),
       L"FREQ=MONTHLY;BYMONTH=1" + from},
      {"a count", One(start + "RRULE:FREQ=DAILY;COUNT=500\r\n"), At(2026, 12, 9, 9, 0), EachDay, WestEurope(),
       L"FREQ=DAILY;COUNT=500" + from},
      {"until a time in UTC, kept in local time", One(start + "RRULE:FREQ=DAILY;UNTIL=20271231T000000Z\r\n"),
       At(2026, 12, 9, 9, 0), EachDay, WestEurope(), L"FREQ=DAILY;UNTIL=20271231T010000" + from},
      {"until a date, to the end of its day", One(start + "RRULE:FREQ=DAILY;UNTIL=20271231\r\n"), At(2026, 12, 9, 9, 0),
       EachDay, WestEurope(), L"FREQ=DAILY;UNTIL=20271231T235959" + from},
      {"the 31st, skipping short months", One("DTSTART:20260131T090000\r\nRRULE:FREQ=MONTHLY\r\n"),
       At(2026, 12, 31, 9, 0), EachMonth, WestEurope(), L"FREQ=MONTHLY;DTSTART=09:00 2026/01/31"},
      {"29 February", One("DTSTART:20240229T090000\r\nRRULE:FREQ=YEARLY\r\n"), At(2028, 2, 29, 9, 0), EachYear,
       WestEurope(), L"FREQ=YEARLY;DTSTART=09:00 2024/02/29"},
      {"a future date left out", One(start + "RRULE:FREQ=DAILY\r\nEXDATE:20260101T090000,20261224T090000\r\n"),
       At(2026, 12, 9, 9, 0), EachDay, WestEurope(), L"FREQ=DAILY" + from + L";EXDATE=09:00 2026/12/24"},
      {"reminded the day before: the weekdays turn with it",
       One(start + "RRULE:FREQ=WEEKLY;BYDAY=MO,TH\r\n" + Alarm(":-P1D")), At(2026, 12, 9, 9, 0), EachWeek, WestEurope(),
       L"FREQ=WEEKLY;BYDAY=WE,SU;WKST=SU;DTSTART=09:00 2026/01/04"},
  };
  for (const Kept& c : cases) CheckKept(c);
}

TEST(CalendarImport, LeavesOutWhatItCannotKeepExactly) {
  const std::string start = "DTSTART:20260105T090000\r\n";  // a Monday
  const std::wstring otherZone = L"some of its times in the coming year fall at another time of day here";
  const struct {
    std::string file;
    std::wstring reason;
  } cases[] = {
      // Tokyo 20:00 is noon or 13:00 here.
      {One("DTSTART;TZID=Tokyo Standard Time:20261201T200000\r\nRRULE:FREQ=DAILY\r\n"), otherZone},
      {One("DTSTART:20260101T090000Z\r\nRRULE:FREQ=WEEKLY\r\n"), otherZone},  // UTC counts as a zone
      {Calendar(kNewYork + Event("SUMMARY:E\r\nDTSTART;TZID=America/New_York:20260101T090000\r\nRRULE:FREQ=DAILY\r\n")),
       otherZone},
      {One(start + "RRULE:FREQ=HOURLY\r\n"),
       L"repeats by a rule Chimewatch cannot follow: FREQ=HOURLY is not supported"},
      {One(start + "RRULE:FREQ=DAILY;BYHOUR=9,17\r\n"),
       L"repeats by a rule Chimewatch cannot follow: BYHOUR is not supported"},
      {One(start + "RRULE:FREQ=YEARLY;BYWEEKNO=2\r\n"),
       L"repeats by a rule Chimewatch cannot follow: BYWEEKNO is not supported"},
      {One(start + "RRULE:FREQ=DAILY\r\nRRULE:FREQ=WEEKLY\r\n"), L"repeats by several rules"},
      {One(start + "RRULE:FREQ=DAILY\r\nRDATE:20270101T090000\r\n"), L"repeats on extra dates"},
      {One("DTSTART:20260301T120000\r\nRRULE:FREQ=MONTHLY\r\n" + Alarm(":-P1D")),
       L"reminds on another day than its event, by a rule of days of the month"},
      {One(start + "RRULE:FREQ=DAILY\r\n" + Alarm(";VALUE=DATE-TIME:20270101T080000Z")),
       L"reminds once at a fixed time of a repeating event"},
      {Calendar(Event("UID:u1\r\nSUMMARY:E\r\n" + start + "RRULE:FREQ=DAILY\r\n") +
                Event("UID:u1\r\nSUMMARY:E\r\nRECURRENCE-ID:20261210T090000\r\nDTSTART:20261210T110000\r\n")),
       L"has a changed date ahead"},
      {Calendar(Event("UID:u1\r\nSUMMARY:E\r\n" + start + "RRULE:FREQ=DAILY\r\n") +
                Event("UID:u1\r\nSUMMARY:E\r\nRECURRENCE-ID:20261201T090000\r\nDTSTART:20261215T110000\r\n")),
       L"has a changed date ahead"},  // a past one moved ahead
      {Calendar(Event("UID:u1\r\nSUMMARY:E\r\n" + start + "RRULE:FREQ=DAILY\r\n") +
                Event("UID:u1\r\nSUMMARY:E\r\nRECURRENCE-ID;RANGE=THISANDFUTURE:20261201T090000\r\n"
                      "DTSTART:20261201T110000\r\n")),
       L"has a changed date ahead"},
      {One("X-CHIMEWATCH-REPEAT:40000\r\nDTSTART:20270101T120000\r\n"), L"a value Chimewatch cannot keep on line 6"},
      {One("DTSTART:20261208T120000\r\n" + Alarm(":-PT1M")), L"already past"},
      {One("STATUS:cancelled\r\nDTSTART:20270101T120000\r\n"), L"cancelled"},
      {One("STATUS:COMPLETED\r\nDUE:20270101T120000\r\n", "VTODO"), L"completed"},
      {One("COMPLETED:20261201T100000Z\r\nDUE:20270101T120000\r\n", "VTODO"), L"completed"},
      {One(""), L"has no start"},
      {One("DTSTART:2027011\r\n"), L"a value Chimewatch cannot read on line 6"},
      {One("DTSTART:20270101T120000\r\n" + Alarm(":soon")), L"a value Chimewatch cannot read on line 9"},
      {One("DTSTART:20270101T120000\r\nLOCATION\r\n"), L"a value Chimewatch cannot read on line 7"},  // no colon
      {One(start + "RRULE:FREQ=SOMETIMES\r\n"),
       L"repeats by a rule Chimewatch cannot follow: FREQ=SOMETIMES is not a frequency"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TestImport import(kNow);
    const ImportResult result = import.Run(c.file);
    EXPECT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(result.imported, 0);
    EXPECT_EQ(result.summary, L"Imported no alerts from Work.ics. Not imported: \"E\" (" + c.reason + L").");
  }
  TestImport import(kNow);
  EXPECT_EQ(import.Run(Calendar(Event("DTSTART:20200101T120000\r\n"))).summary,
            L"Imported no alerts from Work.ics. Not imported: \"(no description)\" (already past).");
}

TEST(CalendarImport, UnknownZonesAreReadAsLocalTimeAndSaid) {
  TestImport import(kNow);
  const ImportResult result = import.Run(
      Calendar(Event("SUMMARY:A\r\nDTSTART;TZID=America/Vancouver:20261210T090000\r\n") +
               Event("SUMMARY:B\r\nDTSTART;TZID=America/Vancouver:20261211T090000\r\n") +
               Event("SUMMARY:C\r\nDTSTART;TZID=\"(UTC-05:00) Eastern Time (US & Canada)\":20261212T090000\r\n")));
  EXPECT_EQ(result.summary,
            L"Imported 3 alerts from Work.ics. Times in the zone \"America/Vancouver\" were read as local time. "
            L"Times in the zone \"(UTC-05:00) Eastern Time (US & Canada)\" were read as local time.");
  EXPECT_NEAR(import.table[0].Tijd, At(2026, 12, 10, 9, 0), 1e-7);
}

TEST(CalendarImport, SkipsDuplicatesHeldReservedAndTakenSlots) {
  TestImport import(kNow);
  import.table[0] = ActiveAlarm(L"Dentist", At(2026, 12, 10, 9, 0, 40));
  import.table.Reserve(1);
  import.context.heldSlot = 2;
  const ImportResult result = import.Run(Calendar(
      Event("SUMMARY:Dentist\r\nDTSTART:20261210T090000\r\n") +                      // the same minute: already there
      Event("SUMMARY:Dentist\r\nDTSTART:20261210T090000\r\nRRULE:FREQ=DAILY\r\n") +  // another repeat: new
      Event("SUMMARY:Gym\r\nDTSTART:20261211T180000\r\n") + Event("SUMMARY:Gym\r\nDTSTART:20261211T180000\r\n")));
  EXPECT_EQ(result.summary, L"Imported 2 alerts from Work.ics. 2 were already there.");
  EXPECT_EQ(result.newSlots, (std::vector<int>{3, 4}));
  EXPECT_EQ(import.saved, (std::vector<int>{3, 4}));
  EXPECT_EQ(import.table[3].Repeat, EachDay);
  EXPECT_EQ(import.table[4].Naam, L"Gym");
  EXPECT_FALSE(import.table[1].Exist);
  EXPECT_FALSE(import.table[2].Exist);
}

TEST(CalendarImport, AFullTableAndAFailedSave) {
  TestImport import(kNow);
  for (int slot = 0; slot <= 97; ++slot)
    import.table[slot] = ActiveAlarm(L"Old " + std::to_wstring(slot), At(2027, 1, 1));
  import.failures[99] = L"Access is denied.";
  std::string body;
  for (int day = 10; day <= 15; ++day)
    body += Event("SUMMARY:N" + std::to_string(day) + "\r\nDTSTART:202612" + std::to_string(day) + "T090000\r\n");
  const ImportResult result = import.Run(Calendar(body));
  EXPECT_EQ(
      result.summary,
      L"Imported 2 alerts from Work.ics. Not imported: \"N11\" (not saved: Access is denied.); 3 did not fit (101 "
      L"alerts at most).");
  EXPECT_EQ(result.newSlots, (std::vector<int>{98, 100}));
  EXPECT_EQ(import.saved, (std::vector<int>{98, 99, 100}));
  EXPECT_FALSE(import.table[99].Exist) << "the slot whose save failed is free again";
  EXPECT_EQ(import.table[100].Naam, L"N12");
}

TEST(CalendarImport, NamesTwentyThenCounts) {
  TestImport import(kNow);
  std::string body;
  for (int i = 0; i < 23; ++i) body += Event("SUMMARY:P" + std::to_string(i) + "\r\nDTSTART:20200101T090000\r\n");
  const std::wstring summary = import.Run(Calendar(body)).summary;
  EXPECT_NE(summary.find(L"\"P19\" (already past); and 3 more."), std::wstring::npos) << summary;
  EXPECT_EQ(summary.find(L"P20"), std::wstring::npos);
}

TEST(CalendarImport, FilesItCannotReadChangeNothing) {
  const struct {
    std::string bytes;
    std::wstring summary;
  } cases[] = {
      {"", L"Work.ics is not an iCalendar file."},
      {"PK\x03\x04 binary", L"Work.ics is not an iCalendar file."},
      {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:x\r\nEND:VTODO\r\nEND:VCALENDAR\r\n",
       L"Work.ics is broken: line 4 ends a VTODO that was not begun."},
      {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:x\r\nDTSTART:20270101T",
       L"Work.ics is broken: the VEVENT begun on line 2 does not end."},
      {std::string(kMaxCalendarBytes + 1, 'x'), L"Work.ics is larger than 16 MiB."},
  };
  for (const auto& c : cases) {
    TestImport import(kNow);
    import.table[0] = ActiveAlarm(L"Kept", At(2027, 1, 1));
    const AlarmTable before = import.table;
    const ImportResult result = import.Run(c.bytes);
    EXPECT_EQ(result.status, ImportStatus::NotReadable);
    EXPECT_EQ(result.summary, c.summary);
    EXPECT_TRUE(import.saved.empty());
    for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) EXPECT_EQ(import.table[slot], before[slot]);
  }
}

// The work grows in step with the file, whatever its shape: twice the pieces
// take at most about twice the steps. A zone's rule is worked out for the
// years asked about, never year by year back to its start in 1601.
TEST(CalendarImport, WorkGrowsInStepWithTheFile) {
  const auto zoneUsedByAnEvent = [](const std::string& rule) {
    return [rule](int i) {
      const std::string zone = "Z" + std::to_string(i);
      std::string text = "BEGIN:VTIMEZONE\r\nTZID:" + zone + "\r\n";
      for (int k = 0; k < 8; ++k) {
        text +=
            "BEGIN:STANDARD\r\nDTSTART:16010101T000000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0100\r\n"
            "RRULE:FREQ=YEARLY;" +
            rule + "\r\nEND:STANDARD\r\n";
      }
      return text + "END:VTIMEZONE\r\n" +
             Event("SUMMARY:E\r\nDTSTART;TZID=" + zone + ":20270101T120000\r\nRRULE:FREQ=DAILY\r\n");
    };
  };
  const auto leapZonesAskedInManyYears = [](const std::string& rule) {
    return [rule](int i) {
      const std::string zone = "L" + std::to_string(i % 3);
      std::string text;
      if (i < 3) {
        text = "BEGIN:VTIMEZONE\r\nTZID:" + zone + "\r\n";
        for (int k = 0; k < 128; ++k) {
          text += "BEGIN:STANDARD\r\nDTSTART:" + std::to_string(1604 + 4 * (k % 24)) +
                  "0229T020000\r\nTZOFFSETFROM:+0" + std::to_string(k % 10) + "00\r\nTZOFFSETTO:+0" +
                  std::to_string((k + 1) % 10) + "00\r\nRRULE:FREQ=YEARLY;" + rule + "\r\nEND:STANDARD\r\n";
        }
        text += "END:VTIMEZONE\r\n";
      }
      return text + Event("SUMMARY:E\r\nDTSTART;TZID=" + zone + ":" + std::to_string(1702 + 4 * ((i * 37) % 2000)) +
                          "0301T120000\r\n");
    };
  };
  // Each piece is an event read, the years of its zone worked out (the one
  // asked about, the ones looked back through) and its rules' onsets in them.
  const struct {
    std::function<std::string(int)> piece;
    std::size_t mostStepsPerPiece;
  } shapes[] = {
      // Series and changed occurrences, all of one UID.
      {[](int i) {
         return i % 2 == 0 ? Event("UID:one\r\nSUMMARY:S" + std::to_string(i) +
                                   "\r\nDTSTART:20260101T090000\r\nRRULE:FREQ=DAILY\r\n")
                           : Event(
                                 "UID:one\r\nSUMMARY:C\r\nRECURRENCE-ID:20260201T090000\r\n"
                                 "DTSTART:20260201T100000\r\n");
       },
       2},
      // Never: a look back goes straight to 1601, not through 426 years.
      {zoneUsedByAnEvent("BYMONTH=2;BYMONTHDAY=30"), 8},
      // Once in 28 years: the 8 rules in the year found, and a few years.
      {zoneUsedByAnEvent("BYMONTH=2;BYMONTHDAY=29;BYDAY=MO"), 8 + 16},
      // A few zones of 128 rules that match on 29 February only, each asked
      // about by events in years of their own: the rules in the year asked
      // and in the one looked back to.
      {leapZonesAskedInManyYears("BYMONTH=2;BYMONTHDAY=29"), 8 + 2 * 128},
      {leapZonesAskedInManyYears("BYMONTH=2;BYDAY=5SU"), 8 + 2 * 128},
  };
  constexpr std::size_t kPieces = 100;
  const auto steps = [](const std::function<std::string(int)>& piece, std::size_t pieces) {
    std::string body;
    for (std::size_t i = 0; i < pieces; ++i) body += piece(static_cast<int>(i));
    TestImport import(kNow);
    return ReadCalendar(Calendar(body), L"Work.ics", import.context).steps;
  };
  for (const auto& shape : shapes) {
    const std::size_t once = steps(shape.piece, kPieces);
    const std::size_t twice = steps(shape.piece, 2 * kPieces);
    EXPECT_GE(once, kPieces);
    EXPECT_LE(once, kPieces * shape.mostStepsPerPiece);
    EXPECT_LE(twice, 2 * once + 8 + once / 100) << once;  // a shape of leap years varies a little
  }
}

// Exit while a long file is read: the reader asks before each event and
// stops at the first "cancelled", a bounded number of steps later.
TEST(CalendarImport, ReadingStopsSoonAfterItIsCancelled) {
  std::string zone = "BEGIN:VTIMEZONE\r\nTZID:Leap\r\n";
  for (int k = 0; k < 128; ++k) {
    zone += "BEGIN:STANDARD\r\nDTSTART:16040229T020000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0" +
            std::to_string(k % 10) + "00\r\nRRULE:FREQ=YEARLY;BYMONTH=2;BYDAY=5SU\r\nEND:STANDARD\r\n";
  }
  std::string body = zone + "END:VTIMEZONE\r\n";
  for (int i = 0; i < 2000; ++i) {
    body += Event("SUMMARY:E\r\nDTSTART;TZID=Leap:" + std::to_string(1700 + i * 3) + "0301T120000\r\n");
  }
  constexpr int kAnsweredNo = 20;
  TestImport import(kNow);
  int asked = 0;
  import.context.cancelled = [&asked] { return ++asked > kAnsweredNo;
};
const CalendarReading reading = ReadCalendar(Calendar(body), L"Work.ics", import.context);
EXPECT_EQ(reading.status, ImportStatus::Cancelled);
EXPECT_TRUE(reading.events.empty());
EXPECT_EQ(asked, kAnsweredNo + 1);
EXPECT_LE(reading.steps, kAnsweredNo * 4 * 128u);  // events read x (a year's rules + a look back)
EXPECT_EQ(PlaceAlerts(reading, L"Work.ics", import.table, import.context).imported, 0);
}
