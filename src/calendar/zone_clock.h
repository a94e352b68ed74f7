// A time zone as the import sees it: the offset from UTC at any instant and
// the instants where it changes. Times are on the plain time line
// (calendar_values.h), offsets in seconds east of UTC.
#pragma once

#include <utility>
#include <vector>

#include "zone_rules.h"

class ZoneClock {
 public:
  virtual ~ZoneClock() = default;
  virtual int OffsetAtUtc(double utc) const = 0;
  // The instants in [from, to] where the offset changes, in order; at most
  // a few per year.
  virtual std::vector<double> ChangesBetween(double from, double to) const = 0;
};

// Wall-clock time to UTC. A time that falls twice is taken in the larger
// offset (summer time); one that does not exist in the smaller (standard).
double WallToUtc(const ZoneClock& zone, double wall);
double UtcToWall(const ZoneClock& zone, double utc);

// Seconds from `zone`'s wall clock to `local`'s at the instant `utc`.
int OffsetDistance(const ZoneClock& zone, const ZoneClock& local, double utc);

// A zone in Windows' form.
class RulesClock final : public ZoneClock {
 public:
  explicit RulesClock(ZoneRules rules) : rules_(std::move(rules)) {}
  int OffsetAtUtc(double utc) const override;
  std::vector<double> ChangesBetween(double from, double to) const override;

 private:
  ZoneRules rules_;
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

// The day of the month of the `ordinal`-th `weekday` (0 Sunday) of a month:
// 1..5 from the start (5 meaning the last when there is no fifth), negative
// from the end. 0 when there is none.
int NthWeekdayOfMonth(int year, int month, int weekday, int ordinal);
// The same in a month of `days` days whose first day is `firstWeekday`.
int NthWeekdayIn(int days, int firstWeekday, int weekday, int ordinal);
