#include "sound_dialog.h"

#include "dialog_window.h"
#include "dpi.h"
#include "file_dialogs.h"
#include "resource.h"
#include "sound_player.h"
#include "text_table.h"
#include "twips_layout.h"

namespace {

constexpr int kOptionIds[] = {IDC_OPTREMINDER, IDC_OPTNOSOUND, IDC_OPTFILE};

class SoundDialog {
 public:
  SoundDialog(int dpi, const SoundFields& shown) : shown_(shown), dpi_(dpi) {}

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SoundDialog* dialog = DialogObject<SoundDialog>(hwnd, message, lParam);
    if (!dialog) return FALSE;
    if (message == WM_INITDIALOG) dialog->hwnd_ = hwnd;
    return dialog->HandleMessage(message, wParam, lParam);
  }

  std::optional<SoundOutcome> kept;  // what OK kept

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG: Form_Load(); return FALSE;  // the focus is set on the chosen option
      case WM_COMMAND: HandleCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
      case WM_DPICHANGED:
        MoveToSuggestedRect(hwnd_, *reinterpret_cast<const RECT*>(lParam));
        layout_.Apply(HIWORD(wParam));
        return TRUE;
      case WM_DESTROY: StopAlertSound(); return FALSE;
      default: return FALSE;
    }
  }

  void HandleCommand(int id, int code) {
    switch (id) {
      case IDC_CMDOK: cmdOK_Click(); break;
      case IDC_CMDCANCEL: EndDialog(hwnd_, IDCANCEL); break;
      case IDC_CMDBROWSE: cmdBrowse_Click(); break;
      case IDC_CMDPLAY: cmdPlay_Click(); break;
      case IDC_OPTREMINDER:
      case IDC_OPTNOSOUND:
      case IDC_OPTFILE:
        if (code == BN_CLICKED) TabToChosenOption();
        break;
      case IDC_TXTSOUNDFILE:
        if (code == EN_CHANGE && GetFocus() == GetDlgItem(hwnd_, IDC_TXTSOUNDFILE)) Choose(FileOption);
        break;
      default: break;
    }
  }

  void Form_Load() {
    DisableDialogDpiScaling(hwnd_);
    layout_.Create(hwnd_, dpi_);
    SetDlgItemTextW(hwnd_, IDC_TXTSOUNDFILE, shown_.txtFile.c_str());
    CheckDlgButton(hwnd_, IDC_CHKUNTILANSWERED, static_cast<UINT>(shown_.chkUntilAnswered));
    Choose(shown_.option);
    PlaceWindow(hwnd_, kSoundWindow, GetWindow(hwnd_, GW_OWNER), dpi_);
    SetFocus(GetDlgItem(hwnd_, kOptionIds[shown_.option]));
  }

  void Choose(int option) {
    CheckRadioButton(hwnd_, IDC_OPTREMINDER, IDC_OPTFILE, kOptionIds[option]);
    TabToChosenOption();
  }

  // Tab reaches the group at its chosen option, as in Windows' own dialogs.
  void TabToChosenOption() const {
    for (const int id : kOptionIds) {
      HWND option = GetDlgItem(hwnd_, id);
      const LONG_PTR style = GetWindowLongPtrW(option, GWL_STYLE);
      const bool chosen = IsDlgButtonChecked(hwnd_, id) == BST_CHECKED;
      SetWindowLongPtrW(option, GWL_STYLE, chosen ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    }
  }

  SoundFields ReadFields() const {
    SoundFields fields;
    for (int option = ReminderOption; option <= FileOption; ++option) {
      if (IsDlgButtonChecked(hwnd_, kOptionIds[option]) == BST_CHECKED) fields.option = option;
    }
    HWND file = GetDlgItem(hwnd_, IDC_TXTSOUNDFILE);
    fields.txtFile.assign(static_cast<std::size_t>(GetWindowTextLengthW(file)) + 1, L'\0');
    fields.txtFile.resize(
        static_cast<std::size_t>(GetWindowTextW(file, fields.txtFile.data(), static_cast<int>(fields.txtFile.size()))));
    fields.chkUntilAnswered = static_cast<int>(IsDlgButtonChecked(hwnd_, IDC_CHKUNTILANSWERED));
    return fields;
  }

  void cmdBrowse_Click() {
    const auto chosen = ChooseSoundFile(hwnd_, ReadFields().txtFile);
    if (!chosen) return;
    SetDlgItemTextW(hwnd_, IDC_TXTSOUNDFILE, chosen->c_str());
    Choose(FileOption);
  }

  // Once, as the box would begin it.
  void cmdPlay_Click() const { PlayAlertSound(ChooseSound(ChosenSound(ReadFields()), false, WindowsSoundSources())); }

  void cmdOK_Click() {
    SoundOutcome outcome = cmdSoundOK_Record(ReadFields());
    if (!outcome.sound) {
      MessageBoxW(hwnd_, outcome.message.c_str(), Text(TextId::CommonTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
      SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, IDC_CMDBROWSE)), TRUE);
      return;
    }
    kept = std::move(outcome);
    EndDialog(hwnd_, IDOK);
  }

  const SoundFields shown_;
  const int dpi_;
  HWND hwnd_ = nullptr;
  TwipsLayout layout_{kSoundControls};
};

}  // namespace

std::optional<SoundOutcome> ShowSoundDialog(HWND editor, int dpi, const SoundFields& shown) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(editor, GWLP_HINSTANCE));
  RegisterDialogClass(instance, kSoundWindowClass, nullptr);
  const auto dialogTemplate = EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_TOOLWINDOW,
                                                  kSoundWindowClass, Text(kSoundWindow.caption));
  SoundDialog dialog(dpi, shown);
  DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), editor,
                          SoundDialog::DialogProc, reinterpret_cast<LPARAM>(&dialog));
  return dialog.kept;
}
