#include "drop_down_width.h"

#include <algorithm>
#include <string>

#include "dpi.h"

void FitDropDownWidth(HWND combo) {
  HDC dc = GetDC(combo);
  if (dc == nullptr) return;
  const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(combo, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  std::wstring entry;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT index = 0; index < count; ++index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) continue;  // CB_ERR, or an empty entry
    entry.resize(static_cast<std::size_t>(length) + 1);
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(entry.data()));
    SIZE size{};
    if (GetTextExtentPoint32W(dc, entry.c_str(), static_cast<int>(length), &size)) widest = std::max(widest, size.cx);
  }
  SelectObject(dc, oldFont);
  ReleaseDC(combo, dc);
  // The list's borders and its entries' margins, and a scroll bar it may show.
  const int dpi = WindowDpi(combo);
  const int frame = 4 * SystemMetricForDpi(SM_CXEDGE, dpi) + SystemMetricForDpi(SM_CXVSCROLL, dpi);
  SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + frame), 0);
}
