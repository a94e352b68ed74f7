#include "recurrence_next.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "mode_step.h"

namespace {

constexpr long long kSecondsPerDay = 86400;
constexpr int kDaysIn400Years = 146097;  // the Gregorian calendar repeats after these
const int kLastDay = static_cast<int>(kMaxDate);

int FloorDiv(int a, int b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }
int Mod(int a, int b) { return a - FloorDiv(a, b) * b; }
int CeilDiv(int a, int b) { return -FloorDiv(-a, b); }

long long SecondsOf(double line) { return std::llround(line * static_cast<double>(kSecondsPerDay)); }

// The day of a time in seconds, rounded down.
int DayOfKey(long long key) { return static_cast<int>(key / kSecondsPerDay - (key % kSecondsPerDay < 0 ? 1 : 0)); }

// Day numbers: whole days on the time line, 0 being 30 December 1899; an
// int holds each a date value can (32-bit code has no 64-bit divide).
int WeekdayOf(int day) { return Mod(day + 6, 7); }  // day 0 was a Saturday

DateParts PartsOf(int day) { return SplitDate(static_cast<DateValue>(day)); }

int MonthIndexOf(int day) {
  const DateParts parts = PartsOf(day);
  return parts.year * 12 + (parts.month - 1);
}

int YearOfMonth(int monthIndex) { return FloorDiv(monthIndex, 12); }
int MonthOfMonth(int monthIndex) { return Mod(monthIndex, 12) + 1; }

// The first day of a month, when the month is one a date value can hold.
std::optional<int> FirstDayOfMonth(int monthIndex) {
  const int year = YearOfMonth(monthIndex);
  if (year < 100 || year > 9999) return std::nullopt;
  return static_cast<int>(
      MakeDate(static_cast<std::int16_t>(year), static_cast<std::int16_t>(MonthOfMonth(monthIndex)), 1));
}

bool Has(std::uint64_t set, int bit) { return ((set >> bit) & 1U) != 0; }

// A run of days: a month, or a year for an ordinal weekday of a yearly rule.
struct DayRange {
  int first = 0;
  int length = 0;
};

// A window's days, ascending: at most a year's.
struct Days {
  std::array<int, 366> day{};
  std::size_t size = 0;

  void Add(int value) { day[size++] = value; }
};

// The five modes: their own moves, with whole periods jumped where the
// moves are plain arithmetic, so that the jump lands where the moves would.
class ModeSeries {
 public:
  explicit ModeSeries(RepeatMode mode) : mode_(mode) {}

  std::optional<DateValue> NextAfter(DateValue start, DateValue after, std::size_t& steps) const {
    const long long afterKey = SecondsOf(ToTimeLine(after));
    if (mode_ == Once) return SecondsOf(ToTimeLine(start)) > afterKey ? std::optional<DateValue>(start) : std::nullopt;
    if (mode_ < EachDay || mode_ > EachYear) return std::nullopt;
    DateValue due = start;
    while (SecondsOf(ToTimeLine(due)) <= afterKey) {
      ++steps;
      const auto next = OnePeriodOn(mode_, Jumped(due, after));
      if (!next) return std::nullopt;
      due = *next;
    }
    return due;
  }

 private:
  // Some whole moves forward, staying more than a move before `after`.
  DateValue Jumped(DateValue due, DateValue after) const {
    const double gap = ToTimeLine(after) - ToTimeLine(due);
    switch (mode_) {
      case EachDay: return due + std::max(0.0, std::floor(gap) - 2.0);
      case EachWeek: return due + 7.0 * std::max(0.0, std::floor(gap / 7.0) - 1.0);
      case EachMonth:
      case EachYear: return JumpedCalendar(due, after);
      case Once: break;
    }
    return due;
  }

  // A day of the month that every month has stays the same day in each
  // move; day 29 to 31 carries into the next month and is moved one by one
  // until it is such a day (29 February waits for a leap year).
  DateValue JumpedCalendar(DateValue due, DateValue after) const {
    const DateParts from = SplitDate(due);
    const DateParts to = SplitDate(after);
    if (from.day > 28) return due;
    const int months = (to.year - from.year) * 12 + (to.month - from.month) - 1;
    const int moves = mode_ == EachMonth ? months : FloorDiv(months, 12);
    if (moves <= 0) return due;
    const int target = from.year * 12 + (from.month - 1) + (mode_ == EachMonth ? moves : moves * 12);
    const auto first = FirstDayOfMonth(target);
    if (!first) return due;
    // As the move does: the time of day to the minute.
    return CombineDateTime(static_cast<DateValue>(*first + from.day - 1),
                           MakeTime(static_cast<std::int16_t>(from.hour), static_cast<std::int16_t>(from.minute)));
  }

