// Repeats: the five modes as firing moves them, the rules on RFC 5545's own
// examples and rows worked out by hand, the RRULE reader and writer, the
// words, and a bound on the work. The table of generated rules is in
// recurrence_table_test.cpp.
#include <gtest/gtest.h>

#include "after_firing.h"
#include "date_format.h"
#include "editor_rules.h"
#include "recurrence_next.h"
#include "recurrence_text.h"
#include "recurrence_words.h"
#include "test_support.h"
#include "utf8_text.h"

namespace {

RepeatRule Rule(std::string_view text) {
  const RuleReading reading = ParseRecurrenceRule(text);
  EXPECT_TRUE(reading.rule) << text << ": " << WideToUtf8(reading.reason);
  return reading.rule.value_or(RepeatRule{});
}

std::wstring Text(const std::optional<DateValue>& value) {
  return value ? FormatDate(*value, L"yyyy-mm-dd hh:nn") : L"none";
}

// The first `count` occurrences from the start on, "none" once it ends.
std::wstring Occurrences(const Recurrence& recurrence, DateValue start, int count) {
  std::wstring text;
  DateValue after = start - 1.0 / 1440.0;
  for (int i = 0; i < count; ++i) {
    const std::optional<DateValue> next = NextOccurrenceAfter(recurrence, start, after);
    text += (i > 0 ? L" " : L"") + Text(next);
    if (!next) break;
    after = *next;
  }
  return text;
}

// The moves of firing, one by one.
std::optional<DateValue> MovedPast(RepeatMode mode, DateValue start, DateValue after) {
  AlarmRecord alarm = ActiveAlarm(L"x", start, mode);
  while (alarm.Tijd <= after) {
    if (MoveOnAfterFiring(alarm, alarm.Tijd) != AfterFiring::MovedOn) return std::nullopt;
  }
  return alarm.Tijd;
}

}  // namespace

TEST(Recurrence, ModesJumpToWhereTheMovesOfFiringLand) {
  const DateValue starts[] = {At(2025, 1, 31, 9, 30), At(2024, 2, 29, 8),       At(2023, 1, 30, 7, 15, 40),
                              At(1990, 6, 15, 12),    At(2023, 12, 29, 23, 59), At(1999, 3, 31, 0, 1)};
  const double gaps[] = {-1.0, 0.0, 0.5, 45.0, 400.25, 3650.7};
  for (const DateValue start : starts) {
    for (const RepeatMode mode : {EachDay, EachWeek, EachMonth, EachYear}) {
      for (const double gap : gaps) {
        EXPECT_EQ(NextOccurrenceAfter(mode, start, start + gap), MovedPast(mode, start, start + gap))
            << Text(start) << " mode " << mode << " gap " << gap;
      }
    }
  }
}

TEST(Recurrence, ModesMoveAsAFiredAlertDoes) {
  EXPECT_EQ(Occurrences(EachMonth, At(2025, 1, 31, 9), 4),
            L"2025-01-31 09:00 2025-03-03 09:00 2025-04-03 09:00 "
            L"2025-05-03 09:00");
  EXPECT_EQ(Occurrences(EachYear, At(2024, 2, 29, 9), 3), L"2024-02-29 09:00 2025-03-01 09:00 2026-03-01 09:00");
  EXPECT_EQ(Occurrences(Once, At(2026, 5, 1, 9), 2), L"2026-05-01 09:00 none");
  EXPECT_EQ(Occurrences(static_cast<RepeatMode>(7), At(2026, 5, 1, 9), 1), L"none");
  EXPECT_EQ(NextOccurrenceAfter(EachYear, At(9999, 6, 1, 9), At(9999, 6, 1, 9)), std::nullopt);
}

