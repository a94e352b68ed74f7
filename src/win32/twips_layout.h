// Places windows and controls from layout tables in twips, scaled at one
// place to the display's DPI.
#pragma once

#include <windows.h>

#include <span>

#include "window_layouts.h"

int ScreenDpi();
inline int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// Creates the controls in table (tab) order, with the given font.
void CreateLayoutControls(HWND parent, std::span<const ControlLayout> controls, HFONT font, int dpi);

// Sizes the window so that its client area has the layout's size, and
// centres it on the owner, or on the screen's work area without one.
void PlaceWindow(HWND window, const WindowLayout& layout, HWND centreOn, int dpi);

// The system's message font, which dialogs use today.
HFONT CreateDialogFont();