  RepeatMode mode_;
};

// A rule, looked at one window of days at a time: a daily rule a month at a
// time, the others one period (week, month, year) at a time.
class RuleSeries {
 public:
  RuleSeries(const RepeatRule& rule, DateValue start) : rule_(rule), places_(HasPlaces(rule)) {
    const double line = ToTimeLine(start);
    startDay_ = static_cast<int>(std::floor(line));
    timeOfDay_ = line - std::floor(line);
    const DateParts parts = PartsOf(startDay_);
    startMonthDay_ = parts.day;
    startMonth_ = parts.month;
    weekBase_ = startDay_ - Mod(WeekdayOf(startDay_) - rule.weekStart, 7);
    monthBase_ = MonthIndexOf(startDay_);
  }

  std::optional<DateValue> NextAfter(DateValue after, std::size_t& steps) const {
    const long long afterKey = SecondsOf(ToTimeLine(after));
    Scan scan;
    SetEnd(scan);
    if (scan.untilKey && *scan.untilKey <= afterKey) return std::nullopt;
    scan.afterKey = afterKey;
    scan.fromDay = std::max(startDay_, DayOfKey(afterKey));
    scan.lastDay = std::min(kLastDay, scan.fromDay + kDaysIn400Years + 2 * rule_.interval * PeriodDays());
    std::optional<int> counted = scan.countLeft ? CountBefore(scan.fromDay) : 0;
    if (!counted) {  // count from the start on
      scan.fromDay = startDay_;
      counted = 0;
    }
    ++steps;
    if (scan.countLeft) *scan.countLeft -= *counted;
    if (scan.countLeft && *scan.countLeft <= 0) return std::nullopt;
    return Run(scan, steps);
  }

 private:
  struct Scan {
    long long afterKey = 0;
    std::optional<long long> untilKey;
    std::optional<int> countLeft;
    int fromDay = 0;  // days before it are before the start or counted already
    int lastDay = 0;  // the end of the search
  };

  std::optional<DateValue> Run(Scan& scan, std::size_t& steps) const {
    Days days;
    for (int window = WindowAt(scan.fromDay);; window = NextWindow(window)) {
      const std::optional<int> first = FirstDayOf(window);
      if (!first || *first > scan.lastDay) return std::nullopt;
      ++steps;
      days.size = 0;
      DaysOf(window, days);
      for (std::size_t i = 0; i < days.size; ++i) {
        const int day = days.day[i];
        if (day < scan.fromDay) continue;
        if (day > kLastDay) return std::nullopt;
        const double line = static_cast<double>(day) + timeOfDay_;
        const long long key = SecondsOf(line);
        if (scan.untilKey && key > *scan.untilKey) return std::nullopt;
        if (scan.countLeft && (*scan.countLeft)-- <= 0) return std::nullopt;
        // Only a time that would be the answer is looked up among the left-out ones.
        if (key > scan.afterKey && !LeftOut(key)) return FromTimeLine(line);
      }
    }
  }

  bool LeftOut(long long key) const {
    for (const DateValue day : rule_.leftOut) {
      if (SecondsOf(ToTimeLine(day)) == key) return true;
    }
    return false;
  }

  void SetEnd(Scan& scan) const {
    const RuleEnd& end = rule_.end;
    switch (end.kind) {
      case RuleEnding::Forever: break;
      case RuleEnding::Count: scan.countLeft = end.count; break;
      case RuleEnding::Until: {
        const double line = ToTimeLine(end.last);
        // A date alone: up to the last second of that day.
        scan.untilKey =
            end.wholeDay ? (static_cast<long long>(std::floor(line)) + 1) * kSecondsPerDay - 1 : SecondsOf(line);
        break;
      }
    }
  }

  int PeriodDays() const {
    switch (rule_.frequency) {
      case RuleFrequency::Daily: return 1;
      case RuleFrequency::Weekly: return 7;
      case RuleFrequency::Monthly: return 31;
      case RuleFrequency::Yearly: return 366;
    }
    return 366;
  }

  // Windows: the first day of the week for a weekly rule, the year for a
  // yearly one, the month index (year * 12 + month - 1) for the others.
  int WindowAt(int day) const {
    const int interval = rule_.interval;
    switch (rule_.frequency) {
      case RuleFrequency::Daily: return MonthIndexOf(day);
      case RuleFrequency::Weekly: return weekBase_ + 7 * interval * FloorDiv(day - weekBase_, 7 * interval);
      case RuleFrequency::Monthly: return monthBase_ + interval * FloorDiv(MonthIndexOf(day) - monthBase_, interval);
      case RuleFrequency::Yearly: {
        const int startYear = YearOfMonth(monthBase_);
        return startYear + interval * FloorDiv(PartsOf(day).year - startYear, interval);
      }
    }
    return 0;
  }

