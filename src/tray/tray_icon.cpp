#include "tray_icon.h"

bool TrayIconService::AddTrayIcon(void* window, std::wstring_view tip, void* icon) {
  record_.window = window;
  record_.id = kTrayIconId;
  record_.callbackMessage = kTrayCallbackMessage;
  record_.tip = TipField(tip);
  record_.icon = icon;
  return sender_.Send(TrayMessage::Add, kAllTrayFields, record_);
}

bool TrayIconService::ChangeTrayTip(std::wstring_view tip) {
  record_.tip = TipField(tip);
  return sender_.Send(TrayMessage::Modify, kTrayTipField, record_);
}

bool TrayIconService::ChangeTrayIcon(void* icon) {
  record_.icon = icon;
  return sender_.Send(TrayMessage::Modify, kTrayIconField, record_);
}

bool TrayIconService::DeleteTrayIcon() { return sender_.Send(TrayMessage::Delete, kAllTrayFields, record_); }

bool TrayIconService::ReAddTrayIcon() { return sender_.Send(TrayMessage::Add, kAllTrayFields, record_); }

void ShowMonitoring(TrayIconService& tray, bool monitoring) {
  tray.ChangeTrayIcon(tray.TrayIcons[monitoring ? 1 : 0]);
  tray.ChangeTrayTip(monitoring ? kTipActive : kTipNotActive);
}
