#include "recurrence.h"
#include "text_table.h"

#include <array>

namespace {

constexpr std::array<TextId, 5> kModeTexts = {TextId::RepeatListOnce, TextId::RepeatListEachDay,
                                              TextId::RepeatListEachWeek, TextId::RepeatListEachMonth,
                                              TextId::RepeatListEachYear};

constexpr std::uint64_t kNoPlaces = ~((1ULL << 53) - 1);  // bits past the 53rd
constexpr std::uint64_t kNoMonthDays = 3ULL << 62;

bool IsWeekday(int day) { return day >= 0 && day <= 6; }

bool OutOfRange(int value, int highest) { return value < -highest || value > highest || value == 0; }

TextId ByDayProblem(const RepeatRule& rule) {
  bool badPlace = false;
  for (const WeekdayPlaces& places : rule.byPlace)
    badPlace = badPlace || ((places.fromStart | places.fromEnd) & kNoPlaces);
  if (badPlace || rule.byWeekday > 0x7F) return TextId::RuleProblemNoSuchDay;
  const bool withOrdinal = HasPlaces(rule);
  if (withOrdinal && rule.byWeekday != 0) return TextId::RuleProblemMixedDays;
  const bool inPeriod = rule.frequency == RuleFrequency::Monthly || rule.frequency == RuleFrequency::Yearly;
  if (withOrdinal && !inPeriod) return TextId::RuleProblemNumberedDays;
  return kNoText;
}

TextId ListProblem(const RepeatRule& rule) {
  if (rule.byMonthDay & kNoMonthDays) return TextId::RuleProblemNoSuchMonthDay;
  if (rule.byMonthDay != 0 && rule.frequency == RuleFrequency::Weekly) return TextId::RuleProblemMonthDaysWeekly;
  if (rule.byMonth >> 12 != 0) return TextId::RuleProblemNoSuchMonth;
  if (rule.bySetPos) {
    if (OutOfRange(*rule.bySetPos, kMaxSetPosition)) return TextId::RuleProblemSetPosRange;
    if (rule.byWeekday == 0 && !HasPlaces(rule) && rule.byMonthDay == 0) return TextId::RuleProblemSetPosNeeds;
  }
  return kNoText;
}

TextId EndProblem(const RuleEnd& end) {
  switch (end.kind) {
    case RuleEnding::Forever: return kNoText;
    case RuleEnding::Count:
      return end.count >= 1 && end.count <= kMaxRuleCount ? kNoText : TextId::RuleProblemCountRange;
    case RuleEnding::Until: return IsValidDate(end.last) ? kNoText : TextId::RuleProblemUntilNotDate;
  }
  return TextId::RuleProblemUntilNotDate;  // not reached: every ending is named above
}

}  // namespace

bool HasPlaces(const RepeatRule& rule) {
  std::uint64_t any = 0;
  for (const WeekdayPlaces& places : rule.byPlace) any |= places.fromStart | places.fromEnd;
  return any != 0;
}

TextId RuleProblemId(const RepeatRule& rule) {
  if (rule.interval < 1 || rule.interval > kMaxRuleInterval) return TextId::RuleProblemIntervalRange;
  if (!IsWeekday(rule.weekStart)) return TextId::RuleProblemNotAWeekday;
  for (const TextId problem : {ByDayProblem(rule), ListProblem(rule), EndProblem(rule.end)}) {
    if (problem != kNoText) return problem;
  }
  for (const DateValue day : rule.leftOut) {
    if (!IsValidDate(day)) return TextId::RuleProblemExdateNotDate;
  }
  return kNoText;
}

std::wstring RuleProblem(const RepeatRule& rule) { return Text(RuleProblemId(rule)); }

RepeatMode NearestMode(const RepeatRule& rule) {
  if (rule.end.kind == RuleEnding::Count && rule.end.count == 1) return Once;
  switch (rule.frequency) {
    case RuleFrequency::Daily: return rule.interval % 7 == 0 ? EachWeek : EachDay;
    case RuleFrequency::Weekly: return EachWeek;
    case RuleFrequency::Monthly: return EachMonth;
    case RuleFrequency::Yearly: return EachYear;
  }
  return EachDay;  // not reached: every frequency is named above
}

std::wstring ModeText(RepeatMode mode) {
  if (mode < Once || mode > EachYear) return {};
  return Text(kModeTexts[static_cast<std::size_t>(mode)]);
}
