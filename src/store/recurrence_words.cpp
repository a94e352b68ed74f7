#include "recurrence_words.h"

#include <array>
#include <vector>

#include "date_format.h"
#include "number_text.h"

namespace {

constexpr std::array<std::string_view, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                          "May",       "June",     "July",     "August",
                                                          "September", "October",  "November", "December"};
constexpr std::array<std::string_view, 5> kPlaceNames = {"first", "second", "third", "fourth", "fifth"};
constexpr unsigned kMondayToFriday = 0x3Eu;

// "A", "A and B", "A, B and C".
std::string Joined(const std::vector<std::string>& items, std::string_view lastJoin) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += i + 1 == items.size() ? " " + std::string(lastJoin) + " " : ", ";
    text += items[i];
  }
  return text;
}

// "first" .. "fifth", "6th", "21st", "last", "second last".
std::string PlaceName(int ordinal) {
  if (ordinal == -1) return "last";
  if (ordinal < 0) return PlaceName(-ordinal) + " last";
  if (ordinal <= 5) return std::string(kPlaceNames[static_cast<std::size_t>(ordinal - 1)]);
  const int lastTwo = ordinal % 100;
  const int last = ordinal % 10;
  const bool teen = lastTwo >= 11 && lastTwo <= 13;
  const char* suffix = teen ? "th" : last == 1 ? "st" : last == 2 ? "nd" : last == 3 ? "rd" : "th";
  return DecimalText(ordinal) + suffix;
}

std::string PeriodName(const RepeatRule& rule) {
  constexpr std::array<std::string_view, 4> kOne = {"day", "week", "month", "year"};
  constexpr std::array<std::string_view, 4> kMany = {"days", "weeks", "months", "years"};
  const auto index = static_cast<std::size_t>(rule.frequency);
  if (rule.interval == 1) return std::string(kOne[index]);
  return DecimalText(rule.interval) + " " + std::string(kMany[index]);
}

unsigned WeekdayMask(const RepeatRule& rule) {
  unsigned mask = 0;
  for (const RuleWeekday& day : rule.byDay) mask |= 1u << day.weekday;
  return mask;
}

// Monday first, as the reader sorts them.
std::vector<std::string> DayNames(const RepeatRule& rule) {
  std::vector<std::string> names;
  for (const RuleWeekday& day : rule.byDay) names.emplace_back(kDayNames[static_cast<std::size_t>(day.weekday)]);
  return names;
}

// "day 15", "days 1 and 15", "the last day", "day 1 and the last day".
std::string MonthDaysText(const RepeatRule& rule) {
  std::vector<std::string> fromStart;
  std::vector<std::string> fromEnd;
  for (const int day : rule.byMonthDay) {
    if (day > 0) fromStart.push_back(DecimalText(day));
    if (day < 0) fromEnd.push_back("the " + PlaceName(day) + " day");
  }
  std::vector<std::string> parts;
  if (!fromStart.empty()) parts.push_back((fromStart.size() == 1 ? "day " : "days ") + Joined(fromStart, "and"));
  for (std::string& part : fromEnd) parts.push_back(std::move(part));
  return Joined(parts, "and");
}

std::string MonthsText(const RepeatRule& rule) {
  std::vector<std::string> names;
  for (const int month : rule.byMonth) names.emplace_back(kMonthNames[static_cast<std::size_t>(month - 1)]);
  return Joined(names, "and");
}

std::string EndText(const RuleEnd& end) {
  return std::visit(Overloaded{
                        [](const RepeatForever&) { return std::string(); },
                        [](const RepeatCount& count) {
                          return count.count == 1 ? std::string(", once") : ", " + DecimalText(count.count) + " times";
                        },
                        [](const RepeatUntil& until) {
                          const std::wstring date = FormatDate(until.last, kRuleEndDatePattern);
                          return ", until " + std::string(date.begin(), date.end());  // digits and dashes
                        },
                    },
                    end);
}

