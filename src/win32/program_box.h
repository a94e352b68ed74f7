// A message box the user must answer, shown by a window that may be hidden
// (the tray's own window, or the list window while it is closed).
#pragma once

#include <windows.h>

// MessageBoxW, topmost and in the foreground when `owner` is hidden or
// absent: such a box has no taskbar button, and Windows' foreground rules
// (which Wine does not enforce) would otherwise open it behind other windows.
int ShowProgramBox(HWND owner, const wchar_t* text, const wchar_t* title, UINT style);
