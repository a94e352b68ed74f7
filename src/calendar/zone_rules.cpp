#include "zone_rules.h"

#include "zone_clock.h"

bool HasSummerTime(const ZoneRules& zone) { return zone.daylightDate.month != 0 && zone.standardDate.month != 0; }

DateValue LocalToUtc(const ZoneRules& zone, DateValue local) {
  return FromTimeLine(WallToUtc(RulesClock(zone), ToTimeLine(local)));
}

DateValue UtcToLocal(const ZoneRules& zone, DateValue utc) {
  return FromTimeLine(UtcToWall(RulesClock(zone), ToTimeLine(utc)));
}
