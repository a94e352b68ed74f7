// A VTIMEZONE of the file: its STANDARD and DAYLIGHT observances, each an
// onset (DTSTART, repeated by a yearly RRULE or listed by RDATE) at which
// the clock goes from TZOFFSETFROM to TZOFFSETTO. The offset at an instant
// is the TZOFFSETTO of the latest onset at or before it.
#pragma once

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

class FileZone final : public ZoneClock {
 public:
  explicit FileZone(std::vector<Observance> observances) : observances_(std::move(observances)) {}
  int OffsetAtUtc(double utc) const override;
  std::vector<double> ChangesBetween(double from, double to) const override;

 private:
  std::optional<double> LatestOnsetAtOrBefore(const Observance& observance, double utc) const;
  std::vector<Observance> observances_;
};

struct FileZoneReading {
  std::string name;  // TZID
  std::optional<FileZone> zone;
  int unreadableLine = 0;  // when there is no zone
};

FileZoneReading ReadFileZone(const Component& zoneComponent);

// The onset of a yearly rule in `year` (wall time), when it has one then.
std::optional<double> YearlyOnset(const YearlyOnsetRule& rule, int year, int secondOfDay);
