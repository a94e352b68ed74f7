#include "dialog_window.h"

void RegisterDialogClass(HINSTANCE instance, const wchar_t* className, HICON icon) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefDlgProcW;
  windowClass.cbWndExtra = DLGWINDOWEXTRA;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  RegisterClassExW(&windowClass);
}

std::vector<WORD> EmptyDialogTemplate(DWORD style, DWORD exStyle, std::wstring_view className,
                                      std::wstring_view caption) {
  // DLGTEMPLATE: style, extended style, item count, x, y, cx, cy; then the
  // menu, class and title as NUL-terminated WORD arrays.
  std::vector<WORD> words = {LOWORD(style), HIWORD(style), LOWORD(exStyle), HIWORD(exStyle), 0, 0, 0, 0, 0};
  words.push_back(0);  // no menu
  words.insert(words.end(), className.begin(), className.end());
  words.push_back(0);
  words.insert(words.end(), caption.begin(), caption.end());
  words.push_back(0);
  return words;
}

std::wstring DialogItemText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}
