// Real calendars written by other programs (../shared/ics-samples next to
// the repository), imported in Central Europe at a fixed time each.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "calendar_test_support.h"
#include "test_support.h"

namespace {

struct Imported {
  std::wstring naam;
  DateValue tijd;
  std::int32_t repeat;
  std::wstring rule = {};  // as the store keeps it
};

struct Sample {
  const char* file;
  DateValue now;
  std::wstring summary;  // for the file name "x.ics"
  std::vector<Imported> alerts;
};

std::filesystem::path SamplesFolder() {
  return std::filesystem::path(CHIMEWATCH_SOURCE_DIR).parent_path() / "shared" / "ics-samples";
}

}  // namespace

TEST(CalendarSamples, EachRealCalendarGivesWhatItShould) {
  const auto folder = SamplesFolder();
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no real calendars at " << folder << ": skipped";
  const Sample samples[] = {
      {"apple_ical1_vtodo_valarm.ics",
       At(2002, 10, 1, 12),
       L"Imported 3 alerts from x.ics. Not imported: \"Submit Income Taxes\" (already past). Times in the zone "
       L"\"US/Pacific\" were read as local time.",
       {{L"Coffee with Jason", At(2002, 10, 27, 14, 0), Once},  // a day before, by its VALARM
        {L"Code Review", At(2002, 11, 27, 12, 0), Once},
        {L"Dinner with T", At(2002, 12, 16, 20, 0), Once}}},
      {"apple_macos_status_folded.ics",
       At(2022, 7, 1, 12),
       L"Imported 3 alerts from x.ics. Not imported: \"Cancelled\" (cancelled). Times in the zone "
       L"\"America/Vancouver\" were read as local time.",
       {{L"Tentative", At(2022, 7, 5, 1, 0), Once},  // 23:00 UTC in summer time
        {L"Confirmed", At(2022, 7, 5, 9, 0), Once},
        {L"No Status", At(2022, 7, 7, 9, 0), Once}}},
      {"etar_android_alarm_future.ics",
       At(2024, 10, 1, 12),
       L"Imported 1 alert from x.ics.",
       {{L"event with alarms android", At(2024, 10, 5, 13, 30), Once}}},  // London 13:00 BST, 30 min before
      {"exchange2010_allday_biweekly_until.ics",
       At(2020, 4, 1, 12),
       L"Imported 1 alert from x.ics. Not imported: \"Refuse black bin\" (has a changed date ahead).",
       // The last Thursday at midnight in London is 01:00 here.
       {{L"Blue Recycle bin", At(2020, 4, 9), EachWeek,
         L"FREQ=WEEKLY;INTERVAL=2;BYDAY=TH;UNTIL=20200924T010000;DTSTART=00:00 2020/04/09"}}},
      {"exchange2010_event_alarm_dropped.ics",
       At(2024, 10, 1, 12),
       L"Imported 1 alert from x.ics. Not imported: \"test123\" (already past); \"test123 - edited event!!!!\" "
       L"(already past).",
       {{L"outlook event with alarm", At(2024, 10, 4, 19, 30), Once}}},  // GMT Standard Time 18:30 in BST
      {"exchange2010_ms_timezones.ics",
       At(2020, 9, 1, 12),
       L"Imported 2 alerts from x.ics. Not imported: \"Log Yesterday's Jira time\" (a value Chimewatch cannot read "
       L"on line 152); \"Not the actual summary either\" (some of its times in the coming year fall at another "
       L"time of day here).",
       {{L"test", At(2020, 9, 10, 9, 0), Once},
        {L"Not the actual summary 1", At(2020, 9, 15, 17, 30), Once}}},  // Pacific 08:30 PDT
      {"exchange_allday_moved_recurrence.ics",
       At(2026, 2, 1, 12),
       L"Imported no alerts from x.ics. Not imported: \"Exchange Recurring Test\" (has a changed date ahead).",
       {}},
      {"google_alarm_future.ics",
       At(2024, 10, 1, 12),
       L"Imported 1 alert from x.ics.",
       {{L"event with alarms", At(2024, 10, 4, 20, 0), Once}}},  // 18:15 UTC, its earliest display alarm 15 min before
      {"google_apple_x_location_folded.ics",
       At(2016, 10, 1, 12),
       L"Imported 1 alert from x.ics.",
       {{L"Daily Sync", At(2016, 10, 28, 14, 0), EachWeek,
         L"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;DTSTART=14:00 2016/10/28"}}},
      {"google_yearly_exdate_action_none.ics",
       At(2014, 7, 1, 12),
       L"Imported no alerts from x.ics. Not imported: \"Vespers for the Feast of St. Joseph\" (has a changed date "
       L"ahead).",
       {}},
      {"owa_quoted_tzid_no_vtimezone.ics",
       At(2020, 10, 1, 12),
       L"Imported 4 alerts from x.ics. Times in the zone \"(UTC-05:00) Eastern Time (US & Canada)\" were read as "
       L"local time.",
       {{L" TEST Syd", At(2020, 10, 28, 3, 30), Once},  // Sydney 13:30 in its summer, here in winter
        {L" TEST", At(2020, 10, 28, 13, 30), Once},
        {L" TEST 3", At(2020, 11, 2, 13, 30), Once},
        // Its start is a Monday; the rule names Thursday and Friday only.
        {L" TEST2", At(2020, 11, 5, 13, 30), EachWeek,
         L"FREQ=WEEKLY;BYDAY=TH,FR;WKST=SU;UNTIL=20210828T160000;DTSTART=13:30 2020/11/02"}}},
      {"owncloud_yearly_unicode.ics",
       At(2026, 12, 8, 12),
       L"Imported 1 alert from x.ics.",
       {{L"F\u00eate Nationale - F\u00e9ri\u00e9", At(2027, 7, 14), EachYear}}},
      {"thunderbird_alarm_snoozed.ics",
       At(2024, 10, 1, 12),
       L"Imported 1 alert from x.ics.",
       {{L"event with alarms", At(2024, 10, 23, 15, 15), Once}}},  // London 15:00 BST, the earlier alarm 45 min before
      {"thunderbird_vevent_vtodo_alarms.ics",
       At(2023, 12, 1, 12),
       L"Imported 3 alerts from x.ics. Not imported: \"event with alarm\" (has a changed date ahead).",
       {{L"todo with alarm after end", At(2023, 12, 16, 11, 0), Once},  // an hour after its due time
        {L"todo with alarm absolute 18:00", At(2023, 12, 13, 19, 0), Once},
        {L"todo with alarm", At(2023, 12, 17, 9, 0), EachDay,
         L"FREQ=DAILY;UNTIL=20231223T090000;DTSTART=09:00 2023/12/17"}}},
  };
  for (const Sample& sample : samples) {
    SCOPED_TRACE(sample.file);
    std::ifstream in(folder / sample.file, std::ios::binary);
    ASSERT_TRUE(in) << "missing";
    std::stringstream bytes;
    bytes << in.rdbuf();
    TestImport import(sample.now);
    const ImportResult result = import.Run(bytes.str(), L"x.ics");
    EXPECT_EQ(result.status, ImportStatus::Done);
    EXPECT_EQ(result.summary, sample.summary);
    ASSERT_EQ(result.newSlots.size(), sample.alerts.size());
    for (std::size_t i = 0; i < sample.alerts.size(); ++i) {
      const AlarmRecord& alert = import.table[result.newSlots[i]];
      EXPECT_EQ(alert.Naam, sample.alerts[i].naam);
      EXPECT_NEAR(alert.Tijd, sample.alerts[i].tijd, 0.5 / 86400) << alert.Naam;
      EXPECT_EQ(alert.Repeat, sample.alerts[i].repeat);
      EXPECT_EQ(alert.Rule, sample.alerts[i].rule);
    }
  }
}
