// What each event of a calendar file becomes: an alert Chimewatch keeps
// exactly, or the reason it is left out. Pure: the table and the saving
// are alert_import.cpp's.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "alert_calendar.h"
#include "calendar_components.h"
#include "zone_resolver.h"

// The future changed occurrences (RECURRENCE-ID) of a file, by UID.
struct FileEvents {
  std::vector<const Component*> events;  // VEVENTs and VTODOs that are not overrides
  std::map<std::string, std::vector<const Component*>> overrides;
};
FileEvents CollectEvents(const std::vector<Component>& calendars);

EventOutcome ReadEvent(const Component& event, const FileEvents& file, ZoneResolver& zones,
                       const ImportContext& context);
