// Reading the calendar file an import names.
#pragma once

#include <string>
#include <string_view>

struct CalendarFile {
  bool read = false;
  std::string bytes;     // when read
  std::wstring problem;  // otherwise: what to tell the user
};

// The whole file, or why not: it cannot be opened or read, or it is larger
// than an import takes (refused before a byte of it is read).
CalendarFile ReadCalendarFile(std::wstring_view path);
