#include <gtest/gtest.h>

#include "alarm_store.h"
#include "custom_rule.h"
#include "editor_rules.h"
#include "sound_rules.h"
#include "recurrence_text.h"
#include "test_support.h"

namespace {

constexpr int kThisYear = 2026;

AlarmTable TableWithSlotsInUse(std::initializer_list<int> slots) {
  AlarmTable table;
  for (int slot : slots) table[slot].Exist = true;
  return table;
}

AlarmRecord Stored(const EditorFields& fields) {
  const EditorOutcome outcome = cmdOK_Record(fields, kThisYear);
  EXPECT_TRUE(outcome.alarm.has_value()) << testing::PrintToString(outcome.message);
  return outcome.alarm.value_or(AlarmRecord{});
}

}  // namespace

TEST(EditorRequest, TellsNewFromEdit) {
  EXPECT_TRUE(IsNewAlarmRequest(kNewAlarmRequest));
  EXPECT_FALSE(IsNewAlarmRequest(EditRequestFor(7)));
  EXPECT_EQ(EditRequestFor(100), L"100");
  EXPECT_FALSE(IsNewAlarmRequest(EditRequestFor(0)));
}

TEST(FindFreeSlot, TakesTheLowestFreeSlot) {
  EXPECT_EQ(FindFreeSlot(TableWithSlotsInUse({})), 0);
  EXPECT_EQ(FindFreeSlot(TableWithSlotsInUse({0, 1, 3})), 2);
  AlarmTable full;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) full[slot].Exist = true;
  EXPECT_EQ(FindFreeSlot(full), std::nullopt);
  full[100].Exist = false;
  EXPECT_EQ(FindFreeSlot(full), 100);
}

TEST(FindFreeSlot, SkipsSlotsHeldBackAfterADamagedLoad) {
  AlarmTable table = TableWithSlotsInUse({0, 1});
  table.Reserve(2);
  EXPECT_EQ(FindFreeSlot(table), 3);
}

TEST(EditorOK, NewAlarmWithoutChangesStoresTheDefaults) {
  const EditorFields fields = NewAlarmFields(At(2026, 12, 6, 14, 5, 37));
  EXPECT_EQ(fields.txtDate, L"26/12/06");
  EXPECT_EQ(fields.txtTijd, L"14:05");
  const AlarmRecord alarm = Stored(fields);
  EXPECT_TRUE(alarm.Exist);
  EXPECT_TRUE(alarm.Actief);
  EXPECT_FALSE(alarm.Getoond);
  EXPECT_EQ(alarm.Naam, L"Alert !!");
  EXPECT_EQ(alarm.Tijd, At(2026, 12, 6, 14, 5));
  EXPECT_EQ(alarm.Repeat, Once);
  EXPECT_TRUE(alarm.Delete);
}

TEST(EditorOK, EditWithoutChangesRearmsAndTidies) {
  AlarmRecord before;
  before.Exist = true;
  before.Actief = false;
  before.Getoond = true;
  before.Naam = L"  Meeting  ";
  before.Tijd = At(2026, 12, 24, 18, 30, 45);
  before.Repeat = EachWeek;
  before.Delete = true;
  before.Sound = L"C:\\Media\\gong.wav";
  before.SoundUntilAnswered = true;
  const EditorFields fields = FieldsFromSlot(before);
  EditorFields expected{Unchecked, L"Meeting", L"26/12/24", L"18:30", EachWeek, Checked};
  expected.sound = before.Sound;
  expected.soundUntilAnswered = true;
  EXPECT_EQ(fields, expected);
  const AlarmRecord after = Stored(fields);
  EXPECT_EQ(std::tie(after.Sound, after.SoundUntilAnswered), std::tie(before.Sound, before.SoundUntilAnswered));
  EXPECT_EQ(after.Naam, L"Meeting");
  EXPECT_EQ(after.Tijd, At(2026, 12, 24, 18, 30));
  EXPECT_FALSE(after.Getoond);
  EXPECT_FALSE(after.Actief);
  EXPECT_FALSE(after.Delete);  // never stored for a repeating alarm
}

TEST(EditorOK, ReadsCheckBoxesAsTheyAreMeant) {
  EditorFields fields = NewAlarmFields(At(2026, 12, 6, 14, 5));
  fields.chkActief = Grayed;
  fields.chkDelete = Grayed;
  EXPECT_TRUE(Stored(fields).Actief);
  EXPECT_FALSE(Stored(fields).Delete);
  fields.chkActief = Unchecked;
  EXPECT_FALSE(Stored(fields).Actief);
  fields.txtName = L"";
  EXPECT_EQ(Stored(fields).Naam, L"");
}

