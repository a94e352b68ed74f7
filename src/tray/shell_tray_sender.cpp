#include "shell_tray_sender.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

static_assert(static_cast<unsigned>(TrayMessage::Add) == NIM_ADD &&
              static_cast<unsigned>(TrayMessage::Modify) == NIM_MODIFY &&
              static_cast<unsigned>(TrayMessage::Delete) == NIM_DELETE);
static_assert(kTrayCallbackField == NIF_MESSAGE && kTrayIconField == NIF_ICON && kTrayTipField == NIF_TIP);
static_assert(kTrayCallbackMessage == WM_MOUSEMOVE);

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
  return Shell_NotifyIconW(static_cast<DWORD>(message), &data) != FALSE;
}
