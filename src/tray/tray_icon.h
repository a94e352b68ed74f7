// The program's one icon in the notification area.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <string_view>

// The tray callback arrives as WM_MOUSEMOVE, with the mouse message that
// happened over the icon in the low word of lParam.
inline constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;
inline constexpr UINT kTrayIconId = 1;

class TrayIconService {
 public:
  // TrayIcons: entry 0 the not-active picture, entry 1 the active one.
  std::array<HICON, 2> TrayIcons = {};

  void AddTrayIcon(HWND window, std::wstring_view tip, HICON icon);
  // False when the shell does not know the icon (any more).
  bool ChangeTrayTip(std::wstring_view tip);
  void ChangeTrayIcon(HICON icon);
  void DeleteTrayIcon();
  // Puts the icon back as it was, after the shell has restarted.
  void ReAddTrayIcon();

 private:
  void SetTip(std::wstring_view tip);

  NOTIFYICONDATAW data_ = {};
};
