#include "twips_layout.h"

#include <commctrl.h>

#include <string>

namespace {

struct ControlClass {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

ControlClass ClassOf(ControlKind kind) {
  constexpr DWORD kTab = WS_TABSTOP;
  switch (kind) {
    case ControlKind::PushButton: return {L"BUTTON", BS_PUSHBUTTON | kTab, 0};
    case ControlKind::DefaultButton: return {L"BUTTON", BS_DEFPUSHBUTTON | kTab, 0};
    case ControlKind::ListView:
      return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | kTab, WS_EX_CLIENTEDGE};
    case ControlKind::Label: return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::TextBox: return {L"EDIT", ES_AUTOHSCROLL | ES_LEFT | kTab, WS_EX_CLIENTEDGE};
    case ControlKind::DropDownList: return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | kTab, 0};
    case ControlKind::CheckBox: return {L"BUTTON", BS_AUTOCHECKBOX | kTab, 0};
  }
  return {L"STATIC", 0, 0};
}

}  // namespace

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

void CreateLayoutControls(HWND parent, std::span<const ControlLayout> controls, HFONT font, int dpi) {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  for (const ControlLayout& control : controls) {
    const ControlClass kind = ClassOf(control.kind);
    // A drop-down list's height includes its open list: room for five entries.
    const int height = control.kind == ControlKind::DropDownList ? control.height * 6 : control.height;
    const std::wstring caption(control.caption);
    HWND child =
        CreateWindowExW(kind.exStyle, kind.className, caption.c_str(),
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, TwipsToPixels(control.left, dpi),
                        TwipsToPixels(control.top, dpi), TwipsToPixels(control.width, dpi), TwipsToPixels(height, dpi),
                        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // A label may reach under its neighbour ("Date" spans part of its text
    // box): labels lie beneath the other controls, so they never cover them.
    if (control.kind == ControlKind::Label) {
      SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

void PlaceWindow(HWND window, const WindowLayout& layout, HWND centreOn, int dpi) {
  RECT frame = {0, 0, TwipsToPixels(layout.clientWidth, dpi), TwipsToPixels(layout.clientHeight, dpi)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT area;
  if (centreOn) {
    GetWindowRect(centreOn, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  const int left = area.left + (area.right - area.left - width) / 2;
  const int top = area.top + (area.bottom - area.top - height) / 2;
  SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT CreateDialogFont() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return CreateFontIndirectW(&metrics.lfMessageFont);
}
