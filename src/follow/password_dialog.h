// The small dialog that asks for a calendar's password when a command
// named its user: a standard password field, since Windows' own prompt
// (CredUIPromptForWindowsCredentials) is a stub in Wine and would keep
// the tests from answering it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

inline constexpr wchar_t kPasswordWindowClass[] = L"ChimewatchPassword";

// None when cancelled.
std::optional<std::wstring> AskCalendarPassword(HINSTANCE instance, HWND owner, const std::wstring& shownAddress,
                                                const std::wstring& user);
