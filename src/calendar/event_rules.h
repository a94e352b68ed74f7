// What each event of a calendar file becomes: an alert Chimewatch keeps
// exactly, or the reason it is left out. Pure: the table and the saving
// are alert_import.cpp's.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alert_calendar.h"
#include "calendar_components.h"
#include "file_zone.h"
#include "zone_clock.h"

// The zones a file's TZIDs name: its own VTIMEZONEs first, then Windows'
// zones by name. Remembers the names it could not find.
class ZoneResolver {
 public:
  ZoneResolver(const std::vector<Component>& calendars, const ImportContext& context);

  struct Lookup {
    const ZoneClock* zone = nullptr;  // null: not known, read as local time
    int unreadableLine = 0;           // the file's VTIMEZONE of that name could not be read
  };
  Lookup Find(const std::string& name);

  // The distance in seconds from `zone` (null: local) to the PC's zone
  // when it stays the same over the year from `nowUtc`; none when either
  // zone changes its clock on a day the other does not. Kept per zone.
  std::optional<int> SteadyDistance(const ZoneClock* zone, double nowUtc);

  const ZoneClock& Local() const { return local_; }
  const ZoneClock& Utc() const { return utc_; }
  const std::vector<std::string>& UnknownNames() const { return unknown_; }

 private:
  const ImportContext& context_;
  RulesClock local_;
  ConstantClock utc_{0};
  std::map<std::string, FileZoneReading> fileZones_;
  std::map<std::string, std::unique_ptr<ZoneClock>> windowsZones_;  // null: Windows does not know it
  std::vector<std::string> unknown_;
  std::map<const ZoneClock*, std::optional<int>> steadyDistances_;
};

// The future changed occurrences (RECURRENCE-ID) of a file, by UID.
struct FileEvents {
  std::vector<const Component*> events;  // VEVENTs and VTODOs that are not overrides
  std::map<std::string, std::vector<const Component*>> overrides;
};
FileEvents CollectEvents(const std::vector<Component>& calendars);

EventOutcome ReadEvent(const Component& event, const FileEvents& file, ZoneResolver& zones,
                       const ImportContext& context);
