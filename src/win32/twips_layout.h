// Places windows and controls from layout tables in twips, at the DPI of
// the window's monitor. Creation and a change of DPI take the same path.
#pragma once

#include <windows.h>

#include <span>

#include "scoped_handles.h"
#include "window_layouts.h"

// The one conversion from twips to pixels.
inline int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// The controls of one window, laid out from their table at one DPI.
class TwipsLayout {
 public:
  explicit TwipsLayout(std::span<const ControlLayout> controls) : controls_(controls) {}

  // Creates the controls in table order, which is their z-order, and lays
  // them out at the DPI.
  void Create(HWND parent, int dpi);
  // Places and sizes every control from its twips at the DPI, with the
  // dialog font made for that DPI.
  void Apply(int dpi);
  int Dpi() const { return dpi_; }

 private:
  void ClipLabel(HWND label, const RECT& labelRect) const;

  std::span<const ControlLayout> controls_;
  HWND parent_ = nullptr;
  ScopedHFONT font_;
  int dpi_ = 96;
};

// Sizes the window so that its client area has the layout's size at the
// DPI, and centres it on the owner, or on the screen's work area without one.
void PlaceWindow(HWND window, const WindowLayout& layout, HWND centreOn, int dpi);

// Moves the window to the rectangle Windows suggests with WM_DPICHANGED.
void MoveToSuggestedRect(HWND window, const RECT& suggested);
