// Zones and an import context for the calendar tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "alert_calendar.h"

// A zone with its bias and, if it has summer time, the two changes
// {0, month, 0 (Sunday), week (5: the last), 0, hour, 0, 0}.
inline ZoneRules TestZone(const wchar_t* name, int biasMinutes, ZoneChange standardDate = {},
                          ZoneChange daylightDate = {}) {
  ZoneRules zone;
  zone.name = name;
  zone.biasMinutes = biasMinutes;
  if (daylightDate.month != 0) zone.daylightBiasMinutes = -60;
  zone.standardDate = standardDate;
  zone.daylightDate = daylightDate;
  return zone;
}

// Central Europe: UTC+1, summer time from the last Sunday of March 02:00
// to the last Sunday of October 03:00.
inline ZoneRules WestEurope() {
  return TestZone(L"W. Europe Standard Time", -60, {0, 10, 0, 5, 0, 3, 0, 0}, {0, 3, 0, 5, 0, 2, 0, 0});
}
// Sydney: UTC+10, summer time from the first Sunday of October 02:00 to
// the first Sunday of April 03:00, across the new year.
inline ZoneRules AusEastern() {
  return TestZone(L"AUS Eastern Standard Time", -600, {0, 4, 0, 1, 0, 3, 0, 0}, {0, 10, 0, 1, 0, 2, 0, 0});
}
// New York: UTC-5, summer time from the second Sunday of March 02:00 to
// the first Sunday of November 02:00.
inline ZoneRules UsEastern() {
  return TestZone(L"Eastern Standard Time", 300, {0, 11, 0, 1, 0, 2, 0, 0}, {0, 3, 0, 2, 0, 2, 0, 0});
}
// Tokyo: UTC+9 all year.
inline ZoneRules Tokyo() { return TestZone(L"Tokyo Standard Time", -540); }

// An import as the program makes it, in Central Europe, recording saves.
struct TestImport {
  explicit TestImport(DateValue now) {
    context.localZone = WestEurope();
    context.nowLocal = now;
    context.findWindowsZone = [](std::wstring_view name) -> std::optional<ZoneRules> {
      if (name == L"W. Europe Standard Time") return WestEurope();
      if (name == L"AUS Eastern Standard Time" || name == L"(GMT+10:00) Canberra, Melbourne, Sydney")
        return AusEastern();
      if (name == L"Tokyo Standard Time") return Tokyo();
      return std::nullopt;
    };
    context.saveSlot = [this](int slot) -> std::optional<std::wstring> {
      saved.push_back(slot);
      if (const auto failure = failures.find(slot); failure != failures.end()) return failure->second;
      return std::nullopt;
    };
  }

  ImportResult Run(std::string_view bytes, std::wstring_view fileName = L"Work.ics") {
    return ImportAlerts(bytes, fileName, table, context);
  }

  AlarmTable table;
  ImportContext context;
  std::vector<int> saved;
  std::map<int, std::wstring> failures;
};
