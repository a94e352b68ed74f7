#include "twips_layout.h"

#include <commctrl.h>

#include "dpi.h"
#include "text_table.h"

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
    case ControlKind::PasswordBox: return {L"EDIT", ES_AUTOHSCROLL | ES_LEFT | ES_PASSWORD | kTab, WS_EX_CLIENTEDGE};
    case ControlKind::DropDownList: return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | kTab, 0};
    case ControlKind::CheckBox: return {L"BUTTON", BS_AUTOCHECKBOX | kTab, 0};
    case ControlKind::RadioButton: return {L"BUTTON", BS_AUTORADIOBUTTON, 0};
  }
  return {L"STATIC", 0, 0};
}

RECT PixelRect(const ControlLayout& control, int dpi) {
  return {TwipsToPixels(control.left, dpi), TwipsToPixels(control.top, dpi),
          TwipsToPixels(control.left + control.width, dpi), TwipsToPixels(control.top + control.height, dpi)};
}

HFONT CreateDialogFont(int dpi) {
  const LOGFONTW font = MessageFontForDpi(dpi);
  return CreateFontIndirectW(&font);
}

}  // namespace

void TwipsLayout::Create(HWND parent, int dpi) {
  parent_ = parent;
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  ControlKind previous = ControlKind::Label;
  for (const ControlLayout& control : controls_) {
    const ControlClass kind = ClassOf(control.kind);
    // A group of radio buttons begins at its first; the control after its
    // last begins the next group, where the arrow keys stop.
    const bool radio = control.kind == ControlKind::RadioButton;
    const DWORD group = radio != (previous == ControlKind::RadioButton) ? WS_GROUP : 0;
    CreateWindowExW(kind.exStyle, kind.className, Text(control.caption).c_str(),
                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style | group, 0, 0, 0, 0, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    previous = control.kind;
  }
  Apply(dpi);
}

void TwipsLayout::Apply(int dpi) {
  dpi_ = dpi;
  // The old font is deleted only once no control uses it any more.
  const HFONT font = CreateDialogFont(dpi);
  for (const ControlLayout& control : controls_) {
    HWND child = GetDlgItem(parent_, control.id);
    const RECT rect = PixelRect(control, dpi);
    // A drop-down list's height includes its open list: room for five entries.
    const int height = (rect.bottom - rect.top) * (control.kind == ControlKind::DropDownList ? 6 : 1);
    SetWindowPos(child, nullptr, rect.left, rect.top, rect.right - rect.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (control.kind == ControlKind::Label) ClipLabel(child, rect);
  }
  font_.Reset(font);
}

// A label stands just before its field in z-order, as screen readers take
// a field's name from there, but it may reach under the field ("Date" spans
// part of its text box). Its window region leaves out what the other
// controls cover, so that it never paints over them.
void TwipsLayout::ClipLabel(HWND label, const RECT& labelRect) const {
  HRGN visible = CreateRectRgn(0, 0, labelRect.right - labelRect.left, labelRect.bottom - labelRect.top);
  for (const ControlLayout& other : controls_) {
    if (other.kind == ControlKind::Label) continue;
    RECT covered;
    const RECT otherRect = PixelRect(other, dpi_);
    if (!IntersectRect(&covered, &labelRect, &otherRect)) continue;
    OffsetRect(&covered, -labelRect.left, -labelRect.top);
    HRGN part = CreateRectRgnIndirect(&covered);
    CombineRgn(visible, visible, part, RGN_DIFF);
    DeleteObject(part);
  }
  SetWindowRgn(label, visible, TRUE);  // the window owns the region from here
}

void PlaceWindow(HWND window, const WindowLayout& layout, HWND centreOn, int dpi) {
  RECT frame = {0, 0, TwipsToPixels(layout.clientWidth, dpi), TwipsToPixels(layout.clientHeight, dpi)};
  AdjustWindowRectForDpi(frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)),
                         static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)), dpi);
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

void MoveToSuggestedRect(HWND window, const RECT& suggested) {
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}
