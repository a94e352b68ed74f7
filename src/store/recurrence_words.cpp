#include "recurrence_words.h"

#include <array>
#include <vector>

#include "date_format.h"
#include "number_text.h"

namespace {

constexpr std::array<std::wstring_view, 7> kDayNames = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                                        L"Thursday", L"Friday", L"Saturday"};
constexpr std::array<std::wstring_view, 12> kMonthNames = {L"January",   L"February", L"March",    L"April",
                                                           L"May",       L"June",     L"July",     L"August",
                                                           L"September", L"October",  L"November", L"December"};
constexpr std::array<std::wstring_view, 5> kPlaceNames = {L"first", L"second", L"third", L"fourth", L"fifth"};
constexpr unsigned kMondayToFriday = 0x3Eu;

// "A", "A and B", "A, B and C".
std::wstring Joined(const std::vector<std::wstring>& items, std::wstring_view lastJoin) {
  std::wstring text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += i + 1 == items.size() ? L" " + std::wstring(lastJoin) + L" " : L", ";
    text += items[i];
  }
  return text;
}

// "first" .. "fifth", "6th", "21st", "last", "second last".
std::wstring PlaceName(int ordinal) {
  if (ordinal == -1) return L"last";
  if (ordinal < 0) return PlaceName(-ordinal) + L" last";
  if (ordinal <= 5) return std::wstring(kPlaceNames[static_cast<std::size_t>(ordinal - 1)]);
  const int lastTwo = ordinal % 100;
  const int last = ordinal % 10;
  const bool teen = lastTwo >= 11 && lastTwo <= 13;
  const wchar_t* suffix = teen ? L"th" : last == 1 ? L"st" : last == 2 ? L"nd" : last == 3 ? L"rd" : L"th";
  return WideDecimalText(ordinal) + suffix;
}

std::wstring PeriodName(const RepeatRule& rule) {
  constexpr std::array<std::wstring_view, 4> kOne = {L"day", L"week", L"month", L"year"};
  constexpr std::array<std::wstring_view, 4> kMany = {L"days", L"weeks", L"months", L"years"};
  const auto index = static_cast<std::size_t>(rule.frequency);
  if (rule.interval == 1) return std::wstring(kOne[index]);
  return WideDecimalText(rule.interval) + L" " + std::wstring(kMany[index]);
}

unsigned WeekdayMask(const RepeatRule& rule) {
  unsigned mask = 0;
  for (const RuleWeekday& day : rule.byDay) mask |= 1u << day.weekday;
  return mask;
}

// Monday first, as the reader sorts them.
std::vector<std::wstring> DayNames(const RepeatRule& rule) {
  std::vector<std::wstring> names;
  for (const RuleWeekday& day : rule.byDay) names.emplace_back(kDayNames[static_cast<std::size_t>(day.weekday)]);
  return names;
}

// "day 15", "days 1 and 15", "the last day", "day 1 and the last day".
std::wstring MonthDaysText(const RepeatRule& rule) {
  std::vector<std::wstring> fromStart;
  std::vector<std::wstring> fromEnd;
  for (const int day : rule.byMonthDay) {
    if (day > 0) fromStart.push_back(WideDecimalText(day));
    if (day < 0) fromEnd.push_back(L"the " + PlaceName(day) + L" day");
  }
  std::vector<std::wstring> parts;
  if (!fromStart.empty()) parts.push_back((fromStart.size() == 1 ? L"day " : L"days ") + Joined(fromStart, L"and"));
  for (std::wstring& part : fromEnd) parts.push_back(std::move(part));
  return Joined(parts, L"and");
}

std::wstring MonthsText(const RepeatRule& rule) {
  std::vector<std::wstring> names;
  for (const int month : rule.byMonth) names.emplace_back(kMonthNames[static_cast<std::size_t>(month - 1)]);
  return Joined(names, L"and");
}

std::wstring EndText(const RuleEnd& end) {
  return std::visit(
      Overloaded{
          [](const RepeatForever&) { return std::wstring(); },
          [](const RepeatCount& count) {
            return count.count == 1 ? std::wstring(L", once") : L", " + WideDecimalText(count.count) + L" times";
          },
          [](const RepeatUntil& until) { return L", until " + FormatDate(until.last, kRuleEndDatePattern); },
      },
      end);
}

