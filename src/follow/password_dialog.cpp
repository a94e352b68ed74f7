#include "password_dialog.h"

#include "dialog_window.h"
#include "dpi.h"
#include "resource.h"
#include "text_table.h"
#include "twips_layout.h"
#include "window_layouts.h"

namespace {

class PasswordDialog {
 public:
  PasswordDialog(std::wstring prompt, int dpi) : prompt_(std::move(prompt)), dpi_(dpi) {}

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    PasswordDialog* dialog = DialogObject<PasswordDialog>(hwnd, message, lParam);
    if (!dialog) return FALSE;
    if (message == WM_INITDIALOG) dialog->hwnd_ = hwnd;
    return dialog->HandleMessage(message, wParam, lParam);
  }

  std::optional<std::wstring> given;

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG: Form_Load(); return FALSE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CMDOK) cmdOK_Click();
        if (LOWORD(wParam) == IDC_CMDCANCEL) EndDialog(hwnd_, IDCANCEL);
        return TRUE;
      case WM_DPICHANGED:
        MoveToSuggestedRect(hwnd_, *reinterpret_cast<const RECT*>(lParam));
        layout_.Apply(HIWORD(wParam));
        return TRUE;
      default: return FALSE;
    }
  }

  void Form_Load() {
    DisableDialogDpiScaling(hwnd_);
    layout_.Create(hwnd_, dpi_);
    SetDlgItemTextW(hwnd_, IDC_LBLPROMPT, prompt_.c_str());
    PlaceWindow(hwnd_, kPasswordWindow, nullptr, dpi_);
    SetForegroundWindow(hwnd_);
    SetFocus(GetDlgItem(hwnd_, IDC_TXTPASSWORD));
  }

  void cmdOK_Click() {
    given = DialogItemText(hwnd_, IDC_TXTPASSWORD);
    SetDlgItemTextW(hwnd_, IDC_TXTPASSWORD, L"");
    EndDialog(hwnd_, IDOK);
  }

  const std::wstring prompt_;
  const int dpi_;
  HWND hwnd_ = nullptr;
  TwipsLayout layout_{kPasswordControls};
};

}  // namespace

std::optional<std::wstring> AskCalendarPassword(HINSTANCE instance, HWND owner, const std::wstring& shownAddress,
                                                const std::wstring& user) {
  RegisterDialogClass(instance, kPasswordWindowClass, nullptr);
  const auto dialogTemplate = EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_TOPMOST,
                                                  kPasswordWindowClass, Text(kPasswordWindow.caption));
  PasswordDialog dialog(Text(TextId::PasswordPrompt, {shownAddress, user}), ScreenDpi());
  DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner,
                          PasswordDialog::DialogProc, reinterpret_cast<LPARAM>(&dialog));
  return dialog.given;
}
