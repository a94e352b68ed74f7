// A calendar Chimewatch follows by its address, as the store keeps it:
// HKCU\Software\Chimewatch\Calendars\<n> (sections "Calendars\<n>" of a
// portable chimewatch.ini), numbered from 1 without a gap. Its password is
// never here: Windows' Credential Manager keeps it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "date_value.h"
#include "settings_store.h"

inline constexpr int kDefaultLeadMinutes = 15;
inline constexpr int kDefaultRefreshMinutes = 30;
inline constexpr int kMinRefreshMinutes = 5;
inline constexpr int kMaxRefreshMinutes = 1440;
inline constexpr int kMaxLeadMinutes = 10080;  // a week
inline constexpr std::size_t kMaxFollowedCalendars = 20;

struct FollowedCalendar {
  std::wstring address;  // http:// or https://, as fetched
  std::wstring name;
  std::wstring user;                                     // empty: the server asks for no one
  std::optional<int> leadMinutes = kDefaultLeadMinutes;  // none: events without an alarm do not remind
  int refreshMinutes = kDefaultRefreshMinutes;
  // The reminders due up to this local time have been shown (or were
  // past when the calendar was added): none of them rings again.
  DateValue remindedThrough = 0.0;
  bool operator==(const FollowedCalendar&) const = default;
};

// The calendars in their order; a damaged value takes its default, an
// entry without an address ends the list.
std::vector<FollowedCalendar> ReadFollowedCalendars(SettingsStore& store);

// Writes the whole list in one update, and empties the entries after it
// (a store keeps no deletions); returns what could not be written.
std::optional<std::wstring> SaveFollowedCalendars(SettingsStore& store, const std::vector<FollowedCalendar>& calendars,
                                                  std::size_t previousCount);

// Only `remindedThrough` of entry `index` (from 0), after a reminder rang.
bool SaveRemindedThrough(SettingsStore& store, std::size_t index, DateValue remindedThrough);

// The entry whose name is `name` (any case), or none.
std::optional<std::size_t> FindCalendarByName(const std::vector<FollowedCalendar>& calendars, std::wstring_view name);
