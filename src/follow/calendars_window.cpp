#include "calendars_window.h"

#include <commctrl.h>

#include "add_calendar_dialog.h"
#include "calendar_address.h"
#include "dialog_window.h"
#include "dpi.h"
#include "program_box.h"
#include "resource.h"
#include "text_table.h"
#include "twips_layout.h"
#include "window_layouts.h"

namespace {

constexpr UINT_PTR kStateTimer = 1;
constexpr UINT kStateTimerMs = 1000;  // a fetch ending shows within a second
constexpr int kColumnTwips[] = {1800, 3000, 3300};
constexpr TextId kColumnTexts[] = {TextId::CalendarsColumnName, TextId::CalendarsColumnAddress,
                                   TextId::CalendarsColumnState};

class CalendarsWindow {
 public:
  CalendarsWindow(CalendarFollower& follower, std::function<DateValue()> now, int dpi)
      : follower_(follower), now_(std::move(now)), dpi_(dpi) {}

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CalendarsWindow* window = DialogObject<CalendarsWindow>(hwnd, message, lParam);
    if (!window) return FALSE;
    if (message == WM_INITDIALOG) window->hwnd_ = hwnd;
    return window->HandleMessage(message, wParam, lParam);
  }

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG: Form_Load(); return FALSE;
      case WM_COMMAND:
        switch (LOWORD(wParam)) {
          case IDC_CMDADD: cmdAdd_Click(); break;
          case IDC_CMDREMOVE: cmdRemove_Click(); break;
          case IDC_CMDREFRESH: cmdRefresh_Click(); break;
          case IDC_CMDCANCEL: EndDialog(hwnd_, IDCANCEL); break;
          default: break;
        }
        return TRUE;
      case WM_TIMER: Timer_Timer(); return TRUE;
      case WM_DPICHANGED:
        MoveToSuggestedRect(hwnd_, *reinterpret_cast<const RECT*>(lParam));
        layout_.Apply(HIWORD(wParam));
        SizeColumns(HIWORD(wParam));
        return TRUE;
      case WM_DESTROY: KillTimer(hwnd_, kStateTimer); return FALSE;
      default: return FALSE;
    }
  }

  void Form_Load() {
    DisableDialogDpiScaling(hwnd_);
    layout_.Create(hwnd_, dpi_);
    list_ = GetDlgItem(hwnd_, IDC_LSTCALENDARS);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    for (int column = 0; column < 3; ++column) {
      const std::wstring text = Text(kColumnTexts[column]);
      LVCOLUMNW info = {};
      info.mask = LVCF_TEXT | LVCF_WIDTH;
      info.pszText = const_cast<wchar_t*>(text.c_str());
      info.cx = TwipsToPixels(kColumnTwips[column], dpi_);
      ListView_InsertColumn(list_, column, &info);
    }
    FillList();
    PlaceWindow(hwnd_, kCalendarsWindow, nullptr, dpi_);
    SetTimer(hwnd_, kStateTimer, kStateTimerMs, nullptr);
    SetForegroundWindow(hwnd_);
    SetFocus(list_);
  }

  void SizeColumns(int dpi) {
    for (int column = 0; column < 3; ++column)
      ListView_SetColumnWidth(list_, column, TwipsToPixels(kColumnTwips[column], dpi));
  }

  // The rows anew, keeping the selected one.
  void FillList() {
    shownChange_ = follower_.Changes();
    const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    ListView_DeleteAllItems(list_);
    const auto& followed = follower_.Followed();
    for (std::size_t index = 0; index < followed.size(); ++index) {
      const FollowedCalendar& calendar = followed[index].calendar;
      const std::wstring texts[] = {calendar.name, ShownAddress(calendar.address), StateText(follower_.StateOf(index))};
      LVITEMW item = {};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(index);
      item.pszText = const_cast<wchar_t*>(texts[0].c_str());
      ListView_InsertItem(list_, &item);
      for (int column = 1; column < 3; ++column) {
        ListView_SetItemText(list_, static_cast<int>(index), column, const_cast<wchar_t*>(texts[column].c_str()));
      }
    }
    const int row = std::min(selected < 0 ? 0 : selected, static_cast<int>(followed.size()) - 1);
    if (row >= 0) ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EnableWindow(GetDlgItem(hwnd_, IDC_CMDREMOVE), !followed.empty());
  }

  void Timer_Timer() {
    if (follower_.Changes() != shownChange_) FillList();
  }

  void cmdAdd_Click() {
    const auto calendar = AskCalendarToAdd(hwnd_);
    if (!calendar) return;
    // Told only when it could not be followed; the list shows it otherwise.
    follower_.Follow(
        calendar->arguments, now_(),
        [](const TransferOutcome& outcome) {
          if (outcome.exitCode == kExitDone) return;
          ShowProgramBox(nullptr, outcome.summary.c_str(), Text(TextId::CommonTitle).c_str(),
                         MB_OK | MB_ICONEXCLAMATION);
        },
        calendar->password);
  }

  void cmdRemove_Click() {
    const int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    if (row < 0 || static_cast<std::size_t>(row) >= follower_.Followed().size()) return;
    const std::wstring name = follower_.Followed()[static_cast<std::size_t>(row)].calendar.name;
    if (MessageBoxW(hwnd_, Text(TextId::CalendarsRemoveAsk, {name}).c_str(), Text(TextId::CommonTitle).c_str(),
                    MB_YESNO | MB_ICONQUESTION) != IDYES) {
      return;
    }
    const TransferOutcome outcome = follower_.Unfollow(name);
    if (outcome.exitCode != kExitDone) {
      MessageBoxW(hwnd_, outcome.summary.c_str(), Text(TextId::CommonTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
    FillList();
  }

  void cmdRefresh_Click() {
    follower_.RefreshAll();
    follower_.Tick(now_());
  }

  CalendarFollower& follower_;
  std::function<DateValue()> now_;
  const int dpi_;
  HWND hwnd_ = nullptr;
  HWND list_ = nullptr;
  unsigned shownChange_ = 0;
  TwipsLayout layout_{kCalendarsControls};
};

}  // namespace

void ShowCalendarsWindow(HINSTANCE instance, CalendarFollower& follower, std::function<DateValue()> now) {
  RegisterDialogClass(instance, kCalendarsWindowClass, LoadIconW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON)));
  const auto dialogTemplate = EmptyDialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_APPWINDOW,
                                                  kCalendarsWindowClass, Text(kCalendarsWindow.caption));
  CalendarsWindow window(follower, std::move(now), ScreenDpi());
  DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), nullptr,
                          CalendarsWindow::DialogProc, reinterpret_cast<LPARAM>(&window));
}
