// The notification area as the shell shows it. Under Wine it belongs to
// explorer.exe: each icon's tip is a tool of a tooltips_class32 window there.
#include "driver.h"

#include <commctrl.h>
#include <shellapi.h>

#include "remote_memory.h"

namespace driver {
namespace {

constexpr std::size_t kTextOffset = 256;
constexpr std::size_t kTextChars = 1024;
constexpr std::size_t kBlockSize = kTextOffset + kTextChars * sizeof(wchar_t);

DWORD ShellProcessId() {
  DWORD pid = 0;
  if (HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr)) GetWindowThreadProcessId(tray, &pid);
  return pid;
}

std::optional<std::wstring> ToolText(HWND tips, const RemoteMemory& memory, int index) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  // With lpszText null, TTM_ENUMTOOLSW only fills in which tool it is.
  if (!memory.Write(&tool, sizeof tool) ||
      !SendMessageW(tips, TTM_ENUMTOOLSW, static_cast<WPARAM>(index), memory.Param()) ||
      !memory.Read(&tool, sizeof tool))
    return std::nullopt;
  const wchar_t empty = L'\0';
  tool.lpszText = static_cast<LPWSTR>(memory.At(kTextOffset));
  if (!memory.Write(&tool, sizeof tool) || !memory.Write(&empty, sizeof empty, kTextOffset)) return std::nullopt;
  SendMessageW(tips, TTM_GETTEXTW, kTextChars, memory.Param());
  std::wstring text(kTextChars, L'\0');
  if (!memory.Read(text.data(), kTextChars * sizeof(wchar_t), kTextOffset)) return std::nullopt;
  text.resize(wcsnlen(text.c_str(), kTextChars - 1));
  return text;
}

}  // namespace

// Without a virtual desktop, Wine keeps Shell_TrayWnd hidden and shows the
// icons in a window of its own, "Wine System Tray", when no X tray exists.
HWND TrayWindow() {
  HWND shown = FindWindowW(nullptr, L"Wine System Tray");
  if (shown && IsWindowVisible(shown)) return shown;
  return FindWindowW(L"Shell_TrayWnd", nullptr);
}

std::vector<std::wstring> TrayTips() {
  std::vector<std::wstring> tips;
  const DWORD shell = ShellProcessId();
  if (!shell) return tips;
  for (HWND window : TopLevelWindows(shell)) {
    if (ClassName(window) != TOOLTIPS_CLASSW) continue;
    RemoteMemory memory(window, kBlockSize);
    const auto count = static_cast<int>(SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
      if (auto text = ToolText(window, memory, i)) tips.push_back(std::move(*text));
  }
  return tips;
}

std::optional<std::wstring> WaitForTrayTip(const std::function<bool(const std::wstring&)>& match, int timeoutMs) {
  std::optional<std::wstring> found;
  WaitUntil(
      [&] {
        for (auto& tip : TrayTips()) {
          if (match(tip)) {
            found = std::move(tip);
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

bool TrayIconPresent(std::wstring_view tipPrefix) {
  for (const auto& tip : TrayTips())
    if (std::wstring_view(tip).substr(0, tipPrefix.size()) == tipPrefix) return true;
  return false;
}

bool RemoveTrayIcon(HWND owner, UINT iconId) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = iconId;
  return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

void BroadcastTaskbarCreated() {
  const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  PostMessageW(HWND_BROADCAST, message, 0, 0);
}

}  // namespace driver
