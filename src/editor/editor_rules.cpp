#include "editor_rules.h"

#include "alarm_rule.h"
#include "date_format.h"
#include "date_parse.h"
#include "number_text.h"
#include "recurrence_next.h"
#include "recurrence_words.h"
#include "text_convert.h"

std::wstring EditRequestFor(int slot) { return WideDecimalText(slot); }

bool IsNewAlarmRequest(std::wstring_view request) { return LeadingNumber(request) == 500; }

EditorFields NewAlarmFields(DateValue now) {
  EditorFields fields;
  fields.txtDate = FormatDate(now, kEditorDatePattern);
  fields.txtTijd = FormatDate(now, kEditorTimePattern);
  fields.chkDelete = Checked;
  return fields;
}

EditorFields FieldsFromSlot(const AlarmRecord& alarm) {
  EditorFields fields;
  fields.chkActief = alarm.Actief ? Checked : Unchecked;
  fields.txtName = TrimBlanks(alarm.Naam);
  fields.txtDate = FormatDate(alarm.Tijd, kEditorDatePattern);
  fields.txtTijd = FormatDate(alarm.Tijd, kEditorTimePattern);
  const bool known = alarm.Repeat >= Once && alarm.Repeat <= EachYear;
  fields.cmbRepeat = known ? alarm.Repeat : -1;
  fields.chkDelete = alarm.Delete ? Checked : Unchecked;
  fields.sound = alarm.Sound;
  fields.soundUntilAnswered = alarm.SoundUntilAnswered;
  if (const auto rule = alarm.Rule.empty() ? std::nullopt : ReadAlarmRule(alarm.Rule)) {
    fields.rule = alarm.Rule;
    fields.ruleWords = TextInWords(rule->rule);
    fields.ruleDue = alarm.Tijd;
    fields.cmbRepeat = kRuleEntry;
  }
  return fields;
}

std::optional<RepeatRule> ChosenRule(const EditorFields& fields) {
  if (fields.cmbRepeat != kRuleEntry) return std::nullopt;
  const auto rule = ReadAlarmRule(fields.rule);
  if (!rule) return std::nullopt;
  return rule->rule;
}

DateValue CustomRuleStart(const EditorFields& fields, DateValue now) {
  const int year = SplitDate(now).year;
  const auto date = ParseDateText(fields.txtDate, year);
  const auto time = ParseDateText(fields.txtTijd, year);
  if (!date || !time || TimeOfDay(*date) != 0.0 || *time >= 1.0) return now;
  return CombineDateTime(*date, *time);
}

void ChooseRule(EditorFields& fields, const RepeatRule& rule) {
  fields.rule = AlarmRuleText(AlarmRule{rule, 0.0});
  fields.ruleWords = TextInWords(rule);
  fields.ruleDue = kRuleStartsAnew;
  fields.cmbRepeat = kRuleEntry;
}

EditorOutcome cmdOK_Record(const EditorFields& fields, int currentYear) {
  // Both texts are converted before anything is written, so that a refused
  // text leaves the slot as it was.
  const auto time = ParseDateText(fields.txtTijd, currentYear);
  if (!time || *time >= 1.0) {
    return {std::nullopt, EditorField::Time, Text(TextId::EditorBoxNotATime, {fields.txtTijd})};
  }
  const auto date = ParseDateText(fields.txtDate, currentYear);
  if (!date || TimeOfDay(*date) != 0.0) {
    return {std::nullopt, EditorField::Date, Text(TextId::EditorBoxNotADate, {fields.txtDate})};
  }
  auto rule = fields.cmbRepeat == kRuleEntry ? ReadAlarmRule(fields.rule) : std::nullopt;
  if ((fields.cmbRepeat < Once || fields.cmbRepeat > EachYear) && !rule) {
    return {std::nullopt, EditorField::Repeat, Text(TextId::EditorBoxNoRepeat)};
  }
  AlarmRecord alarm;
  alarm.Exist = true;
  alarm.Actief = fields.chkActief != Unchecked;
  alarm.Getoond = false;
  alarm.Naam = fields.txtName;
  alarm.Tijd = CombineDateTime(*date, *time);
  alarm.Repeat = fields.cmbRepeat;
  alarm.Sound = fields.sound;
  alarm.SoundUntilAnswered = fields.soundUntilAnswered;
  if (rule && alarm.Tijd != fields.ruleDue) {
    rule->start = alarm.Tijd;
    const auto first = FirstOccurrence(rule->rule, rule->start);
    if (!first) {
      return {std::nullopt, EditorField::Repeat,
              Text(TextId::EditorBoxRuleHasNoDate, {fields.ruleWords, fields.txtDate})};
    }
    alarm.Tijd = *first;
  }
  if (rule) SetRule(alarm, *rule);
  alarm.Delete = fields.chkDelete == Checked && (fields.cmbRepeat == Once || rule);
  return {alarm, EditorField::None, {}};
}
