// Outlook Web Access names a zone in a TZID by Windows' display text, with
// the offset as it was then: "(GMT+10:00) Canberra, Melbourne, Sydney" for
// what Windows now shows as "(UTC+10:00) Canberra, Melbourne, Sydney".
#pragma once

#include <string_view>

// The display text without a leading "(UTC+hh:mm)", "(GMT-hh:mm)", "(UTC)"
// or "(GMT)" and the blanks after it.
std::wstring_view WithoutOffsetPrefix(std::wstring_view display);

// Same place names, whatever the offset prefix and the letter case.
bool SameZoneDisplayName(std::wstring_view a, std::wstring_view b);
