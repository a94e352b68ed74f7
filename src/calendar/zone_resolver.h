// The zones a calendar file's TZIDs name, found once per name.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alert_calendar.h"
#include "calendar_components.h"
#include "file_zone.h"
#include "recurrence.h"
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

  // The distance in seconds from `zone` (null: local) to the PC's zone at
  // every occurrence, over the year from `nowUtc`, of the series that starts
  // at `startWall` and occurs next at `firstWall`, both on `zone`'s clock;
  // none when one of them would come at another distance.
  std::optional<int> SteadyDistance(const ZoneClock* zone, const Recurrence& series, double startWall,
                                    double firstWall, double nowUtc) const;

  const ZoneClock& Local() const { return local_; }
  const ZoneClock& Utc() const { return utc_; }
  const std::vector<std::string>& UnknownNames() const { return unknown_; }
  // The onsets of the file's zone rules worked out so far, all zones together.
  std::size_t RuleSteps() const;

 private:
  const ImportContext& context_;
  RulesClock local_;
  ConstantClock utc_{0};
  std::map<std::string, FileZoneReading> fileZones_;
  std::map<std::string, std::unique_ptr<ZoneClock>> windowsZones_;  // null: Windows does not know it
  std::vector<std::string> unknown_;
};
