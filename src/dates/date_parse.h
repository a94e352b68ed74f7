// Date texts typed by the user or written by the editor, back to date values.
#pragma once

#include <optional>
#include <string_view>

#include "date_value.h"

// Accepts, with blanks around:
//   a date    year/month/day with '/', '-' or '.' between the numbers, the
//             year as four digits (2026/12/6, 2026-12-06) or two (26/12/06);
//   a time    hour:minute or hour:minute:second, 24-hour clock;
//   or both, in either order, separated by blanks (or 'T' after a date).
// The result is midnight for a date alone and a pure time of day (< 1) for a
// time alone. A two-digit year takes the century that puts it nearest to
// referenceYear (the current year); a tie goes to the later century. Fields
// are not carried over: 2026/2/30 or 24:00 is not a date and gives nullopt,
// as does any other text. The order of the fields never depends on the
// user's locale, so the editor's own texts always read back the same.
std::optional<DateValue> ParseDateText(std::wstring_view text, int referenceYear);

// Reads the stored "hh:nn yyyy/mm/dd" text by character position; the
// separators are never looked at, so 08.05 2000-02-29 reads as well. Months
// and days out of range carry over (2000/13/01 is 1 January 2001).
std::optional<DateValue> ReadStoredTime(std::wstring_view text);
