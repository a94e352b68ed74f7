// The calendars window, from the tray menu's Calendars...: each followed
// calendar with its name, its address shown without its secrets and its
// state in words, kept up to date while it is open; Add..., Remove,
// Refresh now and Close.
#pragma once

#include <windows.h>

#include <functional>

#include "calendar_follower.h"

inline constexpr wchar_t kCalendarsWindowClass[] = L"ChimewatchCalendars";

// Returns when the window is closed. `now` gives the local time.
void ShowCalendarsWindow(HINSTANCE instance, CalendarFollower& follower, std::function<DateValue()> now);
