#include "recurrence.h"

#include <array>
#include <cstdlib>

namespace {

constexpr std::array<std::wstring_view, 5> kModeTexts = {L"Once", L"Each day", L"Each week", L"Each month",
                                                         L"Each year"};

bool IsWeekday(int day) { return day >= 0 && day <= 6; }

const char* ByDayProblem(const RepeatRule& rule) {
  bool withOrdinal = false;
  bool withoutOrdinal = false;
  for (const RuleWeekday& day : rule.byDay) {
    if (!IsWeekday(day.weekday) || std::abs(day.ordinal) > 53) return "BYDAY holds a day that does not exist";
    withOrdinal = withOrdinal || day.ordinal != 0;
    withoutOrdinal = withoutOrdinal || day.ordinal == 0;
  }
  if (withOrdinal && withoutOrdinal) return "BYDAY mixes weekdays with and without a number";
  const bool inPeriod = rule.frequency == RuleFrequency::Monthly || rule.frequency == RuleFrequency::Yearly;
  if (withOrdinal && !inPeriod) return "BYDAY with a number needs FREQ=MONTHLY or FREQ=YEARLY";
  return "";
}

const char* ListProblem(const RepeatRule& rule) {
  for (const int day : rule.byMonthDay) {
    if (day == 0 || std::abs(day) > 31) return "BYMONTHDAY holds a day that does not exist";
  }
  if (!rule.byMonthDay.empty() && rule.frequency == RuleFrequency::Weekly) {
    return "BYMONTHDAY cannot go with FREQ=WEEKLY";
  }
  for (const int month : rule.byMonth) {
    if (month < 1 || month > 12) return "BYMONTH holds a month that does not exist";
  }
  if (rule.bySetPos) {
    if (*rule.bySetPos == 0 || std::abs(*rule.bySetPos) > kMaxSetPosition) return "BYSETPOS is out of range";
    if (rule.byDay.empty() && rule.byMonthDay.empty()) return "BYSETPOS needs BYDAY or BYMONTHDAY";
  }
  return "";
}

const char* EndProblem(const RuleEnd& end) {
  return std::visit(Overloaded{
                        [](const RepeatForever&) { return ""; },
                        [](const RepeatCount& count) {
                          const bool fits = count.count >= 1 && count.count <= kMaxRuleCount;
                          return fits ? "" : "COUNT is out of range";
                        },
                        [](const RepeatUntil& until) { return IsValidDate(until.last) ? "" : "UNTIL is not a date"; },
                    },
                    end);
}

// The problem in ASCII, "" when there is none.
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

}  // namespace

std::wstring RuleProblem(const RepeatRule& rule) {
  const char* problem = RuleProblemText(rule);
  return std::wstring(problem, problem + std::char_traits<char>::length(problem));  // ASCII
}

RepeatMode NearestMode(const RepeatRule& rule) {
  if (const auto* count = std::get_if<RepeatCount>(&rule.end); count != nullptr && count->count == 1) return Once;
  switch (rule.frequency) {
    case RuleFrequency::Daily: return rule.interval % 7 == 0 ? EachWeek : EachDay;
    case RuleFrequency::Weekly: return EachWeek;
    case RuleFrequency::Monthly: return EachMonth;
    case RuleFrequency::Yearly: return EachYear;
  }
  return EachDay;  // not reached: every frequency is named above
}

std::wstring_view ModeText(RepeatMode mode) {
  if (mode < Once || mode > EachYear) return {};
  return kModeTexts[static_cast<std::size_t>(mode)];
}
