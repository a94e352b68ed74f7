#include "setup_window.h"

#include <commctrl.h>

#include "alarm_store.h"
#include "dialog_window.h"
#include "dpi.h"
#include "editor_rules.h"
#include "program_box.h"
#include "resource.h"
#include "text_table.h"

namespace {}  // namespace

SetupWindow::SetupWindow(HINSTANCE instance, AlarmTable& table, SettingsStore& store, const Clock& clock,
                         std::function<void()> enableAlarmCheck)
    : instance_(instance), table_(table), store_(store), clock_(clock), enableAlarmCheck_(std::move(enableAlarmCheck)) {
  icon_.Reset(static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
  RegisterDialogClass(instance, kSetupWindowClass, icon_.Get());
}

SetupWindow::~SetupWindow() { Unload(); }

void SetupWindow::Load() {
  if (hwnd_) return;
  // A fixed dialog frame with a close box, and a taskbar button of its own.
  const auto dialogTemplate = EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_APPWINDOW,
                                                  kSetupWindowClass, Text(kSetupWindow.caption));
  CreateDialogIndirectParamW(instance_, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), nullptr,
                             DialogProc, reinterpret_cast<LPARAM>(this));
}

void SetupWindow::Show() {
  Load();
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void SetupWindow::Unload() {
  if (!hwnd_) return;
  // A modal editor is an enabled popup owned by this window.
  HWND editor = GetWindow(hwnd_, GW_ENABLEDPOPUP);
  if (editor && editor != hwnd_) CloseEditDialog(editor);
  DestroyWindow(hwnd_);
}

bool SetupWindow::TranslateDialogMessage(MSG& message) { return hwnd_ && IsDialogMessageW(hwnd_, &message); }

std::wstring SetupWindow::LaadAlarmen() {
  const LoadReport report = ::LaadAlarmen(table_, store_);
  RefreshAlarm();
  return LoadProblemsMessage(report);
}

void SetupWindow::RefreshAlarm() {
  if (!hwnd_) return;
  SendMessageW(lstAlarm_.Handle(), WM_SETREDRAW, FALSE, 0);
  lstAlarm_.Clear();
  listedFollowed_ = followed_ ? followed_() : std::vector<FollowedRow>();
  for (const ListRow& row : RefreshAlarmRows(table_, listedFollowed_)) lstAlarm_.AppendRow(row);
  if (lstAlarm_.RowCount() > 0) lstAlarm_.Select(0);
  SendMessageW(lstAlarm_.Handle(), WM_SETREDRAW, TRUE, 0);
}

void SetupWindow::Save(int slot) {
  const int one[] = {slot};
  const SaveReport report = SaveChanges(table_, store_, one, SlotHeldByEditor());
  // What another program changed meanwhile, or a new alert moved to another
  // slot, shows at once.
  if (report.changedElsewhere) RefreshAlarm();
  for (const SlotNotSaved& refused : report.notSaved) {
    Ask(SaveFailedMessage(refused.slot, refused.key, refused.reason), MB_OK | MB_ICONERROR);
  }
}

bool SetupWindow::TakeInChangesFromElsewhere() {
  if (!store_.ReadAgainIfChanged()) return false;
  ::LaadAlarmen(table_, store_);
  // The row the user chose stays chosen while the other PC's changes come in.
  const std::optional<int> selected = hwnd_ ? SelectedSlot() : std::nullopt;
  RefreshAlarm();
  const int row = selected ? lstAlarm_.FindRowOfSlot(*selected) : -1;
  if (row >= 0) lstAlarm_.Select(row);
  return true;
}

void SetupWindow::RemoveAlarmRow(int slot) {
  if (!hwnd_) return;
  const int row = lstAlarm_.FindRowOfSlot(slot);
  if (row >= 0) lstAlarm_.RemoveRow(row);
}

INT_PTR CALLBACK SetupWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  SetupWindow* window = DialogObject<SetupWindow>(hwnd, message, lParam);
  if (!window) return FALSE;
  if (message == WM_INITDIALOG) window->hwnd_ = hwnd;
  return window->HandleMessage(message, wParam, lParam);
}

INT_PTR SetupWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: Form_Load(); return FALSE;  // no focus yet: the window is hidden
    case WM_ACTIVATE:
      // Coming back from one of our message boxes is no new activation.
      if (LOWORD(wParam) != WA_INACTIVE && !askingUser_) Form_Activate();
      return FALSE;
    case WM_COMMAND: HandleCommand(LOWORD(wParam)); return TRUE;
    // The list's own handling goes on as usual (the key is not swallowed).
    case WM_NOTIFY: HandleListNotification(*reinterpret_cast<const NMHDR*>(lParam), lParam); return FALSE;
    case WM_DPICHANGED: Form_DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); return TRUE;
    case WM_CLOSE:  // the frame's close button acts as "&Close"
      cmdClose_Click();
      return TRUE;
    case WM_DESTROY: hwnd_ = nullptr; return TRUE;
    default: return FALSE;
  }
}

