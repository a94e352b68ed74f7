// The fields of the "Custom..." repeat dialog and the rule they make: every
// N days, weeks, months or years; the weekdays of a week; in a month or
// year the start's day, or the first to fourth or the last of a weekday;
// an end never, after a number of times, or on a date.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "date_value.h"
#include "recurrence.h"
#include "text_table.h"

// The entries of the dialog's lists. Weekdays are Monday first, as the
// check boxes and the weekday list show them.
inline constexpr std::array<TextId, 4> kRuleUnitTexts = {TextId::CustomListDays, TextId::CustomListWeeks,
                                                         TextId::CustomListMonths, TextId::CustomListYears};
inline constexpr std::array<TextId, 6> kRulePlaceTexts = {TextId::CustomListOnStartDay, TextId::CustomListOnFirst,
                                                          TextId::CustomListOnSecond,   TextId::CustomListOnThird,
                                                          TextId::CustomListOnFourth,   TextId::CustomListOnLast};
inline constexpr std::array<TextId, 7> kRuleWeekdayTexts = {
    TextId::CustomListMonday, TextId::CustomListTuesday,  TextId::CustomListWednesday, TextId::CustomListThursday,
    TextId::CustomListFriday, TextId::CustomListSaturday, TextId::CustomListSunday};
inline constexpr std::array<TextId, 3> kRuleEndTexts = {TextId::CustomListNever, TextId::CustomListAfterTimes,
                                                        TextId::CustomListOnDate};

struct CustomRuleFields {
  std::wstring txtInterval = L"1";
  int cmbUnit = 1;               // kRuleUnitTexts, in RuleFrequency order
  std::array<int, 7> chkDays{};  // the weekday check boxes, Monday first
  int cmbPlace = 0;              // kRulePlaceTexts
  int cmbWeekday = 0;            // kRuleWeekdayTexts
  int cmbEnd = 0;                // kRuleEndTexts
  std::wstring txtEnd;           // the times, or the last date

  bool operator==(const CustomRuleFields&) const = default;
};

// The fields of `rule`, or of a new rule (every week on the start's
// weekday). A rule with more than the dialog shows (several days of the
// month, BYSETPOS) shows its frequency, interval, weekdays and end.
CustomRuleFields CustomFieldsFor(const RepeatRule* rule, DateValue start);

enum class CustomRuleField { None, Interval, End };

struct CustomRuleOutcome {
  std::optional<RepeatRule> rule;
  CustomRuleField badField = CustomRuleField::None;
  std::wstring message;
};

// The rule the fields make for a series from `start`; a text that is no
// number or date gives no rule and says which field and what it accepts.
CustomRuleOutcome RuleFromCustomFields(const CustomRuleFields& fields, DateValue start);
