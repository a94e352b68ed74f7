// A drop-down list as wide as its longest entry.
#pragma once

#include <windows.h>

// Sets the width of `combo`'s list, when it opens (CBN_DROPDOWN), to its
// widest entry in the box's font, so that a long entry (a repeat rule in
// words) shows whole; the list is never narrower than the box.
void FitDropDownWidth(HWND combo);