  int NextWindow(int window) const {
    const int interval = rule_.interval;
    switch (rule_.frequency) {
      case RuleFrequency::Daily: {
        const std::optional<int> next = FirstDayOfMonth(window + 1);
        if (!next) return window + 1;
        return MonthIndexOf(FirstDailyDayFrom(*next));  // skips months a long interval has no day in
      }
      case RuleFrequency::Weekly: return window + 7 * interval;
      case RuleFrequency::Monthly:
      case RuleFrequency::Yearly: return window + interval;
    }
    return window + 1;
  }

  std::optional<int> FirstDayOf(int window) const {
    switch (rule_.frequency) {
      case RuleFrequency::Daily:
      case RuleFrequency::Monthly: return FirstDayOfMonth(window);
      case RuleFrequency::Weekly:
        if (window > kLastDay) return std::nullopt;
        return window;
      case RuleFrequency::Yearly: return FirstDayOfMonth(window * 12);
    }
    return std::nullopt;
  }

  // The first day of the daily series on or after `day`.
  int FirstDailyDayFrom(int day) const {
    return startDay_ + rule_.interval * std::max(0, CeilDiv(day - startDay_, rule_.interval));
  }

  // The rule's days in the window, ascending, BYSETPOS applied, before the
  // start, UNTIL and COUNT are looked at.
  void DaysOf(int window, Days& days) const {
    switch (rule_.frequency) {
      case RuleFrequency::Daily: DailyDays(window, days); return;
      case RuleFrequency::Weekly: WeeklyDays(window, days); break;
      case RuleFrequency::Monthly: MonthDays(window, nullptr, days); break;
      case RuleFrequency::Yearly: YearlyDays(window, days); break;
    }
    KeepSetPosition(days);
  }

  // BYSETPOS: the one day at that place in the period's set.
  void KeepSetPosition(Days& days) const {
    if (!rule_.bySetPos) return;
    const int size = static_cast<int>(days.size);
    const int index = *rule_.bySetPos > 0 ? *rule_.bySetPos - 1 : size + *rule_.bySetPos;
    if (index < 0 || index >= size) {
      days.size = 0;
      return;
    }
    days.day[0] = days.day[static_cast<std::size_t>(index)];
    days.size = 1;
  }

  bool MonthChosen(int month) const { return rule_.byMonth == 0 || Has(rule_.byMonth, month - 1); }

  // Each period of a daily rule is one day, so BYSETPOS keeps it only as
  // the first or last of a set of one.
  void DailyDays(int monthIndex, Days& days) const {
    if (!MonthChosen(MonthOfMonth(monthIndex))) return;
    if (rule_.bySetPos && *rule_.bySetPos != 1 && *rule_.bySetPos != -1) return;
    const std::optional<int> first = FirstDayOfMonth(monthIndex);
    if (!first) return;
    const DayRange month{*first, DaysInMonth(YearOfMonth(monthIndex), MonthOfMonth(monthIndex))};
    for (int day = FirstDailyDayFrom(month.first); day < month.first + month.length; day += rule_.interval) {
      if (MonthDayFits(day - month.first + 1, month.length) && WeekdayFits(day, month)) days.Add(day);
    }
  }

  void WeeklyDays(int weekFirst, Days& days) const {
    const unsigned weekdays = rule_.byWeekday != 0 ? rule_.byWeekday : 1U << WeekdayOf(startDay_);
    for (int day = weekFirst; day < weekFirst + 7; ++day) {
      if (Has(weekdays, WeekdayOf(day)) && (rule_.byMonth == 0 || MonthChosen(PartsOf(day).month))) days.Add(day);
    }
  }

  // Without BYMONTH, a numbered weekday is its place in the year.
  void YearlyDays(int year, Days& days) const {
    const std::optional<int> first = FirstDayOfMonth(year * 12);
    if (!first) return;
    const DayRange wholeYear{*first, DaysInMonth(year, 2) == 29 ? 366 : 365};
    const bool onStartDay = rule_.byWeekday == 0 && !places_ && rule_.byMonthDay == 0;
    for (int month = 1; month <= 12; ++month) {
      if (rule_.byMonth == 0 && onStartDay && month != startMonth_) continue;
      MonthDays(year * 12 + month - 1, rule_.byMonth == 0 ? &wholeYear : nullptr, days);
    }
  }

