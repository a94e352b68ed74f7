#include "tray_icon.h"
#include "text_table.h"

namespace {

// The taskbar may take minutes to start at sign-in.
constexpr unsigned kQuickTries = 36;
constexpr unsigned kQuickRetrySeconds = 5;
constexpr unsigned kSlowRetrySeconds = 60;

constexpr unsigned kAddFields = kAllTrayFields | kTrayShowTipFlag;

}  // namespace

unsigned TrayRetrySeconds(unsigned failedTries) {
  return failedTries <= kQuickTries ? kQuickRetrySeconds : kSlowRetrySeconds;
}

bool TrayIconService::AddTrayIcon(void* window, std::wstring_view tip, void* icon) {
  record_.window = window;
  record_.id = kTrayIconId;
  record_.callbackMessage = kTrayCallbackMessage;
  record_.tip = TipField(tip);
  record_.icon = icon;
  return PutIn(TrayMessage::Add);
}

bool TrayIconService::ChangeTrayTip(std::wstring_view tip) {
  record_.tip = TipField(tip);
  return Changed(kTrayTipField);
}

bool TrayIconService::ChangeTrayIcon(void* icon) {
  record_.icon = icon;
  return Changed(kTrayIconField);
}

bool TrayIconService::Changed(unsigned fields) {
  if (!shown_) return false;
  if (sender_.Send(TrayMessage::Modify, fields | kTrayShowTipFlag, record_)) return true;
  return ReAddTrayIcon();
}

bool TrayIconService::DeleteTrayIcon() {
  shown_ = false;
  secondsToRetry_ = 0;
  return sender_.Send(TrayMessage::Delete, kAllTrayFields, record_);
}

// An add fails on an icon the shell has already, as after an add that
// timed out but was done: a change of every field comes first.
bool TrayIconService::ReAddTrayIcon() { return PutIn(TrayMessage::Modify); }

bool TrayIconService::PutIn(TrayMessage first) {
  shown_ = sender_.Send(first, kAddFields, record_) ||
           (first != TrayMessage::Add && sender_.Send(TrayMessage::Add, kAddFields, record_));
  if (!shown_) {
    secondsToRetry_ = TrayRetrySeconds(++failedTries_);
    return false;
  }
  failedTries_ = 0;
  // Each time the icon is put in: the version 4 callback tells about the
  // keyboard (Enter, Space, Shift+F10 on the focused icon) and gives the
  // icon's place for its menu. A shell that refuses it keeps the plain
  // mouse codes, which the window reads the same.
  sender_.Send(TrayMessage::SetVersion4, 0, record_);
  return true;
}

void TrayIconService::Timer1Tip(std::wstring_view tip) {
  if (shown_) {
    ChangeTrayTip(tip);
    return;
  }
  record_.tip = TipField(tip);
  if (secondsToRetry_ > 0 && --secondsToRetry_ == 0) ReAddTrayIcon();
}

void TrayIconService::MenuClosed(TrayAction openedBy, bool commandChosen, bool stillInFront) {
  if (openedBy == TrayAction::MenuAtIcon && !commandChosen && stillInFront && shown_) {
    sender_.Send(TrayMessage::SetFocus, 0, record_);
  }
}

void ShowMonitoring(TrayIconService& tray, bool monitoring) {
  tray.ChangeTrayIcon(tray.TrayIcons[monitoring ? 1 : 0]);
  tray.ChangeTrayTip(Text(monitoring ? TextId::TipActive : TextId::TipNotActive));
}
