// A VTIMEZONE of the file: its STANDARD and DAYLIGHT observances, each an
// onset (DTSTART, repeated by a yearly RRULE or listed by RDATE) at which
// the clock goes from TZOFFSETFROM to TZOFFSETTO. The offset at an instant
// is the TZOFFSETTO of the latest onset at or before it.
#pragma once

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "calendar_components.h"
#include "calendar_values.h"
#include "zone_clock.h"

struct YearlyOnsetRule {
  int month = 0;
  std::vector<WeekdayEntry> weekdays;  // BYDAY
  std::vector<int> monthDays;          // BYMONTHDAY
  int count = 0;                       // 0: no COUNT
  std::optional<double> untilUtc;
};

struct Observance {
  double start = 0.0;  // wall time of the first onset, in the offset before it
  int offsetFrom = 0;
  int offsetTo = 0;
  std::optional<YearlyOnsetRule> rule;
  std::vector<double> extraStarts;  // RDATEs, wall times
};

// An instant the clock changes (UTC) and the offset from then on.
struct Onset {
  double utc = 0.0;
  int offsetTo = 0;
};

class FileZone final : public ZoneClock {
 public:
  explicit FileZone(std::vector<Observance> observances);
  int OffsetAtUtc(double utc) const override;
  std::vector<double> ChangesBetween(double from, double to) const override;
  // How many years were worked out so far, and rules' onsets in them.
  std::size_t RuleSteps() const { return ruleSteps_; }

 private:
  // A yearly rule made quick to ask. The day it picks depends only on the
  // kind of year (leap or not, and the weekday its month begins on): 14
  // kinds, looked up instead of worked out; and the kinds repeat every 400
  // years, so the cycle's years it has an onset in are a set of bits.
  struct RulePlan {
    int rank = 0;  // its place in the zone: of equal instants the later one counts
    int month = 0;
    int firstYear = 0;  // the wall-clock years it may have an onset in
    int lastYear = -1;
    int secondOfDay = 0;
    int offsetFrom = 0;
    int offsetTo = 0;
    double start = 0.0;      // no onset before it (wall clock)
    double latestUtc = 0.0;  // nor after it (UNTIL, to the second)
    std::array<signed char, 14> dayOfKind{};
    std::array<std::uint64_t, 7> cycleYears{};
  };
  // Years from `firstYear` to the next stretch's in which the same rules
  // are in force, and the cycle's years any of them has an onset in.
  struct RuleStretch {
    int firstYear = 0;
    std::array<std::uint64_t, 7> cycleYears{};
  };
  // A year worked out: its onsets are onsets_[first, first + count).
  struct KnownYear {
    int year = INT_MIN;
    std::uint32_t first = 0;
    std::uint32_t count = 0;
  };
  void PlanRules() const;
  // The latest wall-clock year at or before `wallYear` in which a rule may
  // have an onset; INT_MIN when none.
  int LatestRuleYear(int wallYear) const;
  // The latest UTC year at or before `year` that may hold an onset.
  int LatestPossibleYear(int year) const;
  // The rule's onset in a year it has a day in: `firstOfMonth` is the
  // DayNumber of the first of its month, `kind` the year's kind for it.
  std::optional<Onset> RuleOnsetIn(const RulePlan& plan, int firstOfMonth, int kind) const;

  // The onsets whose UTC instant falls in `year`, in order, worked out
  // once; of equal instants only the one that counts (the last) is kept.
  KnownYear OnsetsIn(int year) const;
  KnownYear WorkOutYear(int year) const;
  void Remember(const KnownYear& known) const;
  // The last onset before `year` begins, if any.
  std::optional<Onset> LatestBefore(int year) const;

  std::vector<Observance> observances_;
  std::map<int, std::vector<Onset>> listedOnsets_;  // DTSTARTs and RDATEs by year
  int firstYear_ = 10000;                           // no onset before it
  int initialOffset_ = 0;                           // the clock before the first onset
  YearFinder years_;
  // Every year worked out, by year: open addressing in a power of two of
  // places, as the years asked are mostly near each other. Values only, so
  // a copy of the zone stays whole.
  mutable std::vector<Onset> onsets_;
  mutable std::vector<KnownYear> knownYears_;
  mutable std::size_t knownCount_ = 0;
  // The year asked last and the onset before it: an event asks about the
  // same year several times.
  mutable KnownYear lastYear_;
  mutable std::optional<std::optional<Onset>> lastLatestBefore_;
  // An onset of a year being worked out, with its rank: of equal instants
  // the listed ones come first, then the rules in the zone's order.
  struct Ranked {
    Onset onset;
    int rank = 0;
  };
  mutable std::vector<Ranked> ranked_;
  mutable std::vector<RulePlan> plans_;  // made when the zone is first asked
  mutable std::vector<RuleStretch> stretches_;
  mutable bool planned_ = false;
  mutable std::size_t ruleSteps_ = 0;
};

struct FileZoneReading {
  std::string name;  // TZID
  std::optional<FileZone> zone;
  int unreadableLine = 0;  // when there is no zone
};

FileZoneReading ReadFileZone(const Component& zoneComponent);