TEST(EditorOK, RefusesTextsThatAreNoDateOrTime) {
  EditorFields fields = NewAlarmFields(At(2026, 12, 6, 14, 5));
  fields.txtDate = L"next friday";
  EditorOutcome outcome = cmdOK_Record(fields, kThisYear);
  EXPECT_FALSE(outcome.alarm);
  EXPECT_EQ(outcome.badField, EditorField::Date);
  EXPECT_NE(outcome.message.find(L"next friday"), std::wstring::npos);

  fields.txtDate = L"14:05";  // a time where the date belongs
  EXPECT_EQ(cmdOK_Record(fields, kThisYear).badField, EditorField::Date);

  fields.txtDate = L"26/12/06";
  fields.txtTijd = L"25:00";
  outcome = cmdOK_Record(fields, kThisYear);
  EXPECT_EQ(outcome.badField, EditorField::Time);
  fields.txtTijd = L"26/12/06";  // a date where the time belongs
  EXPECT_EQ(cmdOK_Record(fields, kThisYear).badField, EditorField::Time);
}

TEST(EditorOK, HandEditedRepeatShowsNoEntryAndAsksForOne) {
  AlarmRecord odd;
  odd.Exist = true;
  odd.Tijd = At(2026, 12, 24, 18, 30);
  odd.Repeat = 7;
  EditorFields fields = FieldsFromSlot(odd);
  EXPECT_EQ(fields.cmbRepeat, -1);
  EXPECT_EQ(cmdOK_Record(fields, kThisYear).badField, EditorField::Repeat);
  fields.cmbRepeat = EachDay;
  EXPECT_EQ(Stored(fields).Repeat, EachDay);
}

TEST(EditorOK, KeepsARuleUnlessAModeIsChosen) {
  const AlarmRecord before = RuleAlarm(L"Review", At(2026, 12, 24, 18, 30),
                                       L"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;DTSTART=18:30 2026/12/07", true);
  EditorFields fields = FieldsFromSlot(before);
  EXPECT_EQ(fields.cmbRepeat, kRuleEntry);
  EXPECT_EQ(fields.ruleWords, L"Every 2 weeks on Monday and Thursday");
  AlarmRecord after = Stored(fields);
  EXPECT_EQ(after.Rule, before.Rule);
  EXPECT_EQ(after.Repeat, EachWeek);
  EXPECT_TRUE(after.Delete);
  fields.txtTijd = L"19:00";  // a new time starts the series there
  EXPECT_EQ(Stored(fields).Rule, L"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;DTSTART=19:00 2026/12/24");
  fields.cmbRepeat = EachDay;
  after = Stored(fields);
  EXPECT_EQ(after.Rule, L"");
  EXPECT_EQ(after.Repeat, EachDay);
  EXPECT_FALSE(after.Delete);
}

TEST(EditorOK, ARuleFromTheCustomDialogStartsAtItsFirstDateFromTheEnteredOne) {
  EditorFields fields = NewAlarmFields(At(2026, 12, 8, 12, 0));
  fields.txtDate = L"26/12/26";  // a Saturday
  fields.txtTijd = L"09:15";
  RepeatRule weekdays;
  weekdays.frequency = RuleFrequency::Weekly;
  weekdays.byWeekday = 0x3E;
  ChooseRule(fields, weekdays);
  EXPECT_EQ(fields.ruleWords, L"Every weekday");
  AlarmRecord alert = Stored(fields);
  EXPECT_EQ(alert.Tijd, At(2026, 12, 28, 9, 15));
  EXPECT_EQ(alert.Rule, L"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;DTSTART=09:15 2026/12/26");
  EXPECT_TRUE(alert.Delete);
  // A rule with no date left is refused, not stored as due never.
  ChooseRule(fields, *ParseRecurrenceRule("FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30").rule);
  EXPECT_EQ(cmdOK_Record(fields, kThisYear).badField, EditorField::Repeat);
}