// "The last Friday of every month", "The first Monday and last Friday of
// March every 2 years".
std::string PlacesText(const RepeatRule& rule) {
  std::vector<std::string> places;
  for (const RuleWeekday& day : rule.byDay) {
    places.push_back(PlaceName(day.ordinal) + " " + std::string(kDayNames[static_cast<std::size_t>(day.weekday)]));
  }
  std::string text = "The " + Joined(places, "and") + " of ";
  if (rule.frequency == RuleFrequency::Yearly && !rule.byMonth.empty()) {
    text += MonthsText(rule) + " every " + PeriodName(rule);
  } else {
    text += "every " + PeriodName(rule);
    if (!rule.byMonth.empty()) text += " in " + MonthsText(rule);
  }
  if (!rule.byMonthDay.empty()) text += ", on " + MonthDaysText(rule);
  return text;
}

// "The last weekday of every month", "The second Saturday or Sunday of
// every month".
std::string SetPositionText(const RepeatRule& rule) {
  std::string choice;
  const unsigned mask = WeekdayMask(rule);
  if (mask == kMondayToFriday) {
    choice = "weekday";
  } else if (!rule.byDay.empty()) {
    choice = Joined(DayNames(rule), "or");
  }
  if (!rule.byMonthDay.empty()) choice += (choice.empty() ? "of " : " on ") + MonthDaysText(rule);
  std::string text = "The " + PlaceName(*rule.bySetPos) + " " + choice + " of every " + PeriodName(rule);
  if (!rule.byMonth.empty()) text += " in " + MonthsText(rule);
  return text;
}

// "Every weekday", "Every Monday and Thursday", "Every 3 days", "Every 2
// weeks on Monday and Thursday", "Every month on day 13 if a Friday",
// "Every year on 25 December".
std::string EveryText(const RepeatRule& rule) {
  const unsigned mask = WeekdayMask(rule);
  const bool daily = rule.frequency == RuleFrequency::Daily;
  const bool weekly = rule.frequency == RuleFrequency::Weekly;
  std::string text;
  bool daysSaid = false;
  if ((daily || weekly) && rule.interval == 1 && mask == kMondayToFriday) {
    text = "Every weekday";
    daysSaid = true;
  } else if (daily && rule.interval == 1 && !rule.byDay.empty()) {
    text = "Every " + Joined(DayNames(rule), "and");
    daysSaid = true;
  } else {
    text = "Every " + PeriodName(rule);
  }
  const bool oneDate = rule.frequency == RuleFrequency::Yearly && rule.byMonth.size() == 1 &&
                       rule.byMonthDay.size() == 1 && rule.byMonthDay.front() > 0 && rule.byDay.empty();
  if (oneDate) return text + " on " + DecimalText(rule.byMonthDay.front()) + " " + MonthsText(rule);
  if (!rule.byMonthDay.empty()) {
    text += " on " + MonthDaysText(rule);
    if (!rule.byDay.empty()) text += " if a " + Joined(DayNames(rule), "or");
  } else if (!daysSaid && !rule.byDay.empty()) {
    const bool inWeek = daily || weekly;
    text += inWeek && mask == kMondayToFriday ? " on weekdays"
                                              : (inWeek ? " on " : " on every ") + Joined(DayNames(rule), "and");
  }
  if (!rule.byMonth.empty()) text += " in " + MonthsText(rule);
  return text;
}

std::string RuleInWords(const RepeatRule& rule) {
  const bool places = !rule.byDay.empty() && rule.byDay.front().ordinal != 0;
  // A daily rule's set is one day: BYSETPOS 1 or -1 changes nothing.
  const bool setPosition = rule.bySetPos && rule.frequency != RuleFrequency::Daily;
  std::string text = setPosition ? SetPositionText(rule) : places ? PlacesText(rule) : EveryText(rule);
  return text + EndText(rule.end);
}

}  // namespace

std::wstring TextInWords(const Recurrence& recurrence) {
  return std::visit(Overloaded{
                        [](RepeatMode mode) { return std::wstring(ModeText(mode)); },
                        [](const RepeatRule& rule) {
                          // English words in ASCII: narrow while built, wide once.
                          const std::string words = RuleProblem(rule).empty() ? RuleInWords(rule) : std::string();
                          return std::wstring(words.begin(), words.end());
                        },
                    },
                    recurrence);
}
