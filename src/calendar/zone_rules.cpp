#include "zone_rules.h"

bool HasSummerTime(const ZoneRules& zone) { return zone.daylightDate.month != 0 && zone.standardDate.month != 0; }
