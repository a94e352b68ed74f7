// A followed calendar's address: what the user typed or a link gave,
// made into the address fetched, and shown without its secrets.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// "webcal://" and "webcals://" are fetched as "https://"; "http://" and
// "https://" stay; blanks around are dropped. None for anything else, or
// an address without a host.
std::optional<std::wstring> FetchedAddress(std::wstring_view typed);

// The address as a window or a box may show it: a password in it, a query's
// values and any part of the path that looks like a token (Google's
// "private-0123abcd...", a published calendar's long random name) cut to
// their first four characters and "...".
std::wstring ShownAddress(std::wstring_view address);

// Whether fetching it may be read or changed on the way (plain http).
bool IsPlainHttp(std::wstring_view address);

// The host's name, for the calendar's name when it has none.
std::wstring HostOf(std::wstring_view address);
