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
  // How many times a rule's onset in a year was worked out so far.
  std::size_t RuleSteps() const { return ruleSteps_; }

 private:
  // A yearly rule made quick to ask. The day it picks depends only on the
  // kind of year (leap or not, and the weekday its month begins on): 14
  // kinds, looked up instead of worked out; and the kinds repeat every 400
  // years, so the cycle's years it has an onset in are a set of bits.
  struct RulePlan {
    std::size_t observance = 0;
    int firstYear = 0;  // the wall-clock years it may have an onset in
    int lastYear = -1;
    int secondOfDay = 0;
    std::array<signed char, 14> dayOfKind{};
    std::array<std::uint64_t, 7> cycleYears{};
  };
  void PlanRules() const;
  // The rules with a day in the years at `place` of the 400-year cycle.
  const std::vector<unsigned char>& RulesAt(int place) const;
  std::optional<Onset> RuleOnsetIn(const RulePlan& plan, int wallYear) const;

  // The onsets whose UTC instant falls in `year`, in order; worked out once.
  const std::vector<Onset>& OnsetsIn(int year) const;
  // The last onset before `year` begins, if any.
  std::optional<Onset> LatestBefore(int year) const;

  std::vector<Observance> observances_;
  std::map<int, std::vector<Onset>> listedOnsets_;  // DTSTARTs and RDATEs by year
  int firstYear_ = 10000;                           // no onset before it
  int initialOffset_ = 0;                           // the clock before the first onset
  mutable std::map<int, std::vector<Onset>> yearOnsets_;
  mutable std::map<int, std::optional<Onset>> latestBefore_;
  // The year asked last: an event asks about the same year several times.
  mutable int lastYear_ = INT_MIN;
  mutable const std::vector<Onset>* lastOnsets_ = nullptr;
  mutable std::vector<RulePlan> plans_;  // made when the zone is first asked
  mutable bool planned_ = false;
  mutable std::vector<std::vector<unsigned char>> rulesAt_;  // by place; made when first asked
  mutable std::vector<bool> rulesAtKnown_;
  mutable std::size_t ruleSteps_ = 0;
};

struct FileZoneReading {
  std::string name;  // TZID
  std::optional<FileZone> zone;
  int unreadableLine = 0;  // when there is no zone
};

FileZoneReading ReadFileZone(const Component& zoneComponent);
