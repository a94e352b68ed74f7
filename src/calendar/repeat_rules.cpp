#include "repeat_rules.h"

#include <algorithm>

#include "content_lines.h"
#include "number_text.h"
#include "recurrence_next.h"
#include "text_table.h"

std::optional<RepeatMode> ExactMode(const RepeatRule& rule, const DateParts& start) {
  if (rule.interval != 1 || rule.end.kind != RuleEnding::Forever || !rule.leftOut.empty() || rule.bySetPos ||
      HasPlaces(rule)) {
    return std::nullopt;
  }
  const auto noneOr = [](auto bits, auto own) { return bits == 0 || bits == own; };
  const WeekdaySet ownWeekday = static_cast<WeekdaySet>(1u << start.weekday);
  const std::uint64_t ownDay = std::uint64_t{1} << MonthDayBit(start.day);
  const std::uint16_t ownMonth = static_cast<std::uint16_t>(1u << (start.month - 1));
  switch (rule.frequency) {
    case RuleFrequency::Daily:
      if (noneOr(rule.byWeekday, 0x7F) && rule.byMonthDay == 0 && rule.byMonth == 0) return EachDay;
      break;
    case RuleFrequency::Weekly:
      if (noneOr(rule.byWeekday, ownWeekday) && rule.byMonthDay == 0 && rule.byMonth == 0) return EachWeek;
      break;
    case RuleFrequency::Monthly:
      if (rule.byWeekday == 0 && noneOr(rule.byMonthDay, ownDay) && rule.byMonth == 0) return EachMonth;
      break;
    case RuleFrequency::Yearly:
      // BYMONTHDAY alone repeats on that day of every month.
      if (rule.byWeekday == 0 && noneOr(rule.byMonth, ownMonth) &&
          noneOr(rule.byMonthDay, rule.byMonth != 0 ? ownDay : 0)) {
        return EachYear;
      }
      break;
  }
  return std::nullopt;
}

std::wstring CalendarMoveProblem(RepeatMode mode, const DateParts& start, const DateParts& reminder) {
  if (mode != EachMonth && mode != EachYear) return {};
  if (mode == EachMonth) {
    for (const int day : {start.day, reminder.day}) {
      if (day > 28) return Text(TextId::LeftOutMonthlyOnShortDay, {WideDecimalText(day)});
    }
  } else {
    for (const DateParts& parts : {start, reminder}) {
      if (parts.month == 2 && parts.day == 29) return Text(TextId::LeftOutYearlyOnLeapDay);
    }
  }
  if (start.year != reminder.year || start.month != reminder.month) {
    return Text(TextId::LeftOutOtherMonth);
  }
  return {};
}

std::optional<double> OccurrenceAtOrAfter(const Recurrence& series, double start, double now) {
  constexpr double kSecond = 1.0 / 86400.0;
  const auto next = NextOccurrenceAfter(series, FromTimeLine(start), FromTimeLine(now - kSecond));
  if (!next) return std::nullopt;
  return ToTimeLine(*next);
}

std::string WithoutRestatedTime(std::string_view rule, const DateParts& start) {
  std::string kept;
  while (!rule.empty()) {
    const std::string_view part = rule.substr(0, rule.find(';'));
    rule.remove_prefix(std::min(part.size() + 1, rule.size()));
    const std::string upper = ToUpperAscii(part);
    const auto restates = [&](std::string_view name, int own) {
      return upper.starts_with(name) && ReadWholeNumber(std::string_view(upper).substr(name.size()), 2) == own;
    };
    if (restates("BYHOUR=", start.hour) || restates("BYMINUTE=", start.minute) || restates("BYSECOND=", start.second)) {
      continue;
    }
    if (!kept.empty()) kept += ';';
    kept += part;
  }
  return kept;
}
