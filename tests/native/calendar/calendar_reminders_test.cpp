// The reminders of a followed calendar over a span of days, in Central Europe.
#include <gtest/gtest.h>

#include "calendar_reminders.h"
#include "calendar_test_support.h"
#include "test_support.h"

namespace {

std::string Calendar(std::string_view events) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nX-WR-CALNAME:Team\r\n" + std::string(events) +
         "END:VCALENDAR\r\n";
}

ReminderSpan Span(DateValue from, int days, std::optional<int> lead = 15) {
  ReminderSpan span;
  span.localZone = WestEurope();
  span.findWindowsZone = TestImport(0.0).context.findWindowsZone;
  span.from = from;
  span.to = from + days;
  span.leadMinutes = lead;
  return span;
}

struct Ring {
  DateValue due;
  std::wstring description;
};

struct Case {
  const char* what;
  std::string events;
  ReminderSpan span;
  std::vector<Ring> rings;
};

}  // namespace

TEST(CalendarReminders, EachOccurrenceOfTheSpanOnItsOwnClock) {
  const Case cases[] = {
      {"a weekly series without one date and with one moved, its alarm 10 minutes before",
       "BEGIN:VEVENT\r\nUID:w1\r\nSUMMARY:Stand-up\r\nDTSTART;TZID=W. Europe Standard Time:20261201T090000\r\n"
       "DTEND;TZID=W. Europe Standard Time:20261201T091500\r\nRRULE:FREQ=WEEKLY\r\n"
       "EXDATE;TZID=W. Europe Standard Time:20261215T090000\r\n"
       "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT10M\r\nEND:VALARM\r\nEND:VEVENT\r\n"
       "BEGIN:VEVENT\r\nUID:w1\r\nRECURRENCE-ID;TZID=W. Europe Standard Time:20261222T090000\r\n"
       "SUMMARY:Stand-up (moved)\r\nDTSTART;TZID=W. Europe Standard Time:20261222T110000\r\n"
       "DTEND;TZID=W. Europe Standard Time:20261222T111500\r\n"
       "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT10M\r\nEND:VALARM\r\nEND:VEVENT\r\n",
       Span(At(2026, 12, 7), 23),
       {{At(2026, 12, 8, 8, 50), L"Stand-up"},
        {At(2026, 12, 22, 10, 50), L"Stand-up (moved)"},
        {At(2026, 12, 29, 8, 50), L"Stand-up"}}},
      {"a cancelled occurrence and a cancelled event ring not",
       "BEGIN:VEVENT\r\nUID:c1\r\nSUMMARY:Daily\r\nDTSTART:20261207T080000Z\r\nRRULE:FREQ=DAILY;COUNT=3\r\n"
       "END:VEVENT\r\nBEGIN:VEVENT\r\nUID:c1\r\nRECURRENCE-ID:20261208T080000Z\r\nSTATUS:CANCELLED\r\n"
       "DTSTART:20261208T080000Z\r\nSUMMARY:Daily\r\nEND:VEVENT\r\n"
       "BEGIN:VEVENT\r\nUID:c2\r\nSUMMARY:Off\r\nSTATUS:CANCELLED\r\nDTSTART:20261207T100000Z\r\nEND:VEVENT\r\n",
       Span(At(2026, 12, 7), 14),
       {{At(2026, 12, 7, 8, 45), L"Daily"}, {At(2026, 12, 9, 8, 45), L"Daily"}}},
      {"across the end of summer time: Tokyo's 18:00 is 11:00, then 10:00 here; extra dates (RDATE) too",
       "BEGIN:VEVENT\r\nUID:t1\r\nSUMMARY:Tokyo\r\nDTSTART;TZID=Tokyo Standard Time:20261023T180000\r\n"
       "RRULE:FREQ=DAILY;COUNT=3\r\nRDATE:20261101T120000Z\r\nBEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER:PT0S\r\n"
       "END:VALARM\r\nEND:VEVENT\r\n",
       Span(At(2026, 10, 23), 14),
       {{At(2026, 10, 23, 11), L"Tokyo"},
        {At(2026, 10, 24, 11), L"Tokyo"},
        {At(2026, 10, 25, 10), L"Tokyo"},
        {At(2026, 11, 1, 13), L"Tokyo"}}},
      {"a series on the PC's clock keeps its hour through the change",
       "BEGIN:VEVENT\r\nUID:l1\r\nSUMMARY:Here\r\nDTSTART;TZID=W. Europe Standard Time:20261024T090000\r\n"
       "RRULE:FREQ=DAILY;UNTIL=20261025T235959Z\r\nEND:VEVENT\r\n",
       Span(At(2026, 10, 23), 14),
       {{At(2026, 10, 24, 8, 45), L"Here"}, {At(2026, 10, 25, 8, 45), L"Here"}}},
      {"no alarm: the lead before a timed event; an all-day event reminds only by its own alarm",
       "BEGIN:VEVENT\r\nUID:a1\r\nSUMMARY:Timed\r\nDTSTART:20261210T120000\r\nEND:VEVENT\r\n"
       "BEGIN:VEVENT\r\nUID:a2\r\nSUMMARY:Holiday\r\nDTSTART;VALUE=DATE:20261211\r\nEND:VEVENT\r\n"
       "BEGIN:VEVENT\r\nUID:a3\r\nSUMMARY:Birthday\r\nDTSTART;VALUE=DATE:20261212\r\n"
       "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15H\r\nEND:VALARM\r\nEND:VEVENT\r\n",
       Span(At(2026, 12, 9), 14, 30),
       {{At(2026, 12, 10, 11, 30), L"Timed"}, {At(2026, 12, 11, 9), L"Birthday"}}},
      {"no lead: an event without an alarm does not remind",
       "BEGIN:VEVENT\r\nUID:n1\r\nSUMMARY:Timed\r\nDTSTART:20261210T120000\r\nEND:VEVENT\r\n",
       Span(At(2026, 12, 9), 14, std::nullopt),
       {}},
      {"the earliest alarm, one after the end, and a fixed one for the first occurrence only",
       "BEGIN:VEVENT\r\nUID:e1\r\nSUMMARY:Two alarms\r\nDTSTART:20261210T100000Z\r\nDTEND:20261210T110000Z\r\n"
       "BEGIN:VALARM\r\nACTION:EMAIL\r\nTRIGGER:-P1D\r\nEND:VALARM\r\n"
       "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\n"
       "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT1H\r\nEND:VALARM\r\nEND:VEVENT\r\n"
       "BEGIN:VEVENT\r\nUID:e2\r\nSUMMARY:After\r\nDTSTART:20261211T100000Z\r\nDURATION:PT2H\r\n"
       "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;RELATED=END:PT0S\r\nEND:VALARM\r\nEND:VEVENT\r\n"
       "BEGIN:VEVENT\r\nUID:e3\r\nSUMMARY:Fixed\r\nDTSTART:20261212T100000Z\r\nRRULE:FREQ=DAILY;COUNT=2\r\n"
       "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;VALUE=DATE-TIME:20261211T200000Z\r\nEND:VALARM\r\nEND:VEVENT\r\n",
       Span(At(2026, 12, 9), 14),
       {{At(2026, 12, 10, 10), L"Two alarms"}, {At(2026, 12, 11, 13), L"After"}, {At(2026, 12, 11, 21), L"Fixed"}}},
      {"only the span: before it and after it nothing",
       "BEGIN:VEVENT\r\nUID:s1\r\nSUMMARY:Weekly\r\nDTSTART:20200106T090000\r\nRRULE:FREQ=WEEKLY\r\nEND:VEVENT\r\n",
       Span(At(2026, 12, 8, 8, 45), 7),
       {{At(2026, 12, 14, 8, 45), L"Weekly"}}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    const CalendarReminders read = RemindersOf(Calendar(test.events), test.span);
    EXPECT_TRUE(read.readable);
    EXPECT_EQ(read.name, L"Team");
    ASSERT_EQ(read.reminders.size(), test.rings.size());
    for (std::size_t i = 0; i < test.rings.size(); ++i) {
      EXPECT_NEAR(read.reminders[i].due, test.rings[i].due, 1e-6) << i;
      EXPECT_EQ(read.reminders[i].Description(), test.rings[i].description) << i;
    }
  }
}

TEST(CalendarReminders, WhatIsNotACalendarIsToldAndAnUnreadableEventCounted) {
  const ReminderSpan span = Span(At(2026, 12, 9), 14);
  const CalendarReminders page = RemindersOf("<html><body>Sign in</body></html>", span);
  EXPECT_FALSE(page.readable);
  EXPECT_NE(page.problem.find(L"not an iCalendar file"), std::wstring::npos) << page.problem;
  const CalendarReminders cut = RemindersOf("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:2026", span);
  EXPECT_FALSE(cut.readable);
  const CalendarReminders odd =
      RemindersOf(Calendar("BEGIN:VEVENT\r\nUID:x\r\nSUMMARY:Bad\r\nDTSTART:tomorrow\r\nEND:VEVENT\r\n"
                           "BEGIN:VEVENT\r\nUID:y\r\nSUMMARY:Good\r\nDTSTART:20261210T120000\r\nEND:VEVENT\r\n"),
                  span);
  EXPECT_EQ(odd.eventsNotFollowed, 1u);
  ASSERT_EQ(odd.reminders.size(), 1u);
  EXPECT_EQ(odd.reminders[0].eventEnd, At(2026, 12, 10, 12));
}