TEST(Recurrence, RulesOccurAsRfc5545sExamples) {
  struct Row {
    const char* rule;
    DateValue start;
    int count;
    const wchar_t* expected;
  };
  // The examples of RFC 5545, 3.8.5.3, at 09:00 wall-clock time.
  const Row rows[] = {
      {"FREQ=WEEKLY;INTERVAL=2;COUNT=4;BYDAY=TU,SU;WKST=MO", At(1997, 8, 5, 9), 5,
       L"1997-08-05 09:00 1997-08-10 09:00 1997-08-19 09:00 1997-08-24 09:00 none"},
      {"FREQ=WEEKLY;INTERVAL=2;COUNT=4;BYDAY=TU,SU;WKST=SU", At(1997, 8, 5, 9), 5,
       L"1997-08-05 09:00 1997-08-17 09:00 1997-08-19 09:00 1997-08-31 09:00 none"},
      {"FREQ=MONTHLY;INTERVAL=2;COUNT=10;BYDAY=1SU,-1SU", At(1997, 9, 7, 9), 11,
       L"1997-09-07 09:00 1997-09-28 09:00 1997-11-02 09:00 1997-11-30 09:00 1998-01-04 09:00 1998-01-25 09:00 "
       L"1998-03-01 09:00 1998-03-29 09:00 1998-05-03 09:00 1998-05-31 09:00 none"},
      {"FREQ=MONTHLY;BYMONTHDAY=-3", At(1997, 9, 28, 9), 6,
       L"1997-09-28 09:00 1997-10-29 09:00 1997-11-28 09:00 1997-12-29 09:00 1998-01-29 09:00 1998-02-26 09:00"},
      {"FREQ=MONTHLY;BYMONTHDAY=15,30;COUNT=5", At(2007, 1, 15, 9), 6,
       L"2007-01-15 09:00 2007-01-30 09:00 2007-02-15 09:00 2007-03-15 09:00 2007-03-30 09:00 none"},
      {"FREQ=YEARLY;INTERVAL=2;COUNT=10;BYMONTH=1,2,3", At(1997, 3, 10, 9), 5,
       L"1997-03-10 09:00 1999-01-10 09:00 1999-02-10 09:00 1999-03-10 09:00 2001-01-10 09:00"},
      {"FREQ=YEARLY;BYDAY=20MO", At(1997, 5, 19, 9), 3, L"1997-05-19 09:00 1998-05-18 09:00 1999-05-17 09:00"},
      {"FREQ=YEARLY;INTERVAL=4;BYMONTH=11;BYDAY=TU;BYMONTHDAY=2,3,4,5,6,7,8", At(1996, 11, 5, 9), 3,
       L"1996-11-05 09:00 2000-11-07 09:00 2004-11-02 09:00"},
      {"FREQ=MONTHLY;COUNT=3;BYDAY=TU,WE,TH;BYSETPOS=3", At(1997, 9, 4, 9), 4,
       L"1997-09-04 09:00 1997-10-07 09:00 1997-11-06 09:00 none"},
      {"FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-2", At(1997, 9, 29, 9), 4,
       L"1997-09-29 09:00 1997-10-30 09:00 1997-11-27 09:00 1997-12-30 09:00"},
  };
  for (const Row& row : rows) EXPECT_EQ(Occurrences(Rule(row.rule), row.start, row.count), row.expected) << row.rule;

  // Friday the 13th, with the unmatched start left out as the RFC does.
  RepeatRule fridays = Rule("FREQ=MONTHLY;BYDAY=FR;BYMONTHDAY=13");
  fridays.leftOut = {At(1997, 9, 2, 9)};
  EXPECT_EQ(Occurrences(fridays, At(1997, 9, 2, 9), 3), L"1998-02-13 09:00 1998-03-13 09:00 1998-11-13 09:00");
}

