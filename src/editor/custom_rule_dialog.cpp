#include "custom_rule_dialog.h"

#include <span>
#include <string>

#include "custom_rule.h"
#include "dialog_window.h"
#include "dpi.h"
#include "resource.h"
#include "twips_layout.h"
#include "text_table.h"

namespace {

class CustomRuleDialog {
 public:
  CustomRuleDialog(int dpi, const std::optional<RepeatRule>& shown, DateValue start)
      : fields_(CustomFieldsFor(shown ? &*shown : nullptr, start)), start_(start), dpi_(dpi) {}

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CustomRuleDialog* dialog = DialogObject<CustomRuleDialog>(hwnd, message, lParam);
    if (!dialog) return FALSE;
    if (message == WM_INITDIALOG) dialog->hwnd_ = hwnd;
    return dialog->HandleMessage(message, wParam, lParam);
  }

  std::optional<RepeatRule> made;  // what OK made

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG: Form_Load(); return TRUE;  // the focus goes to the interval, first in tab order
      case WM_COMMAND: HandleCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
      case WM_DPICHANGED:
        MoveToSuggestedRect(hwnd_, *reinterpret_cast<const RECT*>(lParam));
        layout_.Apply(HIWORD(wParam));
        return TRUE;
      default: return FALSE;
    }
  }

  void HandleCommand(int id, int code) {
    switch (id) {
      case IDC_CMDOK: cmdOK_Click(); break;
      case IDC_CMDCANCEL: EndDialog(hwnd_, IDCANCEL); break;
      case IDC_CMBUNIT:
      case IDC_CMBPLACE:
      case IDC_CMBEND:
        if (code == CBN_SELCHANGE) EnableWhatApplies();
        break;
      default: break;
    }
  }

  void Form_Load() {
    DisableDialogDpiScaling(hwnd_);
    layout_.Create(hwnd_, dpi_);
    Fill(IDC_CMBUNIT, kRuleUnitTexts, fields_.cmbUnit);
    Fill(IDC_CMBPLACE, kRulePlaceTexts, fields_.cmbPlace);
    Fill(IDC_CMBWEEKDAY, kRuleWeekdayTexts, fields_.cmbWeekday);
    Fill(IDC_CMBEND, kRuleEndTexts, fields_.cmbEnd);
    SetDlgItemTextW(hwnd_, IDC_TXTINTERVAL, fields_.txtInterval.c_str());
    SetDlgItemTextW(hwnd_, IDC_TXTENDVALUE, fields_.txtEnd.c_str());
    for (int day = 0; day < 7; ++day) {
      CheckDlgButton(hwnd_, IDC_CHKDAY_FIRST + day, static_cast<UINT>(fields_.chkDays[static_cast<std::size_t>(day)]));
    }
    EnableWhatApplies();
    PlaceWindow(hwnd_, kCustomRuleWindow, GetWindow(hwnd_, GW_OWNER), dpi_);
  }

  void Fill(int id, std::span<const TextId> texts, int selected) const {
    for (const TextId text : texts) {
      SendDlgItemMessageW(hwnd_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text(text).c_str()));
    }
    SendDlgItemMessageW(hwnd_, id, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  }

  // Weekday boxes for days and weeks, a place in the month for months and
  // years, a weekday only for a place, a value only for an end.
  void EnableWhatApplies() const {
    const int unit = Selected(IDC_CMBUNIT);
    const bool inMonth = unit >= static_cast<int>(RuleFrequency::Monthly);
    for (int id = IDC_CHKDAY_FIRST; id <= IDC_CHKDAY_LAST; ++id) EnableWindow(GetDlgItem(hwnd_, id), !inMonth);
    EnableWindow(GetDlgItem(hwnd_, IDC_CMBPLACE), inMonth);
    EnableWindow(GetDlgItem(hwnd_, IDC_CMBWEEKDAY), inMonth && Selected(IDC_CMBPLACE) > 0);
    EnableWindow(GetDlgItem(hwnd_, IDC_TXTENDVALUE), Selected(IDC_CMBEND) > 0);
  }

  int Selected(int id) const { return static_cast<int>(SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0)); }

  std::wstring ControlText(int id) const {
    HWND control = GetDlgItem(hwnd_, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
  }

  void cmdOK_Click() {
    CustomRuleFields fields;
    fields.txtInterval = ControlText(IDC_TXTINTERVAL);
    fields.cmbUnit = Selected(IDC_CMBUNIT);
    for (int day = 0; day < 7; ++day) {
      fields.chkDays[static_cast<std::size_t>(day)] =
          static_cast<int>(IsDlgButtonChecked(hwnd_, IDC_CHKDAY_FIRST + day));
    }
    fields.cmbPlace = Selected(IDC_CMBPLACE);
    fields.cmbWeekday = Selected(IDC_CMBWEEKDAY);
    fields.cmbEnd = Selected(IDC_CMBEND);
    fields.txtEnd = ControlText(IDC_TXTENDVALUE);
    CustomRuleOutcome outcome = RuleFromCustomFields(fields, start_);
    if (!outcome.rule) {
      MessageBoxW(hwnd_, outcome.message.c_str(), Text(TextId::CommonTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
      const int id = outcome.badField == CustomRuleField::Interval ? IDC_TXTINTERVAL : IDC_TXTENDVALUE;
      SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, id)), TRUE);
      return;
    }
    made = std::move(outcome.rule);
    EndDialog(hwnd_, IDOK);
  }

  const CustomRuleFields fields_;
  const DateValue start_;
  const int dpi_;
  HWND hwnd_ = nullptr;
  TwipsLayout layout_{kCustomRuleControls};
};

}  // namespace

std::optional<RepeatRule> ShowCustomRuleDialog(HWND editor, int dpi, const std::optional<RepeatRule>& rule,
                                               DateValue start) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(editor, GWLP_HINSTANCE));
  RegisterDialogClass(instance, kCustomRuleWindowClass, nullptr);
  const auto dialogTemplate = EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_TOOLWINDOW,
                                                  kCustomRuleWindowClass, Text(kCustomRuleWindow.caption));
  CustomRuleDialog dialog(dpi, rule, start);
  DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), editor,
                          CustomRuleDialog::DialogProc, reinterpret_cast<LPARAM>(&dialog));
  return dialog.made;
}
