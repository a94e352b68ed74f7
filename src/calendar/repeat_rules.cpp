#include "repeat_rules.h"

#include <cmath>
#include <cstdint>

#include "after_firing.h"
#include "number_text.h"

namespace {

// Moves that bring a repeat to at most one step before now; the rest is
// done with the moves that firing makes.
constexpr int kMaxFinishingMoves = 400;

const wchar_t* UnitOf(const std::string& frequency) {
  if (frequency == "DAILY") return L"days";
  if (frequency == "WEEKLY") return L"weeks";
  if (frequency == "MONTHLY") return L"months";
  return L"years";
}

bool IsSingle(const std::optional<std::vector<int>>& numbers, int value) {
  return numbers && numbers->size() == 1 && numbers->front() == value;
}

// The reason a BYDAY part is more than a restatement; empty when it is one.
std::wstring DaysProblem(const std::string& frequency, const std::vector<WeekdayEntry>& days, int startWeekday) {
  constexpr unsigned kMondayToFriday = 0x3Eu;
  constexpr unsigned kWholeWeek = 0x7Fu;
  unsigned seen = 0;
  bool anyOrdinal = false;
  for (const WeekdayEntry& day : days) {
    seen |= 1u << day.weekday;
    anyOrdinal = anyOrdinal || day.ordinal != 0;
  }
  if (anyOrdinal) return L"repeats on a weekday of the month";
  if (frequency == "WEEKLY" && seen == (1u << startWeekday)) return {};
  if (frequency == "DAILY" && seen == kWholeWeek) return {};
  if (seen == kMondayToFriday) return L"repeats on weekdays only";
  return L"repeats on some days of the week";
}

std::wstring ByPartProblem(const RecurrenceRule& rule, const std::string& name, const std::string& value,
                           const DateParts& start, bool& unreadable) {
  const std::string& frequency = rule.frequency;
  constexpr const wchar_t* kOtherRule = L"repeats by a rule Chimewatch does not have";
  if (name == "BYDAY") {
    const auto days = ReadWeekdayList(value);
    if (!days) {
      unreadable = true;
      return {};
    }
    return DaysProblem(frequency, *days, start.weekday);
  }
  if (name == "BYMONTHDAY") {
    const bool restates = (frequency == "MONTHLY" || (frequency == "YEARLY" && rule.Part("BYMONTH") != nullptr)) &&
                          IsSingle(ReadNumberList(value, -31, 31), start.day);
    return restates ? L"" : L"repeats on other days of the month";
  }
  if (name == "BYMONTH") {
    return frequency == "YEARLY" && IsSingle(ReadNumberList(value, 1, 12), start.month) ? L""
                                                                                        : L"repeats in certain months";
  }
  if (name == "BYHOUR" || name == "BYMINUTE" || name == "BYSECOND") {
    const int own = name == "BYHOUR" ? start.hour : name == "BYMINUTE" ? start.minute : start.second;
    return IsSingle(ReadNumberList(value, 0, 60), own) ? L"" : L"repeats several times a day";
  }
  if (name == "WKST" || name == "INTERVAL" || name == "COUNT" || name == "UNTIL") return {};
  return kOtherRule;
}

double WithoutSeconds(double line) {
  const double day = std::floor(line);
  return day + std::floor((line - day) * 1440.0 + 1e-6) / 1440.0;
}

// Some whole periods forward, landing at most one period before `now`.
double Jumped(double due, RepeatMode mode, double now) {
  if (due >= now) return due;
  switch (mode) {
    case EachDay: return due + std::max(0.0, std::floor(now - due) - 1.0);
    case EachWeek: return due + 7.0 * std::max(0.0, std::floor((now - due) / 7.0) - 1.0);
    case EachMonth:
    case EachYear: {
      const DateParts from = SplitDate(FromTimeLine(due));
      const DateParts to = SplitDate(FromTimeLine(now));
      const int months = (to.year - from.year) * 12 + (to.month - from.month) - 1;
      const int step = mode == EachMonth ? months : (to.year - from.year - 1) * 12;
      if (step <= 0) return due;
      const int total = from.year * 12 + (from.month - 1) + step;
      const auto jumped = TimeLineOf(total / 12, total % 12 + 1, from.day, 0);
      if (!jumped) return due;  // a day the month lacks: let the moves carry it
      return *jumped + (WithoutSeconds(due) - std::floor(due));
    }
    default: return due;
  }
}

}  // namespace

RepeatReading RepeatOfRule(const RecurrenceRule& rule, const DateParts& start) {
  RepeatReading reading;
  const std::string& frequency = rule.frequency;
  if (frequency == "SECONDLY" || frequency == "MINUTELY" || frequency == "HOURLY") {
    reading.reason = L"repeats several times a day";
    return reading;
  }
  if (frequency != "DAILY" && frequency != "WEEKLY" && frequency != "MONTHLY" && frequency != "YEARLY") {
    reading.unreadable = true;
    return reading;
  }
  if (const std::string* interval = rule.Part("INTERVAL"); interval != nullptr) {
    const auto number = ReadNumberList(*interval, 1, 1000000);
    if (!number || number->size() != 1) {
      reading.unreadable = true;
      return reading;
    }
    if (number->front() != 1) {  // "01" is 1 as well
      reading.reason = L"repeats every " + WideDecimalText(number->front()) + L" " + UnitOf(frequency);
      return reading;
    }
  }
  for (const auto& [name, value] : rule.parts) {
    std::wstring problem = ByPartProblem(rule, name, value, start, reading.unreadable);
    if (reading.unreadable) return reading;
    if (!problem.empty()) {
      reading.reason = std::move(problem);
      return reading;
    }
  }
  if (rule.Part("COUNT") != nullptr) {
    reading.reason = L"repeats a fixed number of times";
    return reading;
  }
  if (rule.Part("UNTIL") != nullptr) {
    reading.reason = L"repeats until an end date";
    return reading;
  }
  reading.mode = frequency == "DAILY"     ? EachDay
                 : frequency == "WEEKLY"  ? EachWeek
                 : frequency == "MONTHLY" ? EachMonth
                                          : EachYear;
  return reading;
}

std::wstring CalendarMoveProblem(RepeatMode mode, const DateParts& start, const DateParts& reminder) {
  if (mode != EachMonth && mode != EachYear) return {};
  if (mode == EachMonth) {
    for (const int day : {start.day, reminder.day}) {
      if (day > 28) return L"repeats monthly on day " + WideDecimalText(day) + L", which short months do not have";
    }
  } else {
    for (const DateParts& parts : {start, reminder}) {
      if (parts.month == 2 && parts.day == 29) return L"repeats yearly on 29 February";
    }
  }
  if (start.year != reminder.year || start.month != reminder.month) {
    return L"reminds in another month than the event's";
  }
  return {};
}

std::optional<double> NextReminderAtOrAfter(double due, RepeatMode mode, double now) {
  AlarmRecord alert;
  alert.Exist = true;
  alert.Repeat = mode;
  alert.Tijd = FromTimeLine(Jumped(due, mode, now));
  for (int move = 0; ToTimeLine(alert.Tijd) < now; ++move) {
    if (move == kMaxFinishingMoves) return std::nullopt;
    if (MoveOnAfterFiring(alert, alert.Tijd) != AfterFiring::MovedOn) return std::nullopt;
  }
  return ToTimeLine(alert.Tijd);
}
