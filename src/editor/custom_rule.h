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

// The entries of the dialog's lists. Weekdays are Monday first, as the
// check boxes and the weekday list show them.
inline constexpr std::array<std::wstring_view, 4> kRuleUnitTexts = {L"days", L"weeks", L"months", L"years"};
inline constexpr std::array<std::wstring_view, 6> kRulePlaceTexts = {
    L"on the start's day", L"on the first", L"on the second", L"on the third", L"on the fourth", L"on the last"};
inline constexpr std::array<std::wstring_view, 7> kRuleWeekdayTexts = {
    L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday", L"Sunday"};
inline constexpr std::array<std::wstring_view, 3> kRuleEndTexts = {L"never", L"after (times)", L"on (date)"};

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
