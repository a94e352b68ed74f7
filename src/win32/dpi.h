// The DPI of a window and the system values that depend on it. The per-DPI
// functions of user32 (Windows 10 1607 and later) are looked up at run time,
// so that the program still starts where they are missing; there the values
// of the screen's DPI serve.
#pragma once

#include <windows.h>

// The screen's DPI, the one every window has where per-monitor DPI is missing.
int ScreenDpi();
// The DPI of the monitor the window is on.
int WindowDpi(HWND window);
// GetSystemMetrics at a DPI.
int SystemMetricForDpi(int index, int dpi);
// The system's message font, the one dialogs use, for a DPI.
LOGFONTW MessageFontForDpi(int dpi);
// The window rectangle around a client rectangle, with the frame at a DPI.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);
// Keeps Windows' own rescaling of a dialog out of the way, where Windows
// has it: our dialogs lay themselves out again from their twips.
void DisableDialogDpiScaling(HWND dialog);
