// A time zone as Windows describes it (TIME_ZONE_INFORMATION): a bias from
// UTC and, for zones with summer time, the yearly day and hour of each
// change. The PC's own zone and the zones Windows knows by name arrive in
// this form; the calendar writer turns it into a VTIMEZONE.
#pragma once

#include <string>

#include "date_value.h"

// When a change happens, as Windows' SYSTEMTIME in a zone record: in month
// `month`, the `week`-th (1..4, 5 the last) `dayOfWeek` (0 Sunday), at
// hour:minute of the clock in force before the change. A nonzero `year`
// means the fixed date year/month/day instead (`day` is then the day).
struct ZoneChange {
  int year = 0;
  int month = 0;  // 0: no change (a zone without summer time)
  int dayOfWeek = 0;
  int week = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;

  bool operator==(const ZoneChange&) const = default;
};

struct ZoneRules {
  std::wstring name;  // Windows' key name, e.g. "W. Europe Standard Time"
  // Minutes to add to local time to get UTC (UTC+1 is -60), as Windows has it.
  int biasMinutes = 0;
  int standardBiasMinutes = 0;
  int daylightBiasMinutes = 0;  // usually -60
  ZoneChange standardDate;      // when summer time ends
  ZoneChange daylightDate;      // when summer time starts

  bool operator==(const ZoneRules&) const = default;
};

bool HasSummerTime(const ZoneRules& zone);
