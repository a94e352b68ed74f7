// Message boxes and popup menus of another process.
#include "driver.h"

namespace driver {
namespace {

bool IsIconStatic(HWND control) {
  return ClassName(control) == L"Static" && (GetWindowLongPtrW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

// Icon handles are per process under Wine (STM_GETICON's handle matches no
// LoadIcon of ours, and GetIconInfo fails on it), so the box's icon is told
// by comparing its pixels on screen with the system icons drawn here. The
// first frames may not be painted yet: give it a moment.
BoxIcon IconOf(HWND iconStatic) {
  if (!SendMessageW(iconStatic, STM_GETICON, 0, 0)) return BoxIcon::None;
  const std::pair<LPCWSTR, BoxIcon> known[] = {{IDI_INFORMATION, BoxIcon::Information},
                                               {IDI_WARNING, BoxIcon::Warning},
                                               {IDI_ERROR, BoxIcon::Error},
                                               {IDI_QUESTION, BoxIcon::Question}};
  BoxIcon found = BoxIcon::Other;
  WaitUntil(
      [&] {
        const Image shown = CaptureScreen(iconStatic);
        if (shown.pixels.empty()) return false;
        for (const auto& [resource, icon] : known) {
          if (RenderIcon(LoadIconW(nullptr, resource), shown.width, shown.height, shown.pixels.front()) == shown) {
            found = icon;
            return true;
          }
        }
        return false;
      },
      1000);
  return found;
}

}  // namespace

// A message box is a #32770 dialog holding nothing but Statics and Buttons,
// which keeps the program's own dialogs (with edits, lists...) out.
std::optional<MessageBoxInfo> ReadMessageBox(HWND box) {
  if (!IsWindow(box) || ClassName(box) != L"#32770") return std::nullopt;
  MessageBoxInfo info;
  info.hwnd = box;
  info.caption = WindowText(box);
  info.topmost = IsTopmost(box);
  HWND text = nullptr, icon = nullptr;
  for (HWND child : ChildWindows(box)) {
    const std::wstring cls = ClassName(child);
    if (cls == L"Button")
      info.buttons.push_back(GetText(child));
    else if (cls != L"Static")
      return std::nullopt;
    else if (IsIconStatic(child))
      icon = child;
    else if (!text)
      text = child;
  }
  if (!text || info.buttons.empty()) return std::nullopt;
  info.text = GetText(text);
  info.icon = icon ? IconOf(icon) : BoxIcon::None;
  return info;
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, int timeoutMs) {
  std::optional<MessageBoxInfo> found;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows(pid)) {
          if (!IsWindowVisible(window)) continue;
          found = ReadMessageBox(window);
          if (found) return true;
        }
        return false;
      },
      timeoutMs);
  return found;
}

void Answer(HWND box, int commandId) { PostCommand(box, commandId); }

HWND WaitForPopupMenu(int timeoutMs) {
  HWND menu = nullptr;
  WaitUntil(
      [&] {
        for (HWND window = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); window;
             window = FindWindowExW(nullptr, window, L"#32768", nullptr)) {
          if (IsWindowVisible(window)) {
            menu = window;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return menu;
}

void ChooseMenuItemByKeys(HWND menu, int downPresses) {
  for (int i = 0; i < downPresses; ++i) PostKey(menu, VK_DOWN);
  PostKey(menu, VK_RETURN);
}

}  // namespace driver
