#include "shell_tray_sender.h"

#include "tray_clicks.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

static_assert(static_cast<unsigned>(TrayMessage::Add) == NIM_ADD &&
              static_cast<unsigned>(TrayMessage::Modify) == NIM_MODIFY &&
              static_cast<unsigned>(TrayMessage::Delete) == NIM_DELETE);
static_assert(kTrayCallbackField == NIF_MESSAGE && kTrayIconField == NIF_ICON && kTrayTipField == NIF_TIP);
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
  if (!Shell_NotifyIconW(static_cast<DWORD>(message), &data)) return false;
  // Each time the icon is added, also after a shell restart or a wake: the
  // version 4 callback tells about the keyboard (Enter, Space, Shift+F10 on
  // the focused icon) and gives the icon's place for its menu. A shell that
  // refuses it keeps the plain mouse codes, which the window reads the same.
  if (message == TrayMessage::Add) {
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data);
  }
  return true;
}
