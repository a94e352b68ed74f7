#include "shell_tray_sender.h"

#include "tray_clicks.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

static_assert(static_cast<unsigned>(TrayMessage::Add) == NIM_ADD &&
              static_cast<unsigned>(TrayMessage::Modify) == NIM_MODIFY &&
              static_cast<unsigned>(TrayMessage::Delete) == NIM_DELETE &&
              static_cast<unsigned>(TrayMessage::SetFocus) == NIM_SETFOCUS &&
              static_cast<unsigned>(TrayMessage::SetVersion4) == NIM_SETVERSION);
static_assert(kTrayCallbackField == NIF_MESSAGE && kTrayIconField == NIF_ICON && kTrayTipField == NIF_TIP &&
              kTrayShowTipFlag == NIF_SHOWTIP);
static_assert(kTrayCallbackMessage == WM_MOUSEMOVE);
static_assert(kTrayDoubleClick == WM_LBUTTONDBLCLK && kTrayRightButtonUp == WM_RBUTTONUP &&
              kTrayContextMenu == WM_CONTEXTMENU && kTraySelect == NIN_SELECT && kTrayKeySelect == NIN_KEYSELECT);

bool ShellTraySender::Send(TrayMessage message, unsigned fields, const TrayIconRecord& record) {
  NOTIFYICONDATAW data = {};
  static_assert(sizeof data.szTip / sizeof data.szTip[0] >= kTipFieldLength);
  data.cbSize = sizeof data;
  data.hWnd = static_cast<HWND>(record.window);
  data.uID = record.id;
  data.uFlags = fields;
  data.uCallbackMessage = record.callbackMessage;
  data.hIcon = static_cast<HICON>(record.icon);
  std::copy(record.tip.begin(), record.tip.end(), data.szTip);
  if (message == TrayMessage::SetVersion4) data.uVersion = NOTIFYICON_VERSION_4;
  return Shell_NotifyIconW(static_cast<DWORD>(message), &data) != FALSE;
}
