// Finding windows of another process, and the input a user would give them.
#include "driver.h"

#include "remote_memory.h"

namespace driver {
namespace {

struct TopLevelSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TopLevelSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->pid) search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

bool IsExtendedKey(UINT vk) {
  switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE: return true;
    default: return false;
  }
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid) {
  TopLevelSearch search{pid, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  return std::wstring(name, static_cast<size_t>(GetClassNameW(window, name, 256)));
}

bool IsTopmost(HWND window) { return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

HWND FindChildById(HWND parent, int id) {
  for (HWND child : ChildWindows(parent))
    if (GetDlgCtrlID(child) == id) return child;
  return nullptr;
}

HWND WaitForWindow(DWORD pid, std::wstring_view className, std::optional<std::wstring_view> caption, int timeoutMs,
                   bool mustBeVisible) {
  HWND match = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows(pid)) {
          if (ClassName(window) != className) continue;
          if (caption && WindowText(window) != *caption) continue;
          if (mustBeVisible && !IsWindowVisible(window)) continue;
          match = window;
          return true;
        }
        return false;
      },
      timeoutMs);
  return match;
}

bool WaitForWindowGone(HWND window, int timeoutMs) {
  return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

RECT ChildRect(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool SendDpiChanged(HWND window, int dpi, const RECT& suggested) {
  RemoteMemory memory(window, sizeof suggested);
  if (!memory || !memory.Write(&suggested, sizeof suggested)) return false;
  const auto both = static_cast<WORD>(dpi);
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(both, both), memory.Param());
  return true;
}

void PostKey(HWND target, UINT vk) {
  const auto scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  LPARAM down = 1 | (scan << 16);
  if (IsExtendedKey(vk)) down |= LPARAM{1} << 24;
  const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  PostMessageW(target, WM_KEYDOWN, vk, down);
  PostMessageW(target, WM_KEYUP, vk, up);
}

void PostClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void PostCommand(HWND owner, int commandId) { PostMessageW(owner, WM_COMMAND, MAKEWPARAM(commandId, 0), 0); }

void SetText(HWND control, std::wstring_view text) {
  const std::wstring copy(text);
  SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
}

// GetWindowTextW does not ask another process's controls for their text;
// WM_GETTEXT does, and the system copies the text across.
std::wstring GetText(HWND control) {
  const auto length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied =
      SendMessageW(control, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}

}  // namespace driver
