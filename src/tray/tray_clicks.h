// What a click or a key on the tray icon asks for. The shell reports it in
// the low word of the callback's lParam: a plain mouse code, or with the
// version 4 callback also the keyboard's selection and context menu.
#pragma once

// The shell's codes (WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_CONTEXTMENU,
// NIN_SELECT, NIN_KEYSELECT).
inline constexpr unsigned kTrayDoubleClick = 0x0203;
inline constexpr unsigned kTrayRightButtonUp = 0x0205;
inline constexpr unsigned kTrayContextMenu = 0x007B;
inline constexpr unsigned kTraySelect = 0x0400;
inline constexpr unsigned kTrayKeySelect = 0x0401;

enum class TrayAction { None, OpenList, MenuAtPointer, MenuAtIcon };

class TrayClicks {
 public:
  TrayAction OnEvent(unsigned event);

 private:
  // A version 4 shell follows the right button's release with a context
  // menu event: the release has opened the menu already.
  bool menuOpenedByRelease_ = false;
};
