// A VTIMEZONE of the file: its STANDARD and DAYLIGHT observances, each an
// onset (DTSTART, repeated by a yearly RRULE or listed by RDATE) at which
// the clock goes from TZOFFSETFROM to TZOFFSETTO. The offset at an instant
// is the TZOFFSETTO of the latest onset at or before it.
#pragma once

#include <cstddef>
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
  std::optional<Onset> RuleOnsetIn(const Observance& observance, int wallYear) const;

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
  mutable std::size_t ruleSteps_ = 0;
};

struct FileZoneReading {
  std::string name;  // TZID
  std::optional<FileZone> zone;
  int unreadableLine = 0;  // when there is no zone
};

FileZoneReading ReadFileZone(const Component& zoneComponent);

// The onset of a yearly rule in `year` (wall time), when it has one then.
std::optional<double> YearlyOnset(const YearlyOnsetRule& rule, int year, int secondOfDay);
