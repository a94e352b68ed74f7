// UTF-8 and UTF-16 LE bytes <-> std::wstring. wchar_t holds UTF-16 on
// Windows and code points on Linux; both are handled. Invalid UTF-8 becomes
// U+FFFD; UTF-16 keeps even a lone surrogate.
#pragma once

#include <string>
#include <string_view>

std::wstring Utf8ToWide(std::string_view utf8);
// Whether `bytes` are valid UTF-8 (no sequence that Utf8ToWide replaces).
bool IsUtf8(std::string_view bytes);
std::string WideToUtf8(std::wstring_view wide);
std::wstring Utf16LeToWide(std::string_view bytes);
std::string WideToUtf16Le(std::wstring_view wide);
