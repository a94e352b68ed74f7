#include "program_box.h"

int ShowProgramBox(HWND owner, const wchar_t* text, const wchar_t* title, UINT style) {
  if (owner == nullptr || !IsWindowVisible(owner)) style |= MB_SETFOREGROUND | MB_TOPMOST;
  return MessageBoxW(owner, text, title, style);
}
