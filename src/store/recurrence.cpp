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

const char* ByDayProblem(const RepeatRule& rule) {
  bool badPlace = false;
  for (const WeekdayPlaces& places : rule.byPlace)
    badPlace = badPlace || ((places.fromStart | places.fromEnd) & kNoPlaces);
  if (badPlace || rule.byWeekday > 0x7F) return "BYDAY holds a day that does not exist";
  const bool withOrdinal = HasPlaces(rule);
  if (withOrdinal && rule.byWeekday != 0) return "BYDAY mixes weekdays with and without a number";
  const bool inPeriod = rule.frequency == RuleFrequency::Monthly || rule.frequency == RuleFrequency::Yearly;
  if (withOrdinal && !inPeriod) return "BYDAY with a number needs FREQ=MONTHLY or FREQ=YEARLY";
  return "";
}

const char* ListProblem(const RepeatRule& rule) {
  if (rule.byMonthDay & kNoMonthDays) return "BYMONTHDAY holds a day that does not exist";
  if (rule.byMonthDay != 0 && rule.frequency == RuleFrequency::Weekly) return "BYMONTHDAY cannot go with FREQ=WEEKLY";
  if (rule.byMonth >> 12 != 0) return "BYMONTH holds a month that does not exist";
  if (rule.bySetPos) {
    if (OutOfRange(*rule.bySetPos, kMaxSetPosition)) return "BYSETPOS is out of range";
    if (rule.byWeekday == 0 && !HasPlaces(rule) && rule.byMonthDay == 0) return "BYSETPOS needs BYDAY or BYMONTHDAY";
  }
  return "";
}

const char* EndProblem(const RuleEnd& end) {
  switch (end.kind) {
    case RuleEnding::Forever: return "";
    case RuleEnding::Count: return end.count >= 1 && end.count <= kMaxRuleCount ? "" : "COUNT is out of range";
    case RuleEnding::Until: return IsValidDate(end.last) ? "" : "UNTIL is not a date";
  }
  return "UNTIL is not a date";  // not reached: every ending is named above
}

}  // namespace

bool HasPlaces(const RepeatRule& rule) {
  std::uint64_t any = 0;
  for (const WeekdayPlaces& places : rule.byPlace) any |= places.fromStart | places.fromEnd;
  return any != 0;
}

const char* RuleProblemText(const RepeatRule& rule) {
  if (rule.interval < 1 || rule.interval > kMaxRuleInterval) return "INTERVAL is out of range";
  if (!IsWeekday(rule.weekStart)) return "WKST is not a weekday";
  for (const char* problem : {ByDayProblem(rule), ListProblem(rule), EndProblem(rule.end)}) {
    if (*problem != '\0') return problem;
  }
  for (const DateValue day : rule.leftOut) {
    if (!IsValidDate(day)) return "EXDATE is not a date";
  }
  return "";
}

std::wstring RuleProblem(const RepeatRule& rule) {
  const char* problem = RuleProblemText(rule);
  return std::wstring(problem, problem + std::char_traits<char>::length(problem));  // ASCII
}

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
