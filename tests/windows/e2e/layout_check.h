// Checks that a window of the program is laid out from its twips table at
// a DPI, as a person at that DPI would see it.
#pragma once

#include <windows.h>

#include <span>

#include "window_layouts.h"

// The client area has the window's size, and every control lies where its
// twips put it, within a pixel. A drop-down list's height follows its font,
// so only its left, top and width are checked.
void ExpectLaidOutAt(HWND window, const WindowLayout& layout, std::span<const ControlLayout> controls, int dpi);

// The rectangle twips give at a DPI, in pixels.
RECT TwipsRect(int left, int top, int width, int height, int dpi);