// "The last Friday of every month", "The first Monday and last Friday of
// March every 2 years".
std::wstring PlacesText(const RepeatRule& rule) {
  std::vector<std::wstring> places;
  for (const RuleWeekday& day : rule.byDay) {
    places.push_back(PlaceName(day.ordinal) + L" " + std::wstring(kDayNames[static_cast<std::size_t>(day.weekday)]));
  }
  std::wstring text = L"The " + Joined(places, L"and") + L" of ";
  if (rule.frequency == RuleFrequency::Yearly && !rule.byMonth.empty()) {
    text += MonthsText(rule) + L" every " + PeriodName(rule);
  } else {
    text += L"every " + PeriodName(rule);
    if (!rule.byMonth.empty()) text += L" in " + MonthsText(rule);
  }
  if (!rule.byMonthDay.empty()) text += L", on " + MonthDaysText(rule);
  return text;
}

// "The last weekday of every month", "The second Saturday or Sunday of
// every month".
std::wstring SetPositionText(const RepeatRule& rule) {
  std::wstring choice;
  const unsigned mask = WeekdayMask(rule);
  if (mask == kMondayToFriday) {
    choice = L"weekday";
  } else if (!rule.byDay.empty()) {
    choice = Joined(DayNames(rule), L"or");
  }
  if (!rule.byMonthDay.empty()) choice += (choice.empty() ? L"of " : L" on ") + MonthDaysText(rule);
  std::wstring text = L"The " + PlaceName(*rule.bySetPos) + L" " + choice + L" of every " + PeriodName(rule);
  if (!rule.byMonth.empty()) text += L" in " + MonthsText(rule);
  return text;
}

// "Every weekday", "Every Monday and Thursday", "Every 3 days", "Every 2
// weeks on Monday and Thursday", "Every month on day 13 if a Friday",
// "Every year on 25 December".
std::wstring EveryText(const RepeatRule& rule) {
  const unsigned mask = WeekdayMask(rule);
  const bool daily = rule.frequency == RuleFrequency::Daily;
  const bool weekly = rule.frequency == RuleFrequency::Weekly;
  std::wstring text;
  bool daysSaid = false;
  if ((daily || weekly) && rule.interval == 1 && mask == kMondayToFriday) {
    text = L"Every weekday";
    daysSaid = true;
  } else if (daily && rule.interval == 1 && !rule.byDay.empty()) {
    text = L"Every " + Joined(DayNames(rule), L"and");
    daysSaid = true;
  } else {
    text = L"Every " + PeriodName(rule);
  }
  const bool oneDate = rule.frequency == RuleFrequency::Yearly && rule.byMonth.size() == 1 &&
                       rule.byMonthDay.size() == 1 && rule.byMonthDay.front() > 0 && rule.byDay.empty();
  if (oneDate) return text + L" on " + WideDecimalText(rule.byMonthDay.front()) + L" " + MonthsText(rule);
  if (!rule.byMonthDay.empty()) {
    text += L" on " + MonthDaysText(rule);
    if (!rule.byDay.empty()) text += L" if a " + Joined(DayNames(rule), L"or");
  } else if (!daysSaid && !rule.byDay.empty()) {
    const bool inWeek = daily || weekly;
    text += inWeek && mask == kMondayToFriday ? L" on weekdays"
                                              : (inWeek ? L" on " : L" on every ") + Joined(DayNames(rule), L"and");
  }
  if (!rule.byMonth.empty()) text += L" in " + MonthsText(rule);
  return text;
}

std::wstring RuleInWords(const RepeatRule& rule) {
  const bool places = !rule.byDay.empty() && rule.byDay.front().ordinal != 0;
  // A daily rule's set is one day: BYSETPOS 1 or -1 changes nothing.
  const bool setPosition = rule.bySetPos && rule.frequency != RuleFrequency::Daily;
  std::wstring text = setPosition ? SetPositionText(rule) : places ? PlacesText(rule) : EveryText(rule);
  return text + EndText(rule.end);
}

}  // namespace

std::wstring TextInWords(const Recurrence& recurrence) {
  return std::visit(Overloaded{
                        [](RepeatMode mode) { return std::wstring(ModeText(mode)); },
                        [](const RepeatRule& rule) { return RuleProblem(rule).empty() ? RuleInWords(rule) : L""; },
                    },
                    recurrence);
}
