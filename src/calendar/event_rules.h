// What each event of a calendar file becomes: an alert Chimewatch keeps
// exactly, or the reason it is left out. Pure: the table and the saving
// are alert_import.cpp's.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "alert_calendar.h"
#include "calendar_components.h"
#include "zone_resolver.h"

// The changed occurrences (RECURRENCE-ID) of a file, by the UID of their
// series; one whose series is not in the file counts as an event.
struct FileEvents {
  std::vector<const Component*> events;  // VEVENTs and VTODOs, each read on its own
  std::map<std::string, std::vector<const Component*>> overrides;

  // What the changed occurrences of a UID come to, worked out once.
  struct Changes {
    double latestLocal = 0.0;
    bool thisAndFuture = false;
    std::optional<std::wstring> failure;  // a time that cannot be read
  };
  mutable std::map<std::string, Changes> changes;
  mutable std::size_t changesRead = 0;  // changed occurrences looked at so far
};
FileEvents CollectEvents(const std::vector<Component>& calendars);

EventOutcome ReadEvent(const Component& event, const FileEvents& file, ZoneResolver& zones,
                       const ImportContext& context);
