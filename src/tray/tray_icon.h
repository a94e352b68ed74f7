// The program's one icon in the notification area: the record that
// describes it for the whole run, and the calls that put it in, change it and
// take it out. Portable: a TrayIconSender hands each call to the shell.
#pragma once

#include <array>
#include <string_view>

#include "tray_clicks.h"
#include "tray_tip.h"

// The tray callback arrives as WM_MOUSEMOVE, with the mouse message that
// happened over the icon in the low word of lParam.
inline constexpr unsigned kTrayCallbackMessage = 0x0200;  // WM_MOUSEMOVE
inline constexpr unsigned kTrayIconId = 1;

// The shell's messages and the fields a call names, with the shell's values
// (NIM_ADD..., NIF_MESSAGE, NIF_ICON, NIF_TIP, NIF_SHOWTIP).
enum class TrayMessage : unsigned { Add = 0, Modify = 1, Delete = 2, SetFocus = 3, SetVersion4 = 4 };
inline constexpr unsigned kTrayCallbackField = 0x1;
inline constexpr unsigned kTrayIconField = 0x2;
inline constexpr unsigned kTrayTipField = 0x4;
// With version 4 Windows hides the standard tip unless each add and change
// asks for it (Wine shows it anyway).
inline constexpr unsigned kTrayShowTipFlag = 0x80;
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

// Seconds until the next try to put the icon in, after `failedTries` tries
// in a row that the shell refused: often while the taskbar may still be
// starting at sign-in, then now and then, never giving up.
unsigned TrayRetrySeconds(unsigned failedTries);

class TrayIconService {
 public:
  explicit TrayIconService(TrayIconSender& sender) : sender_(sender) {}

  // TrayIcons: entry 0 the not-active picture, entry 1 the active one.
  std::array<void*, 2> TrayIcons = {};

  // Each call returns whether the shell shows the icon as asked. A change
  // names only what it changes: the tip refresh runs every second, and
  // re-sending the icon with it would have the shell copy and redraw the
  // picture each time. A change the shell refuses puts the icon in again
  // at once; while the shell lacks the icon, a change is only kept for the
  // next try.
  bool AddTrayIcon(void* window, std::wstring_view tip, void* icon);
  bool ChangeTrayTip(std::wstring_view tip);
  bool ChangeTrayIcon(void* icon);
  bool DeleteTrayIcon();
  // Puts the icon in again as it is now, whether or not the shell still
  // has it: after the shell restarted, after a wake, on a retry.
  bool ReAddTrayIcon();
  // The once-a-second tip; while the shell lacks the icon, counts down to
  // the next try instead.
  void Timer1Tip(std::wstring_view tip);
  bool Shown() const { return shown_; }
  // The icon's menu has closed: a menu opened from the keyboard and
  // cancelled (Esc) gives the focus back to the notification area, as
  // Windows asks; not when a click elsewhere took it (`stillInFront` false).
  void MenuClosed(TrayAction openedBy, bool commandChosen, bool stillInFront);

 private:
  bool PutIn(TrayMessage first);
  bool Changed(unsigned fields);

  TrayIconSender& sender_;
  TrayIconRecord record_;
  bool shown_ = false;
  unsigned failedTries_ = 0;
  unsigned secondsToRetry_ = 0;
};

// The picture and the short tip of the monitoring state, after "Active".
void ShowMonitoring(TrayIconService& tray, bool monitoring);
