// Date texts: the patterns the program writes.
#pragma once

#include <string>
#include <string_view>

#include "date_value.h"

// The stored due time; 16 characters, read back by position.
inline constexpr std::wstring_view kStoredTimePattern = L"hh:nn yyyy/mm/dd";
// The alarm message and the list's time column.
inline constexpr std::wstring_view kShortTimeDatePattern = L"hh:nn yy/mm/dd";
// The editor's date and time fields.
inline constexpr std::wstring_view kEditorDatePattern = L"yy/mm/dd";
inline constexpr std::wstring_view kEditorTimePattern = L"hh:nn";
// The tray tip's countdown: the time-of-day part of a difference.
inline constexpr std::wstring_view kCountdownPattern = L"hh:nn:ss";
// The list's weekday column: the abbreviated weekday in the language in use.
inline constexpr std::wstring_view kWeekdayPattern = L"ddd";
// The list's sort key: the plain number.
inline constexpr std::wstring_view kGeneralNumberPattern = L"General Number";

// Formats by a pattern made of the tokens yyyy, yy, mm, dd, ddd, hh, nn, ss
// (anything else is copied as it stands), or "General Number". Every numeric
// field is zero-padded, so the fixed patterns always give the same length.
std::wstring FormatDate(DateValue value, std::wstring_view pattern);
