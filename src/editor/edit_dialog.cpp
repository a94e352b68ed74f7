#include "edit_dialog.h"

#include <commctrl.h>

#include "custom_rule_dialog.h"
#include "dialog_window.h"
#include "dpi.h"
#include "drop_down_width.h"
#include "editor_rules.h"
#include "resource.h"
#include "sound_dialog.h"
#include "text_convert.h"
#include "twips_layout.h"
#include "text_table.h"

namespace {

// Selects a text box's text after the dialog manager has set its own
// selection on a focus change.
constexpr UINT WMAPP_SELECT_TEXT = WM_APP + 1;
constexpr int kSelectionLength = 255;

class EditDialog {
 public:
  explicit EditDialog(EditDialogContext& context) : context_(context) {}

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    EditDialog* dialog = DialogObject<EditDialog>(hwnd, message, lParam);
    if (!dialog) return FALSE;
    if (message == WM_INITDIALOG) dialog->hwnd_ = hwnd;
    return dialog->HandleMessage(message, wParam, lParam);
  }

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        Form_Load();
        Form_Activate();
        return TRUE;  // the focus goes to chkActief, first in tab order
      case WM_COMMAND: HandleCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return TRUE;
      case WM_DPICHANGED: Form_DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return TRUE;
      case WMAPP_SELECT_TEXT: SendMessageW(reinterpret_cast<HWND>(lParam), EM_SETSEL, 0, kSelectionLength); return TRUE;
      default: return FALSE;
    }
  }

  void HandleCommand(int id, int code, HWND control) {
    switch (id) {
      case IDC_CMDOK: cmdOK_Click(); break;
      case IDC_CMDCANCEL: cmdCancel_Click(); break;
      case IDC_CMDSOUND: cmdSound_Click(); break;
      case IDC_TXTNAME:
      case IDC_TXTDATE:
      case IDC_TXTTIJD:
        if (code == EN_SETFOCUS) txt_GotFocus(control);
        break;
      case IDC_CMBREPEAT:
        if (code == CBN_SELCHANGE) cmbRepeat_Click();
        if (code == CBN_DROPDOWN) FitDropDownWidth(control);
        break;
      default: break;
    }
  }

  void Form_Load() {
    // The editor opens centred on its owner, so on the owner's monitor.
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    const int dpi = WindowDpi(owner ? owner : hwnd_);
    DisableDialogDpiScaling(hwnd_);
    layout_.Create(hwnd_, dpi);
    CheckDlgButton(hwnd_, IDC_CHKACTIEF, BST_CHECKED);
    for (int mode = Once; mode < kModeEntries; ++mode) {
      const std::wstring text(ModeText(static_cast<RepeatMode>(mode)));
      SendDlgItemMessageW(hwnd_, IDC_CMBREPEAT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendDlgItemMessageW(hwnd_, IDC_CMBREPEAT, CB_SETCURSEL, 0, 0);
    PlaceWindow(hwnd_, kEditWindow, owner, dpi);
  }

  // Moved to a monitor of another DPI, or the monitor's DPI changed.
  void Form_DpiChanged(int dpi, const RECT& suggested) {
    MoveToSuggestedRect(hwnd_, suggested);
    layout_.Apply(dpi);
  }

  void Form_Activate() {
    if (IsNewAlarmRequest(context_.request)) {
      const auto freeSlot = FindFreeSlot(context_.table);
      if (!freeSlot) {
        MessageBoxW(GetWindow(hwnd_, GW_OWNER), Text(TextId::EditorBoxTooManyAlerts).c_str(),
                    Text(TextId::CommonTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
        EndDialog(hwnd_, IDCANCEL);
        return;
      }
      editSlot_ = *freeSlot;
      context_.heldSlot = editSlot_;
      ShowFields(NewAlarmFields(context_.clock.Now()));
    } else {
      editSlot_ = LeadingNumber(context_.request);
      ShowFields(FieldsFromSlot(context_.table[editSlot_]));
    }
  }

  void txt_GotFocus(HWND textBox) { PostMessageW(hwnd_, WMAPP_SELECT_TEXT, 0, reinterpret_cast<LPARAM>(textBox)); }

  void cmdOK_Click() {
    const EditorOutcome outcome = cmdOK_Record(ReadFields(), SplitDate(context_.clock.Now()).year);
    if (!outcome.alarm) {
      MessageBoxW(hwnd_, outcome.message.c_str(), Text(TextId::CommonTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
      FocusField(outcome.badField);
      return;
    }
    context_.table[editSlot_] = *outcome.alarm;
    context_.save(editSlot_);
    EndDialog(hwnd_, IDOK);
  }

  void cmdCancel_Click() { EndDialog(hwnd_, IDCANCEL); }

  // The sound is kept with the other fields until OK or Cancel.
  void cmdSound_Click() {
    const auto kept =
        ShowSoundDialog(hwnd_, layout_.Dpi(), SoundFieldsFor(shownRule_.sound, shownRule_.soundUntilAnswered));
    if (!kept) return;
    shownRule_.sound = *kept->sound;
    shownRule_.soundUntilAnswered = kept->untilAnswered;
  }

  // "Custom..." (the last entry) opens the Custom dialog; its OK puts the
  // rule in words just before "Custom...", its Cancel goes back.
  void cmbRepeat_Click() {
    HWND repeat = GetDlgItem(hwnd_, IDC_CMBREPEAT);
    const auto count = SendMessageW(repeat, CB_GETCOUNT, 0, 0);
    const auto chosen = SendMessageW(repeat, CB_GETCURSEL, 0, 0);
    if (chosen != count - 1) {
      shownRepeat_ = static_cast<int>(chosen);
      return;
    }
    EditorFields fields = ReadFields();
    fields.cmbRepeat = kRuleEntry;
    const auto rule =
        ShowCustomRuleDialog(hwnd_, layout_.Dpi(), ChosenRule(fields), CustomRuleStart(fields, context_.clock.Now()));
    if (rule) {
      ChooseRule(shownRule_, *rule);
      if (count > kRuleEntry + 1) SendMessageW(repeat, CB_DELETESTRING, kRuleEntry, 0);
      SendMessageW(repeat, CB_INSERTSTRING, kRuleEntry, reinterpret_cast<LPARAM>(shownRule_.ruleWords.c_str()));
      shownRepeat_ = kRuleEntry;
    }
    SendMessageW(repeat, CB_SETCURSEL, static_cast<WPARAM>(shownRepeat_), 0);
  }

  void ShowFields(const EditorFields& fields) {
    CheckDlgButton(hwnd_, IDC_CHKACTIEF, static_cast<UINT>(fields.chkActief));
    SetDlgItemTextW(hwnd_, IDC_TXTNAME, fields.txtName.c_str());
    SetDlgItemTextW(hwnd_, IDC_TXTDATE, fields.txtDate.c_str());
    SetDlgItemTextW(hwnd_, IDC_TXTTIJD, fields.txtTijd.c_str());
    if (!fields.rule.empty()) {
      SendDlgItemMessageW(hwnd_, IDC_CMBREPEAT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fields.ruleWords.c_str()));
    }
    SendDlgItemMessageW(hwnd_, IDC_CMBREPEAT, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(Text(TextId::RepeatListCustom).c_str()));
    shownRule_ = fields;
    SendDlgItemMessageW(hwnd_, IDC_CMBREPEAT, CB_SETCURSEL, static_cast<WPARAM>(fields.cmbRepeat), 0);
    shownRepeat_ = fields.cmbRepeat;
    CheckDlgButton(hwnd_, IDC_CHKDELETE, static_cast<UINT>(fields.chkDelete));
  }

  EditorFields ReadFields() const {
    EditorFields fields;
    fields.chkActief = static_cast<int>(IsDlgButtonChecked(hwnd_, IDC_CHKACTIEF));
    fields.txtName = ControlText(IDC_TXTNAME);
    fields.txtDate = ControlText(IDC_TXTDATE);
    fields.txtTijd = ControlText(IDC_TXTTIJD);
    fields.cmbRepeat = static_cast<int>(SendDlgItemMessageW(hwnd_, IDC_CMBREPEAT, CB_GETCURSEL, 0, 0));
    fields.chkDelete = static_cast<int>(IsDlgButtonChecked(hwnd_, IDC_CHKDELETE));
    fields.rule = shownRule_.rule;
    fields.ruleWords = shownRule_.ruleWords;
    fields.ruleDue = shownRule_.ruleDue;
    fields.sound = shownRule_.sound;
    fields.soundUntilAnswered = shownRule_.soundUntilAnswered;
    return fields;
  }

  std::wstring ControlText(int id) const {
    HWND control = GetDlgItem(hwnd_, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
  }

  void FocusField(EditorField field) {
    const int id = field == EditorField::Date ? IDC_TXTDATE : field == EditorField::Time ? IDC_TXTTIJD : IDC_CMBREPEAT;
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, id)), TRUE);
  }

  EditDialogContext& context_;
  HWND hwnd_ = nullptr;
  int editSlot_ = 0;
  EditorFields shownRule_;  // the fields shown, for the rule and sound OK keeps
  int shownRepeat_ = Once;  // the Repeat entry chosen before "Custom..."
  TwipsLayout layout_{kEditControls};
};

}  // namespace

void ShowEditDialog(HINSTANCE instance, HWND owner, EditDialogContext& context) {
  RegisterDialogClass(instance, kEditWindowClass, nullptr);
  // A fixed tool window: short caption bar, close box only, no icon.
  const auto dialogTemplate = EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_TOOLWINDOW,
                                                  kEditWindowClass, Text(kEditWindow.caption));
  EditDialog dialog(context);
  DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner,
                          EditDialog::DialogProc, reinterpret_cast<LPARAM>(&dialog));
  context.heldSlot.reset();
}

void CloseEditDialog(HWND editor) { EndDialog(editor, IDCANCEL); }
