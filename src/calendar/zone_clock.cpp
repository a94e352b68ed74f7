#include "zone_clock.h"

#include <algorithm>
#include <cmath>

#include "calendar_values.h"

namespace {

// Instants compare to the second: a change computed one way and a time
// computed another must not differ by a rounding step.
double ToWholeSecond(double line) { return std::round(line * kSecondsPerDay) / kSecondsPerDay; }

int YearOf(double line) { return SplitDate(FromTimeLine(line)).year; }

int StandardOffset(const ZoneRules& rules) { return -(rules.biasMinutes + rules.standardBiasMinutes) * 60; }
int DaylightOffset(const ZoneRules& rules) { return -(rules.biasMinutes + rules.daylightBiasMinutes) * 60; }

// The change's instant in `year` in UTC, given the offset in force before it.
std::optional<double> ChangeInstant(const ZoneChange& change, int year, int offsetBefore) {
  const int day = change.year != 0
                      ? change.day
                      : NthWeekdayOfMonth(year, change.month, change.dayOfWeek, change.week >= 5 ? -1 : change.week);
  const auto wall = TimeLineOf(year, change.month, day, change.hour * 3600 + change.minute * 60 + change.second);
  if (!wall) return std::nullopt;
  return ToWholeSecond(*wall - offsetBefore / kSecondsPerDay);
}

}  // namespace

int YearFinder::YearOf(double line) const {
  if (line >= found_[0].from && line <= found_[0].to) return found_[0].year;
  std::swap(found_[0], found_[1]);
  if (line >= found_[0].from && line <= found_[0].to) return found_[0].year;
  Found& found = found_[0];
  found.year = ::YearOf(line);
  const bool known = found.year >= 100 && found.year < 9999;
  // A second inside either end, as the year is read to the second.
  found.from = known ? DayNumber(found.year, 1, 1) + 1.0 / kSecondsPerDay : 0.0;
  found.to = known ? DayNumber(found.year + 1, 1, 1) - 2.0 / kSecondsPerDay : -1.0;
  return found.year;
}

int DayNumber(int year, int month, int day) {
  const int y = year - (month <= 2 ? 1 : 0);  // years from 1 March
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  return y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - 693899;
}

// Day 0, 30 December 1899, was a Saturday.
int FirstWeekdayOf(int year, int month) { return (DayNumber(year, month, 1) % 7 + 7 + 6) % 7; }

int NthWeekdayOfMonth(int year, int month, int weekday, int ordinal) {
  const int days = DaysInMonth(year, month);
  if (days == 0 || year < 100 || year > 9999) return 0;
  return NthWeekdayIn(days, FirstWeekdayOf(year, month), weekday, ordinal);
}

int NthWeekdayIn(int days, int firstWeekday, int weekday, int ordinal) {
  if (ordinal == 0) return 0;
  const int firstMatch = 1 + (weekday - firstWeekday + 7) % 7;
  const int matches = (days - firstMatch) / 7 + 1;
  if (ordinal > matches || -ordinal > matches) return 0;
  const int index = ordinal > 0 ? ordinal - 1 : matches + ordinal;
  return firstMatch + 7 * index;
}

int RulesClock::OffsetAtUtc(double utc) const {
  if (!HasSummerTime(rules_)) return StandardOffset(rules_);
  utc = ToWholeSecond(utc);
  const YearChanges& changes = ChangesIn(years_.YearOf(utc + StandardOffset(rules_) / kSecondsPerDay));
  if (!changes.summerStarts || !changes.summerEnds) return StandardOffset(rules_);
  const double starts = *changes.summerStarts;
  const double ends = *changes.summerEnds;
  const bool summer = starts < ends ? utc >= starts && utc < ends : utc >= starts || utc < ends;  // southern
  return summer ? DaylightOffset(rules_) : StandardOffset(rules_);
}

const RulesClock::YearChanges& RulesClock::ChangesIn(int year) const {
  if (lastYears_[0].year == year) return lastYears_[0];
  std::swap(lastYears_[0], lastYears_[1]);
  YearChanges& changes = lastYears_[0];
  if (changes.year != year) {
    changes.year = year;
    changes.summerStarts = ChangeInstant(rules_.daylightDate, year, StandardOffset(rules_));
    changes.summerEnds = ChangeInstant(rules_.standardDate, year, DaylightOffset(rules_));
  }
  return changes;
}

std::vector<double> RulesClock::ChangesBetween(double from, double to) const {
  std::vector<double> changes;
  if (!HasSummerTime(rules_) || !(from <= to)) return changes;
  const int last = std::min(YearOf(to) + 1, 9999);
  for (int year = std::max(YearOf(from) - 1, 100); year <= last; ++year) {
    for (const auto instant : {ChangeInstant(rules_.daylightDate, year, StandardOffset(rules_)),
                               ChangeInstant(rules_.standardDate, year, DaylightOffset(rules_))}) {
      if (instant && *instant >= from && *instant <= to) changes.push_back(*instant);
    }
  }
  std::sort(changes.begin(), changes.end());
  return changes;
}

double WallToUtc(const ZoneClock& zone, double wall) {
  const int before = zone.OffsetAtUtc(wall - 1.0);
  const int after = zone.OffsetAtUtc(wall + 1.0);
  const double fromBefore = ToWholeSecond(wall - before / kSecondsPerDay);
  if (before == after) return fromBefore;
  const double fromAfter = ToWholeSecond(wall - after / kSecondsPerDay);
  const bool beforeHolds = zone.OffsetAtUtc(fromBefore) == before;
  const bool afterHolds = zone.OffsetAtUtc(fromAfter) == after;
  if (beforeHolds != afterHolds) return beforeHolds ? fromBefore : fromAfter;
  // Both: the doubled hour, taken in the larger offset (summer time).
  // Neither: the skipped hour, taken in the smaller (standard time).
  const bool takeLarger = beforeHolds;
  return (before > after) == takeLarger ? fromBefore : fromAfter;
}

double UtcToWall(const ZoneClock& zone, double utc) { return utc + zone.OffsetAtUtc(utc) / kSecondsPerDay; }

int OffsetDistance(const ZoneClock& zone, const ZoneClock& local, double utc) {
  return local.OffsetAtUtc(utc) - zone.OffsetAtUtc(utc);
}

DateValue LocalToUtc(const ZoneRules& zone, DateValue local) {
  return FromTimeLine(WallToUtc(RulesClock(zone), ToTimeLine(local)));
}

DateValue UtcToLocal(const ZoneRules& zone, DateValue utc) {
  return FromTimeLine(UtcToWall(RulesClock(zone), ToTimeLine(utc)));
}
