// Windows built as dialogs from an empty in-memory template, so that the
// dialog manager gives them Tab, Enter, Esc and access keys, while their
// controls come from the twips layout tables.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// Registers a dialog window class of our own name, so that tests and
// accessibility tools can tell our windows from message boxes.
void RegisterDialogClass(HINSTANCE instance, const wchar_t* className, HICON icon);

// A DLGTEMPLATE with no controls, the given class and caption.
std::vector<WORD> EmptyDialogTemplate(DWORD style, DWORD exStyle, std::wstring_view className,
                                      std::wstring_view caption);

// The object behind a dialog window, stored at WM_INITDIALOG from lParam.
template <typename Window>
Window* DialogObject(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
  return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, DWLP_USER));
}

// The text of a dialog's control, whole.
std::wstring DialogItemText(HWND dialog, int id);
