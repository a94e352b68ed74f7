#include "recurrence.h"

#include <array>
#include <cstdlib>

namespace {

constexpr std::array<std::wstring_view, 5> kModeTexts = {L"Once", L"Each day", L"Each week", L"Each month",
                                                         L"Each year"};

bool IsWeekday(int day) { return day >= 0 && day <= 6; }

std::wstring ByDayProblem(const RepeatRule& rule) {
  bool withOrdinal = false;
  bool withoutOrdinal = false;
  for (const RuleWeekday& day : rule.byDay) {
    if (!IsWeekday(day.weekday) || std::abs(day.ordinal) > 53) return L"BYDAY holds a day that does not exist";
    withOrdinal = withOrdinal || day.ordinal != 0;
    withoutOrdinal = withoutOrdinal || day.ordinal == 0;
  }
  if (withOrdinal && withoutOrdinal) return L"BYDAY mixes weekdays with and without a number";
  const bool inPeriod = rule.frequency == RuleFrequency::Monthly || rule.frequency == RuleFrequency::Yearly;
  if (withOrdinal && !inPeriod) return L"BYDAY with a number needs FREQ=MONTHLY or FREQ=YEARLY";
  return {};
}

std::wstring ListProblem(const RepeatRule& rule) {
  for (const int day : rule.byMonthDay) {
    if (day == 0 || std::abs(day) > 31) return L"BYMONTHDAY holds a day that does not exist";
  }
  if (!rule.byMonthDay.empty() && rule.frequency == RuleFrequency::Weekly) {
    return L"BYMONTHDAY cannot go with FREQ=WEEKLY";
  }
  for (const int month : rule.byMonth) {
    if (month < 1 || month > 12) return L"BYMONTH holds a month that does not exist";
  }
  if (rule.bySetPos) {
    if (*rule.bySetPos == 0 || std::abs(*rule.bySetPos) > kMaxSetPosition) return L"BYSETPOS is out of range";
    if (rule.byDay.empty() && rule.byMonthDay.empty()) return L"BYSETPOS needs BYDAY or BYMONTHDAY";
  }
  return {};
}

std::wstring EndProblem(const RuleEnd& end) {
  return std::visit(
      Overloaded{
          [](const RepeatForever&) { return std::wstring(); },
          [](const RepeatCount& count) {
            const bool fits = count.count >= 1 && count.count <= kMaxRuleCount;
            return std::wstring(fits ? L"" : L"COUNT is out of range");
          },
          [](const RepeatUntil& until) { return std::wstring(IsValidDate(until.last) ? L"" : L"UNTIL is not a date"); },
      },
      end);
}

}  // namespace

std::wstring RuleProblem(const RepeatRule& rule) {
  if (rule.interval < 1 || rule.interval > kMaxRuleInterval) return L"INTERVAL is out of range";
  if (!IsWeekday(rule.weekStart)) return L"WKST is not a weekday";
  if (std::wstring problem = ByDayProblem(rule); !problem.empty()) return problem;
  if (std::wstring problem = ListProblem(rule); !problem.empty()) return problem;
  if (std::wstring problem = EndProblem(rule.end); !problem.empty()) return problem;
  for (const DateValue day : rule.leftOut) {
    if (!IsValidDate(day)) return L"EXDATE is not a date";
  }
  return {};
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
