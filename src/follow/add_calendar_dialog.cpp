#include "add_calendar_dialog.h"

#include "dialog_window.h"
#include "dpi.h"
#include "followed_calendar.h"
#include "number_text.h"
#include "resource.h"
#include "text_convert.h"
#include "text_table.h"
#include "twips_layout.h"
#include "window_layouts.h"

namespace {

class AddCalendarDialog {
 public:
  explicit AddCalendarDialog(int dpi) : dpi_(dpi) {}

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    AddCalendarDialog* dialog = DialogObject<AddCalendarDialog>(hwnd, message, lParam);
    if (!dialog) return FALSE;
    if (message == WM_INITDIALOG) dialog->hwnd_ = hwnd;
    return dialog->HandleMessage(message, wParam, lParam);
  }

  std::optional<CalendarToAdd> kept;

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
    SetDlgItemTextW(hwnd_, IDC_TXTLEAD, WideDecimalText(kDefaultLeadMinutes).c_str());
    SetDlgItemTextW(hwnd_, IDC_TXTREFRESH, WideDecimalText(kDefaultRefreshMinutes).c_str());
    PlaceWindow(hwnd_, kAddCalendarWindow, GetWindow(hwnd_, GW_OWNER), dpi_);
    SetFocus(GetDlgItem(hwnd_, IDC_TXTADDRESS));
  }

  void cmdOK_Click() {
    CalendarToAdd calendar;
    calendar.arguments.address = TrimBlanks(DialogItemText(hwnd_, IDC_TXTADDRESS));
    calendar.arguments.name = TrimBlanks(DialogItemText(hwnd_, IDC_TXTCALNAME));
    calendar.arguments.user = TrimBlanks(DialogItemText(hwnd_, IDC_TXTUSER));
    calendar.password = DialogItemText(hwnd_, IDC_TXTPASSWORD);
    calendar.arguments.lead = ReadLeadMinutes(DialogItemText(hwnd_, IDC_TXTLEAD));
    calendar.arguments.refreshMinutes = ReadRefreshMinutes(DialogItemText(hwnd_, IDC_TXTREFRESH));
    if (!calendar.arguments.lead) return Refuse(TextId::AddCalendarLeadNotUnderstood, IDC_TXTLEAD);
    if (!calendar.arguments.refreshMinutes) return Refuse(TextId::AddCalendarRefreshNotUnderstood, IDC_TXTREFRESH);
    SetDlgItemTextW(hwnd_, IDC_TXTPASSWORD, L"");
    kept = std::move(calendar);
    EndDialog(hwnd_, IDOK);
  }

  // Says what the field takes, and puts the focus back in it.
  void Refuse(TextId why, int field) {
    MessageBoxW(hwnd_, Text(why).c_str(), Text(TextId::CommonTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, field)), TRUE);
  }

  const int dpi_;
  HWND hwnd_ = nullptr;
  TwipsLayout layout_{kAddCalendarControls};
};

}  // namespace

std::optional<CalendarToAdd> AskCalendarToAdd(HWND owner) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
  RegisterDialogClass(instance, kAddCalendarWindowClass, nullptr);
  const auto dialogTemplate = EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0,
                                                  kAddCalendarWindowClass, Text(kAddCalendarWindow.caption));
  AddCalendarDialog dialog(WindowDpi(owner));
  DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner,
                          AddCalendarDialog::DialogProc, reinterpret_cast<LPARAM>(&dialog));
  return dialog.kept;
}
