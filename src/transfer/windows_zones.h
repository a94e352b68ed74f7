// Time zones as Windows knows them: the PC's own, and the ones of its zone
// database by name (Outlook and Exchange write Windows' names in a TZID).
#pragma once

#include <optional>
#include <string_view>

#include "zone_rules.h"

// GetDynamicTimeZoneInformation, named by its key name
// ("W. Europe Standard Time").
ZoneRules LocalZoneRules();

// The zone of that key name in Windows' zone database (the keys under
// HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Time Zones), or the
// one whose display text names the same places ("(GMT+10:00) Canberra,
// Melbourne, Sydney").
std::optional<ZoneRules> FindWindowsZone(std::wstring_view name);