  // Adds the days of one month of a monthly or yearly rule (BYMONTH looked
  // at), ascending after those of the months before; a numbered weekday
  // counts in `placesIn`, or else in the month.
  void MonthDays(int monthIndex, const DayRange* placesIn, Days& days) const {
    const int monthNumber = MonthOfMonth(monthIndex);
    const std::optional<int> first = FirstDayOfMonth(monthIndex);
    if (!first || !MonthChosen(monthNumber)) return;
    const DayRange month{*first, DaysInMonth(YearOfMonth(monthIndex), monthNumber)};
    if (rule_.byWeekday == 0 && !places_ && rule_.byMonthDay == 0) {  // the start's day, in months that have it
      if (startMonthDay_ <= month.length) days.Add(month.first + startMonthDay_ - 1);
      return;
    }
    for (int day = month.first; day < month.first + month.length; ++day) {
      if (MonthDayFits(day - month.first + 1, month.length) && WeekdayFits(day, placesIn ? *placesIn : month)) {
        days.Add(day);
      }
    }
  }

  bool MonthDayFits(int monthDay, int monthLength) const {
    return rule_.byMonthDay == 0 || Has(rule_.byMonthDay, monthDay - 1) ||
           Has(rule_.byMonthDay, 30 + monthLength - monthDay + 1);
  }

  // BYDAY as a limit: the weekday, or its place in `range`.
  bool WeekdayFits(int day, const DayRange& range) const {
    const int weekday = WeekdayOf(day);
    if (rule_.byWeekday != 0) return Has(rule_.byWeekday, weekday);
    if (!places_) return true;
    const WeekdayPlaces& places = rule_.byPlace[static_cast<std::size_t>(weekday)];
    return Has(places.fromStart, (day - range.first) / 7) ||
           Has(places.fromEnd, (range.first + range.length - 1 - day) / 7);
  }

  // The occurrences on days before `day`, worked out without looking at
  // each period, where every period's days follow from the weekday alone:
  // a daily rule without BYMONTH and BYMONTHDAY, a weekly one without BYMONTH.
  std::optional<int> CountBefore(int day) const {
    if (rule_.byMonth != 0) return std::nullopt;
    if (rule_.frequency == RuleFrequency::Daily && rule_.byMonthDay == 0) return DailyCountBefore(day);
    if (rule_.frequency == RuleFrequency::Weekly) return WeeklyCountBefore(day);
    return std::nullopt;
  }

  int DailyCountBefore(int day) const {
    if (day <= startDay_) return 0;
    if (rule_.bySetPos && *rule_.bySetPos != 1 && *rule_.bySetPos != -1) return 0;
    const int interval = rule_.interval;
    const int periods = (day - 1 - startDay_) / interval + 1;
    if (rule_.byWeekday == 0) return periods;
    // The weekday of the kth day repeats with k modulo 7.
    int count = 0;
    for (int k = 0; k < std::min(7, periods); ++k) {
      if (Has(rule_.byWeekday, WeekdayOf(startDay_ + interval * k))) count += (periods - 1 - k) / 7 + 1;
    }
    return count;
  }

  int WeeklyCountBefore(int day) const {
    // Every week holds the same days, so BYSETPOS picks the same one.
    Days firsts;
    WeeklyDays(weekBase_, firsts);
    KeepSetPosition(firsts);
    const int step = 7 * rule_.interval;
    int count = 0;
    for (std::size_t i = 0; i < firsts.size; ++i) {
      const int first = firsts.day[i];
      const int lowest = std::max(0, CeilDiv(startDay_ - first, step));
      const int highest = FloorDiv(day - 1 - first, step);
      count += std::max(0, highest - lowest + 1);
    }
    return count;
  }

  const RepeatRule& rule_;
  bool places_ = false;  // BYDAY with numbers
  int startDay_ = 0;
  double timeOfDay_ = 0.0;
  int startMonthDay_ = 1;
  int startMonth_ = 1;
  int weekBase_ = 0;   // the first day of the start's week
  int monthBase_ = 0;  // the start's month index
};

}  // namespace

std::optional<DateValue> NextOccurrenceAfter(const Recurrence& recurrence, DateValue seriesStart, DateValue after,
                                             std::size_t* steps) {
  std::size_t ownSteps = 0;
  std::size_t& counter = steps != nullptr ? *steps : ownSteps;
  if (!IsValidDate(seriesStart) || !IsValidDate(after)) return std::nullopt;
  return std::visit(Overloaded{
                        [&](RepeatMode mode) { return ModeSeries(mode).NextAfter(seriesStart, after, counter); },
                        [&](const RepeatRule& rule) -> std::optional<DateValue> {
                          if (RuleProblemId(rule) != kNoText) return std::nullopt;
                          return RuleSeries(rule, seriesStart).NextAfter(after, counter);
                        },
                    },
                    recurrence);
}

std::optional<DateValue> FirstOccurrence(const Recurrence& recurrence, DateValue seriesStart) {
  return NextOccurrenceAfter(recurrence, seriesStart, FromTimeLine(ToTimeLine(seriesStart) - 1.0 / 86400.0));
}