void SetupWindow::HandleCommand(int id) {
  switch (id) {
    case IDC_CMDNIEUW: cmdNieuw_Click(); break;
    case IDC_CMDEDIT: cmdEdit_Click(); break;
    case IDC_CMDREMOVE: cmdRemove_Click(); break;
    case IDC_CMDCLOSE: cmdClose_Click(); break;
    // The window has no default button: the dialog manager turns Enter in
    // the list into IDOK, which the list handles as its own key.
    case IDOK:
      if (GetFocus() == lstAlarm_.Handle()) lstAlarm_KeyDown(VK_RETURN);
      break;
    default: break;
  }
}

void SetupWindow::HandleListNotification(const NMHDR& header, LPARAM lParam) {
  if (header.idFrom != IDC_LSTALARM) return;
  if (header.code == NM_DBLCLK) lstAlarm_DblClick();
  if (header.code == LVN_KEYDOWN) lstAlarm_KeyDown(reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey);
}

void SetupWindow::Form_Load() {
  DisableDialogDpiScaling(hwnd_);
  const int dpi = WindowDpi(hwnd_);
  layout_.Create(hwnd_, dpi);
  lstAlarm_.Attach(GetDlgItem(hwnd_, IDC_LSTALARM), dpi);
  PlaceWindow(hwnd_, kSetupWindow, nullptr, dpi);
}

void SetupWindow::Form_Activate() { RefreshAlarm(); }

// Moved to a monitor of another DPI, or the monitor's DPI changed.
void SetupWindow::Form_DpiChanged(int dpi, const RECT& suggested) {
  const int oldDpi = layout_.Dpi();
  MoveToSuggestedRect(hwnd_, suggested);
  layout_.Apply(dpi);
  lstAlarm_.ScaleColumns(oldDpi, dpi);
}

void SetupWindow::cmdNieuw_Click() { ShowEditor(std::wstring(kNewAlarmRequest)); }

void SetupWindow::cmdEdit_Click() {
  if (ToldOfFollowedRow()) return;
  if (const auto slot = SelectedSlot()) ShowEditor(EditRequestFor(*slot));
}

void SetupWindow::cmdRemove_Click() {
  const int row = lstAlarm_.SelectedRow();
  if (row < 0 || ToldOfFollowedRow()) return;
  const int slot = lstAlarm_.SlotOfRow(row);
  const std::wstring question = Text(TextId::ListNamesRemoveQuestion, {table_[slot].Naam});
  if (Ask(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  table_[slot].Exist = false;
  // An import during the question may have sorted the rows anew.
  RemoveAlarmRow(slot);
  Save(slot);
  if (hwnd_) SetFocus(lstAlarm_.Handle());
}

void SetupWindow::cmdClose_Click() {
  enableAlarmCheck_();
  DestroyWindow(hwnd_);
}

void SetupWindow::lstAlarm_DblClick() { cmdEdit_Click(); }

void SetupWindow::lstAlarm_KeyDown(WORD keyCode) {
  if (keyCode == VK_RETURN) cmdEdit_Click();
  if (keyCode == VK_DELETE) cmdRemove_Click();
}

int SetupWindow::Ask(const std::wstring& text, UINT style) {
  askingUser_ = true;
  const int answer = ShowProgramBox(hwnd_, text.c_str(), Text(TextId::CommonTitle).c_str(), style);
  askingUser_ = false;
  return answer;
}

bool SetupWindow::ToldOfFollowedRow() {
  const int row = lstAlarm_.SelectedRow();
  if (row < 0) return false;
  const auto place = FollowedPlaceOfNumberText(lstAlarm_.Text(row, kNumberColumn));
  if (!place || *place >= listedFollowed_.size()) return false;
  const FollowedRow& reminder = listedFollowed_[*place];
  Ask(Text(TextId::ListOfCalendar, {reminder.description, reminder.calendar}), MB_OK | MB_ICONINFORMATION);
  return true;
}

std::optional<int> SetupWindow::SelectedSlot() const {
  const int row = lstAlarm_.SelectedRow();
  const int slot = row < 0 ? -1 : lstAlarm_.SlotOfRow(row);
  if (slot < 0) return std::nullopt;
  return slot;
}

void SetupWindow::ShowEditor(const std::wstring& request) {
  EditDialogContext context{table_, clock_, request, [this](int slot) { Save(slot); }, std::nullopt};
  openEditor_ = &context;
  ShowEditDialog(instance_, hwnd_, context);
  openEditor_ = nullptr;
}

std::optional<int> SetupWindow::SlotHeldByEditor() const { return openEditor_ ? openEditor_->heldSlot : std::nullopt; }
