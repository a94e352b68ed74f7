// Add...: the calendar to follow, as the user gives it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "command_line.h"

inline constexpr wchar_t kAddCalendarWindowClass[] = L"ChimewatchAddCalendar";

struct CalendarToAdd {
  FollowArguments arguments;
  std::wstring password;  // empty: none
};

// None when cancelled. A lead that is no number is told, and the dialog stays.
std::optional<CalendarToAdd> AskCalendarToAdd(HWND owner);
