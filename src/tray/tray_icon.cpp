#include "tray_icon.h"

#include "tray_tip.h"

void TrayIconService::SetTip(std::wstring_view tip) {
  static_assert(sizeof data_.szTip / sizeof data_.szTip[0] >= kTipFieldLength);
  const auto field = TipField(tip);
  std::copy(field.begin(), field.end(), data_.szTip);
}

void TrayIconService::AddTrayIcon(HWND window, std::wstring_view tip, HICON icon) {
  data_.cbSize = sizeof data_;
  data_.hWnd = window;
  data_.uID = kTrayIconId;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = kTrayCallbackMessage;
  SetTip(tip);
  data_.hIcon = icon;
  Shell_NotifyIconW(NIM_ADD, &data_);
}

bool TrayIconService::ChangeTrayTip(std::wstring_view tip) {
  SetTip(tip);
  return Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
}

void TrayIconService::ChangeTrayIcon(HICON icon) {
  data_.hIcon = icon;
  Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void TrayIconService::DeleteTrayIcon() { Shell_NotifyIconW(NIM_DELETE, &data_); }

void TrayIconService::ReAddTrayIcon() { Shell_NotifyIconW(NIM_ADD, &data_); }