TEST(Recurrence, RulesOccurAsWorkedOutByHand) {
  struct Row {
    const char* rule;
    DateValue start;
    DateValue after;
    const wchar_t* expected;
  };
  const Row rows[] = {
      // A start the rule does not name is no occurrence: Tuesday, then Friday.
      {"FREQ=WEEKLY;BYDAY=FR", At(2026, 1, 6, 9), At(2026, 1, 1), L"2026-01-09 09:00"},
      // UNTIL is inclusive; a date alone keeps its whole day.
      {"FREQ=DAILY;UNTIL=20260110", At(2026, 1, 5, 9), At(2026, 1, 10, 8), L"2026-01-10 09:00"},
      {"FREQ=DAILY;UNTIL=20260110", At(2026, 1, 5, 9), At(2026, 1, 10, 9), L"none"},
      {"FREQ=DAILY;UNTIL=20260110T090000", At(2026, 1, 5, 9), At(2026, 1, 10, 8), L"2026-01-10 09:00"},
      {"FREQ=DAILY;UNTIL=20260110T085959", At(2026, 1, 5, 9), At(2026, 1, 10, 8), L"none"},
      {"FREQ=DAILY;UNTIL=20260101", At(2026, 1, 5, 9), At(2025, 1, 1), L"none"},
      // RFC 5545's BYSETPOS counts in the whole first week, days before the
      // start too (python3-dateutil counts from the start).
      {"FREQ=WEEKLY;BYDAY=MO,TU,TH,FR;BYSETPOS=1", At(2400, 2, 29, 20), At(2400, 2, 1), L"2400-03-06 20:00"},
      // Rare matches: 29 February on a Monday; 2100 is no leap year.
      {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29;BYDAY=MO", At(2024, 2, 29, 9), At(2024, 3, 1), L"2044-02-29 09:00"},
      {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29", At(2096, 2, 29, 9), At(2096, 3, 1), L"2104-02-29 09:00"},
      // Rules that never match end.
      {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30", At(2026, 1, 1, 9), At(2026, 1, 1), L"none"},
      {"FREQ=DAILY;BYMONTH=4;BYMONTHDAY=31", At(2026, 1, 1, 9), At(2026, 1, 1), L"none"},
      {"FREQ=MONTHLY;BYDAY=MO;BYSETPOS=6", At(2026, 1, 1, 9), At(2026, 1, 1), L"none"},
      {"FREQ=DAILY;INTERVAL=7;BYDAY=TU", At(2026, 1, 5, 9), At(2026, 1, 1), L"none"},
      // Past 31 December 9999.
      {"FREQ=YEARLY", At(9999, 6, 1, 9), At(9999, 6, 1, 9), L"none"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Text(NextOccurrenceAfter(Rule(row.rule), row.start, row.after)), row.expected) << row.rule;
  }
  // Left-out dates still count toward COUNT.
  RepeatRule threeDays = Rule("FREQ=DAILY;COUNT=3");
  threeDays.leftOut = {At(2026, 1, 6, 9)};
  EXPECT_EQ(Occurrences(threeDays, At(2026, 1, 5, 9), 3), L"2026-01-05 09:00 2026-01-07 09:00 none");
}

TEST(Recurrence, WorkDoesNotGrowWithTheYearsSinceTheStart) {
  struct Row {
    Recurrence recurrence;
    DateValue start;
    DateValue after;
    const wchar_t* expected;
    std::size_t maxSteps;
  };
  const DateValue since1900 = At(1900, 1, 1, 9);  // a Monday
  const Row rows[] = {
      {Rule("FREQ=DAILY"), since1900, At(2026, 6, 15, 12), L"2026-06-16 09:00", 3},
      {Rule("FREQ=DAILY;COUNT=5"), since1900, At(2026, 6, 15, 12), L"none", 3},
      // 2 a week: the 6,000th is on Wednesday of the 3,000th week.
      {Rule("FREQ=DAILY;BYDAY=MO,WE;COUNT=6000"), since1900, At(1957, 6, 25, 12), L"1957-06-26 09:00", 3},
      {Rule("FREQ=DAILY;BYDAY=MO,WE;COUNT=6000"), since1900, At(1957, 6, 26, 12), L"none", 3},
      // 3,299 fortnights from 1 January 1900 is 15 June 2026.
      {Rule("FREQ=WEEKLY;INTERVAL=2;COUNT=100000"), since1900, At(2026, 6, 15, 12), L"2026-06-29 09:00", 3},
      {Rule("FREQ=MONTHLY;BYMONTHDAY=15"), since1900, At(2026, 6, 15, 12), L"2026-07-15 09:00", 3},
      {EachDay, since1900, At(2026, 6, 15, 12), L"2026-06-16 09:00", 4},
      {EachMonth, At(1900, 1, 31, 9), At(2026, 6, 15, 12), L"2026-07-03 09:00", 6},
      // A monthly COUNT counts its months: 1,519 from January 1900 to July 2026.
      {Rule("FREQ=MONTHLY;BYMONTHDAY=1;COUNT=2000"), since1900, At(2026, 6, 15, 12), L"2026-07-01 09:00", 1600},
      // A rule that never matches gives up after 400 years of months.
      {Rule("FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30"), since1900, At(2026, 6, 15, 12), L"none", 4900},
  };
  for (const Row& row : rows) {
    std::size_t steps = 0;
    EXPECT_EQ(Text(NextOccurrenceAfter(row.recurrence, row.start, row.after, &steps)), row.expected)
        << WideToUtf8(row.expected);
    EXPECT_LE(steps, row.maxSteps) << WideToUtf8(row.expected);
  }
}

TEST(Recurrence, ReaderTakesAnyOrderAndCaseAndWritesOneForm) {
  struct Row {
    const char* read;
    const char* written;
  };
  const Row rows[] = {
      {"freq=weekly;byday=th,mo;interval=2", "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH"},
      {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;UNTIL=20271231T235900",
       "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;UNTIL=20271231T235900"},
      {"FREQ=MONTHLY;BYDAY=+1MO", "FREQ=MONTHLY;BYDAY=1MO"},
      {"BYDAY=-1SU;BYMONTH=3;FREQ=YEARLY;UNTIL=20301231", "FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU;UNTIL=20301231"},
      {"FREQ=MONTHLY;BYSETPOS=-1;BYDAY=FR,MO,TU,WE,TH", "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1"},
      {"FREQ=DAILY;INTERVAL=1;WKST=MO", "FREQ=DAILY"},
      {"FREQ=MONTHLY;BYMONTHDAY=-1,15,1,15", "FREQ=MONTHLY;BYMONTHDAY=1,15,-1"},
      {"FREQ=WEEKLY;COUNT=10;WKST=SU;BYDAY=TU,TH", "FREQ=WEEKLY;BYDAY=TU,TH;WKST=SU;COUNT=10"},
      {";FREQ=DAILY;;", "FREQ=DAILY"},
  };
  for (const Row& row : rows) EXPECT_EQ(Rfc5545Text(Rule(row.read)), row.written) << row.read;
  EXPECT_EQ(Rfc5545Text(EachMonth), "FREQ=MONTHLY");
  EXPECT_EQ(Rfc5545Text(EachDay), "FREQ=DAILY");
  EXPECT_EQ(Rfc5545Text(Once), "");
}

TEST(Recurrence, ReaderNamesWhatItCannotTake) {
  struct Row {
    const char* read;
    const wchar_t* reason;
  };
  const Row rows[] = {
      {"", L"FREQ is missing"},
      {"INTERVAL=2", L"FREQ is missing"},
      {"FREQ=HOURLY", L"FREQ=HOURLY is not supported"},
      {"FREQ=FORTNIGHTLY", L"FREQ=FORTNIGHTLY is not a frequency"},
      {"FREQ=DAILY;BYHOUR=9", L"BYHOUR is not supported"},
      {"FREQ=YEARLY;BYWEEKNO=20", L"BYWEEKNO is not supported"},
      {"FREQ=DAILY;X-NAME=1", L"unknown part X-NAME"},
      {"FREQ=DAILY;FREQ=WEEKLY", L"FREQ is given twice"},
      {"FREQ=DAILY;BYDAY", L"part BYDAY has no value"},
      {"FREQ=DAILY;COUNT=5;UNTIL=20270101", L"COUNT and UNTIL cannot go together"},
      {"FREQ=WEEKLY;BYDAY=1MO", L"BYDAY with a number needs FREQ=MONTHLY or FREQ=YEARLY"},
      {"FREQ=MONTHLY;BYDAY=MO,1FR", L"BYDAY mixes weekdays with and without a number"},
      {"FREQ=WEEKLY;BYMONTHDAY=1", L"BYMONTHDAY cannot go with FREQ=WEEKLY"},
      {"FREQ=MONTHLY;BYMONTHDAY=0", L"BYMONTHDAY holds a day that does not exist"},
      {"FREQ=MONTHLY;BYSETPOS=-1", L"BYSETPOS needs BYDAY or BYMONTHDAY"},
      {"FREQ=MONTHLY;BYDAY=MO;BYSETPOS=1,-1", L"BYSETPOS with more than one place is not supported"},
      {"FREQ=MONTHLY;BYMONTHDAY=32", L"BYMONTHDAY=32 cannot be read"},
      {"FREQ=MONTHLY;BYDAY=0MO", L"BYDAY=0MO cannot be read"},
      {"FREQ=DAILY;INTERVAL=0", L"INTERVAL=0 cannot be read"},
      {"FREQ=DAILY;COUNT=0", L"COUNT=0 cannot be read"},
      {"FREQ=DAILY;UNTIL=20270231", L"UNTIL=20270231 cannot be read"},
      {"FREQ=DAILY;UNTIL=20271231T235900Z", L"UNTIL in UTC needs the time zone of the start"},
  };
  for (const Row& row : rows) {
    const RuleReading reading = ParseRecurrenceRule(row.read);
    EXPECT_FALSE(reading.rule) << row.read;
    EXPECT_EQ(reading.reason, row.reason) << row.read;
  }
}

TEST(Recurrence, ReaderTurnsAUtcUntilIntoLocalTime) {
  struct OneHourEast final : UntilZone {
    std::optional<DateValue> LocalOfUtc(DateValue utc) const override { return utc + 1.0 / 24.0; }
  } zone;
  const RuleReading reading = ParseRecurrenceRule("FREQ=DAILY;UNTIL=20271231T230000Z", &zone);
  ASSERT_TRUE(reading.rule) << WideToUtf8(reading.reason);
  EXPECT_EQ(Rfc5545Text(*reading.rule), "FREQ=DAILY;UNTIL=20280101T000000");
}

TEST(Recurrence, WordsSayTheRule) {
  struct Row {
    const char* rule;
    const wchar_t* words;
  };
  const Row rows[] = {
      {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;UNTIL=20271231T235900",
       L"Every 2 weeks on Monday and Thursday, until 31-12-2027"},
      {"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR", L"Every weekday"},
      {"FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR", L"Every weekday"},
      {"FREQ=MONTHLY;BYDAY=-1FR", L"The last Friday of every month"},
      {"FREQ=MONTHLY;INTERVAL=3;BYMONTHDAY=15;COUNT=10", L"Every 3 months on day 15, 10 times"},
      {"FREQ=DAILY;COUNT=1", L"Every day, once"},
      {"FREQ=DAILY;INTERVAL=3;UNTIL=20270105", L"Every 3 days, until 05-01-2027"},
      {"FREQ=DAILY;BYDAY=SA,SU", L"Every Saturday and Sunday"},
      {"FREQ=WEEKLY", L"Every week"},
      {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TU,WE,TH,FR", L"Every 2 weeks on weekdays"},
      {"FREQ=MONTHLY;BYMONTHDAY=1,15,-1", L"Every month on days 1 and 15 and the last day"},
      {"FREQ=MONTHLY;BYMONTHDAY=-2", L"Every month on the second last day"},
      {"FREQ=MONTHLY;BYMONTHDAY=13;BYDAY=FR", L"Every month on day 13 if a Friday"},
      {"FREQ=MONTHLY;BYDAY=TU", L"Every month on every Tuesday"},
      {"FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1", L"The last weekday of every month"},
      {"FREQ=MONTHLY;BYDAY=SA,SU;BYSETPOS=1", L"The first Saturday or Sunday of every month"},
      {"FREQ=MONTHLY;BYDAY=1MO,3MO", L"The first Monday and third Monday of every month"},
      {"FREQ=YEARLY;BYMONTH=12;BYMONTHDAY=25", L"Every year on 25 December"},
      {"FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU", L"The last Sunday of March every year"},
      {"FREQ=YEARLY;INTERVAL=2;BYMONTH=3,9;BYMONTHDAY=1", L"Every 2 years on day 1 in March and September"},
      {"FREQ=YEARLY;BYDAY=22MO", L"The 22nd Monday of every year"},
      {"FREQ=YEARLY;BYDAY=11MO,21TU,-13WE", L"The 11th Monday, 21st Tuesday and 13th last Wednesday of every year"},
      {"FREQ=MONTHLY;BYMONTHDAY=1,15;BYSETPOS=-2", L"The second last of days 1 and 15 of every month"},
      {"FREQ=MONTHLY;INTERVAL=2;BYDAY=-1FR;BYMONTH=1,3,5", L"The last Friday of every 2 months in January, March and May"},
  };
  for (const Row& row : rows) EXPECT_EQ(TextInWords(Rule(row.rule)), row.words) << row.rule;
  // The modes keep the editor's names.
  const std::wstring_view names[] = {L"Once", L"Each day", L"Each week", L"Each month", L"Each year"};
  for (const RepeatMode mode : {Once, EachDay, EachWeek, EachMonth, EachYear}) {
    EXPECT_EQ(TextInWords(mode), names[mode]);
  }
}

TEST(Recurrence, NearestModeForAReaderThatKnowsOnlyTheFive) {
  EXPECT_EQ(NearestMode(Rule("FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR")), EachDay);
  EXPECT_EQ(NearestMode(Rule("FREQ=DAILY;INTERVAL=14")), EachWeek);
  EXPECT_EQ(NearestMode(Rule("FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH")), EachWeek);
  EXPECT_EQ(NearestMode(Rule("FREQ=MONTHLY;BYDAY=-1FR")), EachMonth);
  EXPECT_EQ(NearestMode(Rule("FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU")), EachYear);
  EXPECT_EQ(NearestMode(Rule("FREQ=MONTHLY;COUNT=1")), Once);
}
