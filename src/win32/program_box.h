// A message box the user must answer, shown by a window that may be hidden
// (the tray's own window, or the list window while it is closed).
#pragma once

#include <windows.h>

// MessageBoxW, brought to the front when `owner` is hidden or absent: such a
// box has no taskbar button, and would otherwise open behind other windows
// (foreground rules that Wine does not enforce).
int ShowProgramBox(HWND owner, const wchar_t* text, const wchar_t* title, UINT style);
