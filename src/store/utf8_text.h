// UTF-8 <-> std::wstring. wchar_t holds UTF-16 on Windows and code points
// on Linux; both are handled. Invalid UTF-8 becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
