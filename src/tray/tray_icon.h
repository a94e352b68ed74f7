// The program's one icon in the notification area: the record that
// describes it for the whole run, and the calls that put it in, change it and
// take it out. Portable: a TrayIconSender hands each call to the shell.
#pragma once

#include <array>
#include <string_view>

#include "tray_tip.h"

// The tray callback arrives as WM_MOUSEMOVE, with the mouse message that
// happened over the icon in the low word of lParam.
inline constexpr unsigned kTrayCallbackMessage = 0x0200;  // WM_MOUSEMOVE
inline constexpr unsigned kTrayIconId = 1;

// The shell's messages and the fields a call names, with the shell's values
// (NIM_ADD..., NIF_MESSAGE, NIF_ICON, NIF_TIP).
enum class TrayMessage : unsigned { Add = 0, Modify = 1, Delete = 2 };
inline constexpr unsigned kTrayCallbackField = 0x1;
inline constexpr unsigned kTrayIconField = 0x2;
inline constexpr unsigned kTrayTipField = 0x4;
inline constexpr unsigned kAllTrayFields = kTrayCallbackField | kTrayIconField | kTrayTipField;

// The stored record. Window and icon are the shell's handles (HWND, HICON),
// which this side only keeps.
struct TrayIconRecord {
  void* window = nullptr;
  unsigned id = 0;
  unsigned callbackMessage = 0;
  void* icon = nullptr;
  std::array<wchar_t, kTipFieldLength> tip{};
};

class TrayIconSender {
 public:
  virtual ~TrayIconSender() = default;
  // Sends the record with `fields` naming what the shell is to take from
  // it; returns whether the shell accepted the call.
  virtual bool Send(TrayMessage message, unsigned fields, const TrayIconRecord& record) = 0;
};

class TrayIconService {
 public:
  explicit TrayIconService(TrayIconSender& sender) : sender_(sender) {}

  // TrayIcons: entry 0 the not-active picture, entry 1 the active one.
  std::array<void*, 2> TrayIcons = {};

  // Each call returns whether the shell accepted it. A change names only
  // what it changes: the tip refresh runs every second, and re-sending the
  // icon with it would have the shell copy and redraw the picture each time.
  bool AddTrayIcon(void* window, std::wstring_view tip, void* icon);
  bool ChangeTrayTip(std::wstring_view tip);
  bool ChangeTrayIcon(void* icon);
  bool DeleteTrayIcon();
  // Puts the icon back as it was, after the shell has restarted.
  bool ReAddTrayIcon();

 private:
  TrayIconSender& sender_;
  TrayIconRecord record_;
};

// The picture and the short tip of the monitoring state, after "Active".
void ShowMonitoring(TrayIconService& tray, bool monitoring);
