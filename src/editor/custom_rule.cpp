#include "custom_rule.h"

#include <bit>
#include <cmath>

#include "date_format.h"
#include "date_parse.h"
#include "number_text.h"

namespace {

constexpr int kLastPlace = 5;  // the last of a weekday, after the first to fourth

// Monday-first index to the rule's weekday (0 Sunday), and back.
int WeekdayOf(int mondayFirst) { return (mondayFirst + 1) % 7; }
int MondayFirst(int weekday) { return (weekday + 6) % 7; }

// 1 to 999.
std::optional<int> SmallNumber(std::wstring_view text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  if (value < 1) return std::nullopt;
  return value;
}

CustomRuleOutcome Refused(CustomRuleField field, std::wstring message) {
  return {std::nullopt, field, std::move(message)};
}

}  // namespace

CustomRuleFields CustomFieldsFor(const RepeatRule* rule, DateValue start) {
  const int startWeekday = SplitDate(start).weekday;
  CustomRuleFields fields;
  fields.cmbWeekday = MondayFirst(startWeekday);
  if (rule == nullptr) {
    fields.chkDays[static_cast<std::size_t>(fields.cmbWeekday)] = 1;
    return fields;
  }
  fields.txtInterval = WideDecimalText(rule->interval);
  fields.cmbUnit = static_cast<int>(rule->frequency);
  for (int day = 0; day < 7; ++day) {
    fields.chkDays[static_cast<std::size_t>(day)] = (rule->byWeekday >> WeekdayOf(day) & 1) != 0 ? 1 : 0;
    const WeekdayPlaces& places = rule->byPlace[static_cast<std::size_t>(WeekdayOf(day))];
    const int nth = std::countr_zero(places.fromStart) + 1;
    const int place = (places.fromEnd & 1) != 0 ? kLastPlace : nth < kLastPlace ? nth : 0;
    if (place != 0) {
      fields.cmbPlace = place;
      fields.cmbWeekday = day;
    }
  }
  if (rule->end.kind == RuleEnding::Count) {
    fields.cmbEnd = 1;
    fields.txtEnd = WideDecimalText(rule->end.count);
  } else if (rule->end.kind == RuleEnding::Until) {
    fields.cmbEnd = 2;
    fields.txtEnd = FormatDate(rule->end.last, kEditorDatePattern);
  }
  return fields;
}

CustomRuleOutcome RuleFromCustomFields(const CustomRuleFields& fields, DateValue start) {
  const auto interval = SmallNumber(fields.txtInterval);
  if (!interval) {
    return Refused(CustomRuleField::Interval, Text(TextId::CustomBoxNotAnInterval, {fields.txtInterval}));
  }
  RepeatRule rule;
  rule.frequency = static_cast<RuleFrequency>(fields.cmbUnit);
  rule.interval = *interval;
  const DateParts first = SplitDate(start);
  if (rule.frequency == RuleFrequency::Daily || rule.frequency == RuleFrequency::Weekly) {
    for (int day = 0; day < 7; ++day) {
      if (fields.chkDays[static_cast<std::size_t>(day)] != 0) {
        rule.byWeekday |= static_cast<WeekdaySet>(1u << WeekdayOf(day));
      }
    }
    if (rule.byWeekday == 0x7F && rule.frequency == RuleFrequency::Daily) rule.byWeekday = 0;  // every day anyway
  } else if (fields.cmbPlace > 0) {
    WeekdayPlaces& places = rule.byPlace[static_cast<std::size_t>(WeekdayOf(fields.cmbWeekday))];
    (fields.cmbPlace == kLastPlace ? places.fromEnd : places.fromStart) =
        std::uint64_t{1} << (fields.cmbPlace == kLastPlace ? 0 : fields.cmbPlace - 1);
    if (rule.frequency == RuleFrequency::Yearly) rule.byMonth = static_cast<std::uint16_t>(1u << (first.month - 1));
  }
  if (fields.cmbEnd == 1) {
    const auto times = SmallNumber(fields.txtEnd);
    if (!times) {
      return Refused(CustomRuleField::End, Text(TextId::CustomBoxNotATimes, {fields.txtEnd}));
    }
    rule.end = RuleEnd{RuleEnding::Count, *times, 0.0, false};
  } else if (fields.cmbEnd == 2) {
    // A date as the editor takes one.
    const auto last = ParseDateText(fields.txtEnd, first.year);
    if (!last || TimeOfDay(*last) != 0.0 || ToTimeLine(*last) < std::floor(ToTimeLine(start))) {
      return Refused(CustomRuleField::End, Text(TextId::CustomBoxNotALastDate, {fields.txtEnd}));
    }
    rule.end = RuleEnd{RuleEnding::Until, 0, *last, true};
  }
  return {rule, CustomRuleField::None, {}};
}
