// A time zone as the import sees it: the offset from UTC at any instant and
// the instants where it changes. Times are on the plain time line
// (calendar_values.h), offsets in seconds east of UTC.
#pragma once

#include <array>
#include <climits>
#include <optional>
#include <utility>
#include <vector>

#include "zone_rules.h"

// A clock keeps what it worked out for the years asked last: one reading
// (one thread) uses it at a time.
class ZoneClock {
 public:
  virtual ~ZoneClock() = default;
  virtual int OffsetAtUtc(double utc) const = 0;
  // The instants in [from, to] where the offset changes, in order; at most
  // a few per year.
  virtual std::vector<double> ChangesBetween(double from, double to) const = 0;
};

// The calendar year of an instant on the time line, quick for instants of
// the two years found last: a zone is asked about an event's year many
// times, and about the present in between.
class YearFinder {
 public:
  int YearOf(double line) const;

 private:
  struct Found {
    int year = 0;
    double from = 0.0;  // the year's instants surely in it
    double to = -1.0;
  };
  mutable std::array<Found, 2> found_;  // the latest first
};

// Wall-clock time to UTC. A time that falls twice is taken in the larger
// offset (summer time); one that does not exist in the smaller (standard).
double WallToUtc(const ZoneClock& zone, double wall);
double UtcToWall(const ZoneClock& zone, double utc);

// Conversions of date values (OLE dates) in a zone in Windows' form. A
// local time that falls twice (the hour when summer time ends) is taken in
// summer time; one that does not exist (the hour skipped when it starts) is
// taken in standard time.
DateValue LocalToUtc(const ZoneRules& zone, DateValue local);
DateValue UtcToLocal(const ZoneRules& zone, DateValue utc);

// Seconds from `zone`'s wall clock to `local`'s at the instant `utc`.
int OffsetDistance(const ZoneClock& zone, const ZoneClock& local, double utc);

// A zone in Windows' form.
class RulesClock final : public ZoneClock {
 public:
  explicit RulesClock(ZoneRules rules) : rules_(std::move(rules)) {}
  int OffsetAtUtc(double utc) const override;
  std::vector<double> ChangesBetween(double from, double to) const override;

 private:
  // The two changes of a year, in UTC; none when the year has no such day.
  struct YearChanges {
    int year = INT_MIN;
    std::optional<double> summerStarts;
    std::optional<double> summerEnds;
  };
  const YearChanges& ChangesIn(int year) const;

  ZoneRules rules_;
  YearFinder years_;
  // The two years asked last: an event asks about its year several times,
  // and about the present in between.
  mutable std::array<YearChanges, 2> lastYears_;
};

// UTC itself, and any other zone that never changes.
class ConstantClock final : public ZoneClock {
 public:
  explicit ConstantClock(int offsetSeconds) : offset_(offsetSeconds) {}
  int OffsetAtUtc(double) const override { return offset_; }
  std::vector<double> ChangesBetween(double, double) const override { return {}; }

 private:
  int offset_;
};

// Days from 30 December 1899 to a date of the years 100 to 9999, as
// TimeLineOf counts them, in plain integers: zones ask this for each rule
// in each year they are asked about.
int DayNumber(int year, int month, int day);
// The weekday (0 Sunday) of the first of a month of those years.
int FirstWeekdayOf(int year, int month);

// The day of the month of the `ordinal`-th `weekday` (0 Sunday) of a month:
// 1..5 from the start (5 meaning the last when there is no fifth), negative
// from the end. 0 when there is none.
int NthWeekdayOfMonth(int year, int month, int weekday, int ordinal);
// The same in a month of `days` days whose first day is `firstWeekday`.
int NthWeekdayIn(int days, int firstWeekday, int weekday, int ordinal);
