#include "tray_clicks.h"

namespace {

constexpr unsigned kFirstMouseButtonCode = 0x0201;  // WM_LBUTTONDOWN
constexpr unsigned kLastMouseButtonCode = 0x0209;   // WM_MBUTTONDBLCLK

}  // namespace

TrayAction TrayClicks::OnEvent(unsigned event) {
  if (event == kTrayContextMenu) {
    const bool answered = menuOpenedByRelease_;
    menuOpenedByRelease_ = false;
    return answered ? TrayAction::None : TrayAction::MenuAtIcon;
  }
  const bool pressOrKey = (event >= kFirstMouseButtonCode && event <= kLastMouseButtonCode) ||
                          event == kTraySelect || event == kTrayKeySelect;
  if (pressOrKey) menuOpenedByRelease_ = event == kTrayRightButtonUp;
  switch (event) {
    case kTrayDoubleClick:
    case kTrayKeySelect: return TrayAction::OpenList;
    case kTrayRightButtonUp: return TrayAction::MenuAtPointer;
    default: return TrayAction::None;
  }
}
