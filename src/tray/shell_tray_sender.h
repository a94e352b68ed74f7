// Hands the tray icon's calls to the shell (Shell_NotifyIconW).
#pragma once

#include "tray_icon.h"

class ShellTraySender final : public TrayIconSender {
 public:
  bool Send(TrayMessage message, unsigned fields, const TrayIconRecord& record) override;
};
