#include "program_box.h"

int ShowProgramBox(HWND owner, const wchar_t* text, const wchar_t* title, UINT style) {
  // MB_SYSTEMMODAL is MB_APPLMODAL with WS_EX_TOPMOST, as the alert box has
  // it; Wine ignores MB_TOPMOST.
  if (owner == nullptr || !IsWindowVisible(owner)) style |= MB_SETFOREGROUND | MB_SYSTEMMODAL;
  return MessageBoxW(owner, text, title, style);
}