TEST(CustomRule, FieldsMakeTheRuleAndShowItAgain) {
  const DateValue start = At(2026, 12, 24, 18, 30);  // a Thursday in December
  const auto fields = [](std::wstring interval, int unit, std::array<int, 7> days, int place, int weekday, int end,
                         std::wstring endText) {
    return CustomRuleFields{std::move(interval), unit, days, place, weekday, end, std::move(endText)};
  };
  const struct {
    CustomRuleFields fields;
    const char* rule;
  } cases[] = {
      {CustomFieldsFor(nullptr, start), "FREQ=WEEKLY;BYDAY=TH"},
      {fields(L"1", 1, {1, 1, 1, 1, 1, 0, 0}, 0, 0, 0, L""), "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR"},
      {fields(L"2", 1, {1, 0, 0, 1, 0, 0, 0}, 0, 0, 2, L"2027/12/31"),
       "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;UNTIL=20271231"},
      {fields(L"1", 0, {1, 1, 1, 1, 1, 1, 1}, 0, 0, 0, L""), "FREQ=DAILY"},
      {fields(L"1", 2, {}, 5, 4, 0, L""), "FREQ=MONTHLY;BYDAY=-1FR"},
      {fields(L"3", 2, {}, 0, 0, 1, L"10"), "FREQ=MONTHLY;INTERVAL=3;COUNT=10"},
      {fields(L"1", 3, {}, 2, 0, 0, L""), "FREQ=YEARLY;BYMONTH=12;BYDAY=2MO"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    const CustomRuleOutcome made = RuleFromCustomFields(c.fields, start);
    ASSERT_TRUE(made.rule) << testing::PrintToString(made.message);
    EXPECT_EQ(Rfc5545Text(*made.rule), c.rule);
    const CustomRuleFields shown = CustomFieldsFor(&*made.rule, start);
    EXPECT_EQ(RuleFromCustomFields(shown, start).rule, made.rule);
  }
  // A place the dialog does not offer (the fifth) shows as the start's day, not as the last.
  const RepeatRule fifth = *ParseRecurrenceRule("FREQ=MONTHLY;BYDAY=5FR").rule;
  EXPECT_EQ(CustomFieldsFor(&fifth, start).cmbPlace, 0);
  const struct {
    CustomRuleFields fields;
    CustomRuleField bad;
  } refused[] = {
      {fields(L"0", 1, {}, 0, 0, 0, L""), CustomRuleField::Interval},
      {fields(L"1000", 1, {}, 0, 0, 0, L""), CustomRuleField::Interval},
      {fields(L"2x", 1, {}, 0, 0, 0, L""), CustomRuleField::Interval},
      {fields(L"1", 1, {}, 0, 0, 1, L""), CustomRuleField::End},
      {fields(L"1", 1, {}, 0, 0, 2, L"31-12-2027"), CustomRuleField::End},  // not the editor's date form
      {fields(L"1", 1, {}, 0, 0, 2, L"2026/12/23"), CustomRuleField::End},  // before the first alert
  };
  for (const auto& c : refused) {
    const CustomRuleOutcome made = RuleFromCustomFields(c.fields, start);
    EXPECT_FALSE(made.rule) << testing::PrintToString(c.fields.txtInterval + L" " + c.fields.txtEnd);
    EXPECT_EQ(made.badField, c.bad);
  }
}

TEST(SoundDialog, ShowsTheAlertsSoundAndKeepsWhatOKTakes) {
  const struct {
    std::wstring stored;
    bool untilAnswered;
    SoundFields shown;
  } kShown[] = {
      {L"", false, {ReminderOption, L"", Unchecked}},
      {L"none", true, {NoSoundOption, L"", Checked}},
      {L"C:\\Media\\gong.wav", true, {FileOption, L"C:\\Media\\gong.wav", Checked}},
  };
  for (const auto& row : kShown) {
    EXPECT_EQ(SoundFieldsFor(row.stored, row.untilAnswered), row.shown) << row.stored;
    const SoundOutcome kept = cmdSoundOK_Record(row.shown);
    EXPECT_EQ(kept.sound, row.stored);
    EXPECT_EQ(kept.untilAnswered, row.untilAnswered);
  }
  // A file typed in is trimmed; the file kept while another choice is made is not stored.
  EXPECT_EQ(cmdSoundOK_Record({FileOption, L"  D:\\a.wav ", Unchecked}).sound, L"D:\\a.wav");
  EXPECT_EQ(cmdSoundOK_Record({ReminderOption, L"D:\\a.wav", Unchecked}).sound, L"");
  for (const std::wstring_view noFile : {L"", L"   ", L"None"}) {
    const SoundOutcome refused = cmdSoundOK_Record({FileOption, std::wstring(noFile), Checked});
    EXPECT_EQ(refused.sound, std::nullopt);
    EXPECT_EQ(refused.message, L"Choose the sound file with Browse..., or another sound.");
  }
}
