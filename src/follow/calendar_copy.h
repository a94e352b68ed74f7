// The last good copy of each followed calendar, with its ETag and
// Last-Modified, beside the store: under %LOCALAPPDATA%\Chimewatch for an
// installed Chimewatch, in a folder beside a portable chimewatch.ini (so
// that a synced folder carries them). Each is replaced whole, so that two
// programs sharing a portable folder never leave half of one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct CalendarCopy {
  std::string body;
  std::string etag;
  std::string lastModified;
};

std::optional<CalendarCopy> ReadCalendarCopy(std::wstring_view address);
// Returns what went wrong, or nothing when kept.
std::optional<std::wstring> WriteCalendarCopy(std::wstring_view address, const CalendarCopy& copy);
void DeleteCalendarCopy(std::wstring_view address);
