#include "main_window.h"

#include <windowsx.h>

#include <utility>

#include "alert_box.h"
#include "alert_sound.h"
#include "calendar_address.h"
#include "calendars_window.h"
#include "check_schedule.h"
#include "dpi.h"
#include "file_dialogs.h"
#include "hand_over.h"
#include "language_choice.h"
#include "language_file.h"
#include "local_clock.h"
#include "notification_state.h"
#include "password_dialog.h"
#include "program_box.h"
#include "resource.h"
#include "settings_location.h"
#include "sound_player.h"
#include "sync_conflict.h"
#include "text_convert.h"
#include "tray_tip.h"
#include "text_table.h"

namespace {

constexpr UINT kTimer1Interval = 1000;  // the tray tip
// How often, in tip ticks, the store is looked at for changes another
// program made (one sharing the file, on this PC or another).
constexpr unsigned kLookForChangesTicks = 15;
// After a wake or a clock change the check waits this long, so that the
// burst of events Windows sends (two resume codes, a time change) gives
// one check.
constexpr UINT kClockEventSettleMs = 300;
// Tells the user, once the program runs, what could not be loaded.
constexpr UINT WMAPP_REPORT_LOAD = WM_APP + 1;
// The import file, read on its own thread, is ready to be placed.
constexpr UINT WMAPP_IMPORT_READ = WM_APP + 2;
// The export file, written on its own thread, is on disk (or failed).
constexpr UINT WMAPP_EXPORT_WRITTEN = WM_APP + 3;
// A followed calendar's fetch, on its own thread, has ended.
constexpr UINT WMAPP_CALENDAR_FETCHED = WM_APP + 4;
// A /follow with /user waits for its password.
constexpr UINT WMAPP_ASK_PASSWORD = WM_APP + 5;
// "Remind me again" goes after Setup, Active and Wait while presenting,
// before the export group.
constexpr UINT kRemindAgainPosition = 3;
static_assert(IDM_REMIND_LAST - IDM_REMIND_FIRST + 1 == kRemindCommandCount);
constexpr UINT kLanguageFromEnd = 3;  // before the separator and Exit
// The language chosen in the menu: one value of its own beside the alerts.
constexpr std::wstring_view kOptionsSection = L"Options";
constexpr std::wstring_view kLanguageKey = L"Language";
constexpr std::wstring_view kWaitWhilePresentingKey = L"WaitWhilePresenting";
static_assert(IDM_LANGUAGE_LAST - IDM_LANGUAGE_FIRST == kLanguages.size());

void SetItemText(HMENU menu, UINT item, bool byPosition, const std::wstring& text) {
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<wchar_t*>(text.c_str());
  SetMenuItemInfoW(menu, item, byPosition, &info);
}

// At the small-icon size of the display's DPI, so that the picture is drawn
// crisp rather than scaled.
HICON LoadTrayPicture(HINSTANCE instance, int id, int dpi) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, SystemMetricForDpi(SM_CXSMICON, dpi),
                                       SystemMetricForDpi(SM_CYSMICON, dpi), 0));
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, AlarmTable& table, SettingsStore& store, const Clock& clock)
    : instance_(instance),
      table_(table),
      store_(store),
      clock_(clock),
      setup_(instance, table, store, clock, [this] { ListWindowClosed(); }),
      check_(table) {}

bool MainWindow::Create(const std::wstring& title) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
  windowClass.lpszClassName = kMainWindowClass;
  RegisterClassExW(&windowClass);
  // Never shown, so never on the taskbar. Not a message-only window: those
  // miss the shell's TaskbarCreated broadcast.
  return CreateWindowExW(0, kMainWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this) != nullptr;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* window = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return window ? window->HandleMessage(message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == taskbarCreatedMessage_ && message != 0) {
    TaskbarCreated();
    return 0;
  }
  // Until the alerts are loaded, what comes from outside waits: a command
  // from a second start is posted again, a shell or clock event has
  // nothing to act on yet, and a hand-over is refused (its sender asks again).
  if (!ready_ && message != WM_CREATE && message != WM_NCDESTROY) {
    if (message == WM_COMMAND) PostMessageW(hwnd_, message, wParam, lParam);
    if (message == WM_COPYDATA) return RefuseHandOver(HandOverAnswer::NotReady);
    if (message == WM_COMMAND || message == kTrayCallbackMessage || message == WM_TIMECHANGE ||
        message == WM_POWERBROADCAST || message == taskbarCreatedMessage_) {
      return 0;
    }
  }
  switch (message) {
    case WM_CREATE: Form_Load(); return 0;
    case kTrayCallbackMessage: Form_MouseMove(wParam, lParam); return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDM_INSTELLEN: mnuInstellen_Click(); break;
        case IDM_ACTIEF: mnuActief_Click(); break;
        case IDM_WAIT_PRESENTING: mnuWaitPresenting_Click(); break;
        case IDM_EXPORT: mnuExport_Click(); break;
        case IDM_IMPORT: mnuImport_Click(); break;
        case IDM_CALENDARS: mnuCalendars_Click(); break;
        case IDM_SLUITEN: mnuSluiten_Click(); break;
        default:
          if (LOWORD(wParam) >= IDM_REMIND_FIRST && LOWORD(wParam) <= IDM_REMIND_LAST) {
            mnuRemindAgain_Click(LOWORD(wParam) - IDM_REMIND_FIRST);
          }
          if (LOWORD(wParam) >= IDM_LANGUAGE_FIRST && LOWORD(wParam) <= IDM_LANGUAGE_LAST) {
            mnuLanguage_Click(LOWORD(wParam) - IDM_LANGUAGE_FIRST);
          }
          break;
      }
      return 0;
    // Sent, so also taken inside the editor's or an alarm box's loop.
    case WM_COPYDATA: return Form_CopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) Form_Resume();
      return TRUE;
    case WM_TIMECHANGE: Form_TimeChange(); return 0;
    case WM_TIMER:
      if (wParam == IDT_TIMER) Timer_Timer();
      if (wParam == IDT_TIMER1) Timer1_Timer();
      return 0;
    case WMAPP_IMPORT_READ: Form_ImportRead(); return 0;
    case WMAPP_EXPORT_WRITTEN: Form_ExportWritten(); return 0;
    case WMAPP_CALENDAR_FETCHED: Form_CalendarFetched(lParam); return 0;
    case WMAPP_ASK_PASSWORD: Form_AskPassword(); return 0;
    case WMAPP_REPORT_LOAD:
      if (!unloading_)
        ShowProgramBox(nullptr, loadProblems_.c_str(), Text(TextId::CommonTitle).c_str(), MB_OK | MB_ICONWARNING);
      return 0;
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
    case WM_DPICHANGED: Form_DisplayChange(); return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_CLOSE: Form_Unload(); return 0;
    case WM_ENDSESSION:  // the user logs off: leave as "Exit" does
      if (wParam) Form_Unload();
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

void MainWindow::Form_Load() {
  languageSetting_ = store_.ReadSetting(kApplicationName, kOptionsSection, kLanguageKey, L"").value_or(L"");
  UseLanguageSetting(languageSetting_);
  const auto wait = store_.ReadSetting(kApplicationName, kOptionsSection, kWaitWhilePresentingKey, L"True");
  waitWhilePresenting_ = ParseBooleanText(wait.value_or(L"True")).value_or(true);
  // An installed Chimewatch only: a portable one leaves nothing behind.
  if (PortableFilePath().empty()) RegisterAlertEvent(Text(TextId::AlertEventLabel));
  taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
  // An elevated Chimewatch would miss the shell's broadcast (sent from a
  // lower integrity level) and lose its icon for good at a shell restart.
  ChangeWindowMessageFilterEx(hwnd_, taskbarCreatedMessage_, MSGFLT_ALLOW, nullptr);
  // The icon first, so that the user sees the program started as soon as
  // it can be seen. The alerts are loaded within this same message: a
  // click on the icon or a request from outside, which come as messages,
  // never finds an empty table, and the tip counts down from the first.
  LoadTrayPictures(WindowDpi(hwnd_));
  tray_.AddTrayIcon(hwnd_, Text(TextId::TipActive), tray_.TrayIcons[1]);
  setup_.Load();
  loadProblems_ = setup_.LaadAlarmen();
  const std::wstring takenIn = TakeInConflictCopies(table_, store_, std::nullopt);
  if (!takenIn.empty()) {
    setup_.RefreshAlarm();
    loadProblems_ += (loadProblems_.empty() ? L"" : L"\r\n\r\n") + takenIn;
  }
  if (!loadProblems_.empty()) PostMessageW(hwnd_, WMAPP_REPORT_LOAD, 0, 0);

  // The items first, their texts from NameMenuItems, as after a change
  // of language.
  mnuPopup_.Reset(CreatePopupMenu());
  mnuLanguage_ = CreatePopupMenu();
  AppendMenuW(mnuPopup_.Get(), MF_STRING, IDM_INSTELLEN, L"");
  AppendMenuW(mnuPopup_.Get(), MF_STRING | MF_CHECKED, IDM_ACTIEF, L"");
  AppendMenuW(mnuPopup_.Get(), MF_STRING | (waitWhilePresenting_ ? MF_CHECKED : 0u), IDM_WAIT_PRESENTING, L"");
  AppendMenuW(mnuPopup_.Get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(mnuPopup_.Get(), MF_STRING, IDM_EXPORT, L"");
  AppendMenuW(mnuPopup_.Get(), MF_STRING, IDM_IMPORT, L"");
  AppendMenuW(mnuPopup_.Get(), MF_STRING, IDM_CALENDARS, L"");
  AppendMenuW(mnuPopup_.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(mnuLanguage_), L"");
  AppendMenuW(mnuPopup_.Get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(mnuPopup_.Get(), MF_STRING, IDM_SLUITEN, L"");
  SetMenuDefaultItem(mnuPopup_.Get(), IDM_INSTELLEN, FALSE);
  for (std::size_t place = 0; place < kMaxRemindOffers; ++place) {
    mnuRemindAgain_[place].Reset(CreatePopupMenu());
    for (const RemindDelay delay : kRemindDelays) {
      AppendMenuW(mnuRemindAgain_[place].Get(), MF_STRING, IDM_REMIND_FIRST + RemindCommandOffset(place, delay), L"");
    }
  }
  NameMenuItems();
  follower_.Load(hwnd_, WMAPP_CALENDAR_FETCHED, clock_.Now());
  setup_.ListFollowed([this] { return FollowedRows(follower_.Followed(), clock_.Now()); });
  SetTimer(hwnd_, IDT_TIMER1, kTimer1Interval, nullptr);
  ArmMinuteTick();
  ready_ = true;
}

void MainWindow::LoadTrayPictures(int dpi) {
  trayDpi_ = dpi;
  pictures_[0].Reset(LoadTrayPicture(instance_, IDI_TRAY_NOT_ACTIVE, dpi));
  pictures_[1].Reset(LoadTrayPicture(instance_, IDI_TRAY_ACTIVE, dpi));
  tray_.TrayIcons = {pictures_[0].Get(), pictures_[1].Get()};
}

// The display's DPI may have changed: the tray pictures follow it.
void MainWindow::Form_DisplayChange() {
  const int dpi = WindowDpi(hwnd_);
  if (dpi == trayDpi_ || unloading_) return;
  LoadTrayPictures(dpi);
  tray_.ChangeTrayIcon(tray_.TrayIcons[IsMonitoring() ? 1 : 0]);
}

// With the version 4 callback the low word of lParam holds the event and
// wParam the icon's place; a plain mouse code reads the same.
void MainWindow::Form_MouseMove(WPARAM wParam, LPARAM lParam) {
  switch (clicks_.OnEvent(LOWORD(lParam))) {
    case TrayAction::OpenList: mnuInstellen_Click(); break;
    case TrayAction::MenuAtPointer: {
      POINT cursor;
      GetCursorPos(&cursor);
      ShowPopupMenu(cursor, TrayAction::MenuAtPointer);
      break;
    }
    case TrayAction::MenuAtIcon:
      ShowPopupMenu({GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)}, TrayAction::MenuAtIcon);
      break;
    case TrayAction::None: break;
  }
}

void MainWindow::ShowPopupMenu(POINT at, TrayAction openedBy) {
  if (menuOpen_) return;
  menuOpen_ = true;
  const std::size_t remindItems = InsertRemindAgainItems();
  // The window must be in the foreground, or the menu does not close when
  // the user clicks elsewhere; the posted WM_NULL lets it close properly.
  SetForegroundWindow(hwnd_);
  // The choice comes back here, so that a cancel can be told from it.
  const UINT command = static_cast<UINT>(TrackPopupMenu(mnuPopup_.Get(), TPM_RETURNCMD, at.x, at.y, 0, hwnd_, nullptr));
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  // Taken out again, so that the delays' menus are never destroyed with it.
  for (std::size_t i = 0; i < remindItems; ++i) RemoveMenu(mnuPopup_.Get(), kRemindAgainPosition, MF_BYPOSITION);
  menuOpen_ = false;
  tray_.MenuClosed(openedBy, command != 0, GetForegroundWindow() == hwnd_);
  // After the menu, as a menu without TPM_RETURNCMD posts it.
  if (command != 0) PostMessageW(hwnd_, WM_COMMAND, command, 0);
}

std::size_t MainWindow::InsertRemindAgainItems() {
  menuOffers_.clear();
  for (const RemindOffer& offer : remindAgain_.Offered(GetTickCount64())) {
    const std::size_t place = menuOffers_.size();
    const std::wstring text = RemindAgainMenuText(offer.description);
    if (!InsertMenuW(mnuPopup_.Get(), static_cast<UINT>(kRemindAgainPosition + place), MF_BYPOSITION | MF_POPUP,
                     reinterpret_cast<UINT_PTR>(mnuRemindAgain_[place].Get()), text.c_str())) {
      break;
    }
    menuOffers_.push_back(offer.serial);
  }
  return menuOffers_.size();
}

void MainWindow::mnuRemindAgain_Click(unsigned commandOffset) {
  const RemindChoice choice = RemindChoiceOf(commandOffset);
  if (choice.offerPlace >= menuOffers_.size() || unloading_) return;
  const unsigned serial = menuOffers_[choice.offerPlace];
  const auto offer = remindAgain_.Find(serial, GetTickCount64());
  if (!offer) return;
  const RemindDue due = RemindAgainDue(choice.delay, clock_.Now(), UtcNow(), UtcToPcLocal);
  const auto slot = AddReminder(table_, *offer, due.local, setup_.SlotHeldByEditor());
  if (!slot) {
    ShowProgramBox(hwnd_, Text(TextId::EditorBoxTooManyAlerts).c_str(), Text(TextId::CommonTitle).c_str(),
                   MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  remindAgain_.Used(serial);
  if (due.notBeforeUtc) snoozeHolds_.Hold(*slot, table_[*slot], *due.notBeforeUtc);
  setup_.Save(*slot);
  setup_.RefreshAlarm();
}

void MainWindow::NameMenuItems() {
  static constexpr std::pair<UINT, TextId> kItems[] = {{IDM_INSTELLEN, TextId::TraySetup},
                                                       {IDM_ACTIEF, TextId::TrayActive},
                                                       {IDM_WAIT_PRESENTING, TextId::TrayWaitWhilePresenting},
                                                       {IDM_EXPORT, TextId::TrayExport},
                                                       {IDM_IMPORT, TextId::TrayImport},
                                                       {IDM_CALENDARS, TextId::TrayCalendars},
                                                       {IDM_SLUITEN, TextId::TrayExit}};
  for (const auto& [command, text] : kItems) SetItemText(mnuPopup_.Get(), command, false, Text(text));
  const int languageItem = GetMenuItemCount(mnuPopup_.Get()) - static_cast<int>(kLanguageFromEnd);
  SetItemText(mnuPopup_.Get(), static_cast<UINT>(languageItem), true, Text(TextId::TrayLanguage));
  for (std::size_t place = 0; place < kMaxRemindOffers; ++place) {
    for (const RemindDelay delay : kRemindDelays) {
      SetItemText(mnuRemindAgain_[place].Get(), IDM_REMIND_FIRST + RemindCommandOffset(place, delay), false,
                  RemindDelayText(delay));
    }
  }
  // The languages keep their own names; Windows' is named in its own too.
  HMENU languages = mnuLanguage_;
  while (DeleteMenu(languages, 0, MF_BYPOSITION)) {
  }
  const std::wstring ofWindows(OwnName(LanguageToUse(L"", WindowsLanguage())));
  AppendMenuW(languages, MF_STRING, IDM_LANGUAGE_FIRST, Text(TextId::LanguageMenuOfWindows, {ofWindows}).c_str());
  UINT chosen = IDM_LANGUAGE_FIRST;
  for (UINT i = 0; i < kLanguages.size(); ++i) {
    const std::wstring name(kLanguages[i].ownName);
    AppendMenuW(languages, MF_STRING, IDM_LANGUAGE_FIRST + 1 + i, name.c_str());
    if (SameTag(kLanguages[i].tag, languageSetting_)) chosen = IDM_LANGUAGE_FIRST + 1 + i;
  }
  CheckMenuRadioItem(languages, IDM_LANGUAGE_FIRST, IDM_LANGUAGE_LAST, chosen, MF_BYCOMMAND);
}

void MainWindow::mnuLanguage_Click(unsigned choice) {
  const std::string_view tag = choice == 0 ? std::string_view() : kLanguages[choice - 1].tag;
  languageSetting_.assign(tag.begin(), tag.end());
  // A file being read or written tells how it went in the language it
  // started in: the new one comes when it is done.
  languageWaits_ = import_.Busy() || export_.Busy();
  if (!languageWaits_) UseChosenLanguage();
  if (!store_.WriteSetting(kApplicationName, kOptionsSection, kLanguageKey, languageSetting_)) {
    ShowProgramBox(hwnd_, Text(TextId::StoreLanguageNotSaved, {store_.Where(), store_.LastError()}).c_str(),
                   Text(TextId::CommonTitle).c_str(), MB_OK | MB_ICONWARNING);
  }
}

void MainWindow::UseChosenLanguage() {
  languageWaits_ = false;
  UseLanguageSetting(languageSetting_);
  NameMenuItems();
  tray_.ChangeTrayTip(CountdownTip());
}

void MainWindow::UseLanguageThatWaited() {
  if (languageWaits_ && !import_.Busy() && !export_.Busy()) UseChosenLanguage();
}

bool MainWindow::IsMonitoring() const {
  return (GetMenuState(mnuPopup_.Get(), IDM_ACTIEF, MF_BYCOMMAND) & static_cast<UINT>(MF_CHECKED)) != 0;
}

void MainWindow::mnuActief_Click() {
  const bool monitoring = !IsMonitoring();
  const UINT state = monitoring ? static_cast<UINT>(MF_CHECKED) : static_cast<UINT>(MF_UNCHECKED);
  CheckMenuItem(mnuPopup_.Get(), IDM_ACTIEF, MF_BYCOMMAND | state);
  ShowMonitoring(tray_, monitoring);
}

void MainWindow::mnuWaitPresenting_Click() {
  waitWhilePresenting_ = !waitWhilePresenting_;
  const UINT state = waitWhilePresenting_ ? static_cast<UINT>(MF_CHECKED) : static_cast<UINT>(MF_UNCHECKED);
  CheckMenuItem(mnuPopup_.Get(), IDM_WAIT_PRESENTING, MF_BYCOMMAND | state);
  if (!store_.WriteSetting(kApplicationName, kOptionsSection, kWaitWhilePresentingKey,
                           BooleanText(waitWhilePresenting_))) {
    ShowProgramBox(hwnd_, Text(TextId::StoreOptionNotSaved, {store_.Where(), store_.LastError()}).c_str(),
                   Text(TextId::CommonTitle).c_str(), MB_OK | MB_ICONWARNING);
  }
  ShowAlertsThatWaited();
}

void MainWindow::mnuInstellen_Click() {
  listWindowOpen_ = true;
  KillTimer(hwnd_, IDT_TIMER);
  setup_.Show();
}

void MainWindow::ListWindowClosed() {
  listWindowOpen_ = false;
  ArmMinuteTick();
}

void MainWindow::mnuExport_Click() {
  if (transferOpen_) return;
  transferOpen_ = true;
  const auto path = ChooseExportFile(hwnd_);
  // Written on its own thread; Form_ExportWritten shows the summary.
  if (path && !unloading_ && export_.Start(MakeExport(table_, clock_), *path, hwnd_, WMAPP_EXPORT_WRITTEN)) return;
  if (path && !unloading_) ShowTransferOutcome({kExitBusy, Text(TextId::TransferExportBusy)});
  transferOpen_ = false;
}

void MainWindow::mnuImport_Click() {
  if (transferOpen_) return;
  transferOpen_ = true;
  const auto path = ChooseImportFile(hwnd_);
  // Read on its own thread; Form_ImportRead places it and shows the summary.
  if (path && !unloading_ && import_.Start(*path, clock_, hwnd_, WMAPP_IMPORT_READ)) return;
  if (path && !unloading_) ShowTransferOutcome({kExitBusy, Text(TextId::TransferImportBusy)});
  transferOpen_ = false;
}

void MainWindow::mnuCalendars_Click() {
  if (calendarsOpen_ || unloading_) return;
  calendarsOpen_ = true;
  ShowCalendarsWindow(instance_, follower_, [this] { return clock_.Now(); });
  calendarsOpen_ = false;
  tray_.ChangeTrayTip(CountdownTip());
}

void MainWindow::ShowTransferOutcome(const TransferOutcome& outcome) {
  const UINT icon = outcome.exitCode == kExitDone ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
  ShowProgramBox(hwnd_, outcome.summary.c_str(), Text(TextId::CommonTitle).c_str(), MB_OK | icon);
}

// A command-line run hands its /export or /import over to us. We answer at
// once whether we take it; the result follows when the work is done.
LRESULT MainWindow::Form_CopyData(const COPYDATASTRUCT& data) {
  if (unloading_) return RefuseHandOver(HandOverAnswer::Ending);
  const auto handOver = ReadHandOver(data);
  if (!handOver) return FALSE;
  // Its sender has given up: answered, never done.
  if (GetTickCount64() >= handOver->deadline)
    return AnswerHandOver(hwnd_, *handOver, {kExitNoAnswer, Text(TextId::TransferNoAnswer)});
  if (handOver->request.kind != TransferKind::Export && handOver->request.kind != TransferKind::Import) {
    return FollowCommand(*handOver);
  }
  // One file is read and one written at a time: the sender asks again.
  if (handOver->request.kind == TransferKind::Export) {
    if (export_.Busy() ||
        !export_.Start(MakeExport(table_, clock_), handOver->request.path, hwnd_, WMAPP_EXPORT_WRITTEN)) {
      return RefuseHandOver(HandOverAnswer::NotReady);
    }
    exportFor_ = *handOver;
    return AcceptHandOver();
  }
  if (!import_.Start(handOver->request.path, clock_, hwnd_, WMAPP_IMPORT_READ)) {
    return RefuseHandOver(HandOverAnswer::NotReady);
  }
  importFor_ = *handOver;
  return AcceptHandOver();
}

LRESULT MainWindow::FollowCommand(const ReceivedHandOver& handOver) {
  const HWND self = hwnd_;
  const auto answer = [self, handOver](const TransferOutcome& outcome) { SendHandOverResult(self, handOver, outcome); };
  switch (handOver.request.kind) {
    case TransferKind::Follow: {
      const auto arguments = UnpackFollowArguments(handOver.request.path);
      if (!arguments) return FALSE;
      if (!arguments->user.empty()) {
        askingPassword_.emplace_back(handOver, *arguments);
        PostMessageW(hwnd_, WMAPP_ASK_PASSWORD, 0, 0);
        break;
      }
      follower_.Follow(*arguments, clock_.Now(), answer);
      break;
    }
    case TransferKind::Unfollow: answer(follower_.Unfollow(handOver.request.path)); break;
    case TransferKind::Refresh: follower_.Refresh(answer); break;
    default:
      answer({kExitDone, AgendaText(table_, follower_.Followed(), clock_.Now(), LeadingNumber(handOver.request.path))});
      break;
  }
  return AcceptHandOver();
}

void MainWindow::Form_AskPassword() {
  if (askingPassword_.empty() || unloading_) return;
  const auto [handOver, arguments] = askingPassword_.front();
  askingPassword_.erase(askingPassword_.begin());
  const std::wstring address = ShownAddress(FetchedAddress(arguments.address).value_or(arguments.address));
  auto password = AskCalendarPassword(instance_, nullptr, address, arguments.user);
  if (unloading_) return;
  const HWND self = hwnd_;
  if (!password) {
    const std::wstring why = Text(TextId::PasswordNotGiven);
    SendHandOverResult(self, handOver, {kExitNotReached, Text(TextId::FollowNotFollowed, {address, why})});
    return;
  }
  follower_.Follow(
      arguments, clock_.Now(),
      [self, handOver](const TransferOutcome& outcome) { SendHandOverResult(self, handOver, outcome); },
      std::move(*password));
}

// A reminder missed while Chimewatch was not running rings as soon as its
// calendar's copy is read, not at the next minute.
void MainWindow::Form_CalendarFetched(LPARAM done) {
  if (!follower_.TakeDone(done, clock_.Now()) || unloading_) return;
  tray_.ChangeTrayTip(CountdownTip());
  setup_.RefreshAlarm();
  if (!listWindowOpen_ && !DueReminders(follower_.Followed(), clock_.Now()).empty()) {
    SetTimer(hwnd_, IDT_TIMER, USER_TIMER_MINIMUM, nullptr);
  }
}

void MainWindow::Form_ImportRead() {
  const ImportFile file = import_.Take();
  if (unloading_) return;
  // A command's file, or one chosen from the menu. Placed here, on the
  // window thread that owns the table, and saved in one write.
  const auto handOver = std::exchange(importFor_, std::nullopt);
  const TransferOutcome outcome = PlaceImport(file, table_, store_, setup_.SlotHeldByEditor());
  setup_.RefreshAlarm();
  UseLanguageThatWaited();
  if (handOver) {
    SendHandOverResult(hwnd_, *handOver, outcome);
    return;
  }
  ShowTransferOutcome(outcome);
  transferOpen_ = false;
}

void MainWindow::Form_ExportWritten() {
  if (!export_.Busy()) return;  // already taken by Form_Unload
  const TransferOutcome outcome = export_.Take();
  UseLanguageThatWaited();
  if (const auto handOver = std::exchange(exportFor_, std::nullopt)) {
    SendHandOverResult(hwnd_, *handOver, outcome);
    return;
  }
  if (!unloading_) ShowTransferOutcome(outcome);
  transferOpen_ = false;
}

void MainWindow::mnuSluiten_Click() { Form_Unload(); }

void MainWindow::Form_Unload() {
  if (unloading_) return;
  unloading_ = true;
  // A file still being read is left unread: the reading thread stops at
  // its next event, so the program ends (and frees its lock) at once.
  import_.Cancel();
  if (importFor_) {
    SendHandOverResult(hwnd_, *importFor_, {kExitBusy, Text(TextId::TransferEndedBeforeImport)});
    importFor_.reset();
  }
  // A file being written is finished first, and its sender told how it went.
  if (export_.Busy()) {
    const TransferOutcome written = export_.Take();
    if (exportFor_) SendHandOverResult(hwnd_, *std::exchange(exportFor_, std::nullopt), written);
  }
  follower_.Stop();
  for (const auto& [handOver, arguments] : std::exchange(askingPassword_, {})) {
    SendHandOverResult(hwnd_, handOver, {kExitBusy, Text(TextId::TransferEndingBusy)});
  }
  tray_.DeleteTrayIcon();
  setup_.Unload();
  DestroyWindow(hwnd_);
}

void MainWindow::Timer_Timer() {
  // One-shot, aimed anew each time, so that neither timer drift nor a
  // changed clock adds up. Armed before the check, which may wait long for
  // the user to close a box.
  if (!listWindowOpen_) ArmMinuteTick();
  CheckAlarms();
}

// Each due alarm's box in turn, the earliest due first; the check says
// what each closed box changed.
void MainWindow::CheckAlarms() {
  if (!AlertsMayShow() || !check_.BeginTick(IsMonitoring())) return;
  const HeldBackRule heldBack = [this](int slot) { return snoozeHolds_.HeldBack(slot, table_[slot], UtcNow()); };
  CheckChanges changes;
  while (const auto due = check_.NextToShow(clock_.Now(), heldBack, changes)) {
    ApplyCheckChanges(std::exchange(changes, {}));
    if (!ShowAlarm(*due)) break;
    remindAgain_.BoxClosed(due->description, GetTickCount64(), due->sound, due->soundUntilAnswered);
    ApplyCheckChanges(check_.BoxClosed(*due, clock_.Now()));
  }
  ApplyCheckChanges(changes);
  if (!unloading_) ShowCalendarReminders();
  check_.EndTick();
}

// Each in its box, in time order; then none of them, nor any passed over
// (missed, its event over), rings again. A box ended by Exit leaves the
// rest to ring at the next start.
void MainWindow::ShowCalendarReminders() {
  const DateValue now = clock_.Now();
  const std::vector<DueReminder> due = DueReminders(follower_.Followed(), now);
  for (const DueReminder& reminder : due) {
    const std::wstring& calendar = follower_.Followed()[reminder.calendar].calendar.name;
    const std::wstring text = reminder.description + L"\r\n\r\n" + calendar;
    const SoundToPlay sound = ChooseSound(ReadAlertSound(L""), false, WindowsSoundSources());
    if (!ShowAlertBox(hwnd_, text, Text(TextId::CommonTitle), sound) && !unloading_) {
      MessageBoxW(hwnd_, text.c_str(), Text(TextId::CommonTitle).c_str(), MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL);
    }
    if (unloading_) return;
    remindAgain_.BoxClosed(reminder.description, GetTickCount64(), L"", false);
  }
  if (!unloading_) follower_.RemindedThrough(now);
}

bool MainWindow::AlertsMayShow() {
  const bool wait = IsMonitoring() && AlertsWait(UserNotificationState(), waitWhilePresenting_);
  alertsWaiting_ = wait ? check_.DueCount(clock_.Now()) + DueReminders(follower_.Followed(), clock_.Now()).size() : 0;
  if (wait) tray_.ChangeTrayTip(CountdownTip());
  return !wait;
}

// Looked at each second while alerts wait; the check itself runs as the
// minute's does, unless the list window has paused it.
void MainWindow::ShowAlertsThatWaited() {
  if (alertsWaiting_ == 0 || listWindowOpen_ || AlertsWait(UserNotificationState(), waitWhilePresenting_)) return;
  alertsWaiting_ = 0;
  SetTimer(hwnd_, IDT_TIMER, USER_TIMER_MINIMUM, nullptr);
}

void MainWindow::ArmMinuteTick() {
  SetTimer(hwnd_, IDT_TIMER, MillisecondsToNextMinute(LocalNowToTheMillisecond()), nullptr);
}

// The countdown, or while the shell lacks the icon the next try to put it
// in (the taskbar may still be starting at sign-in).
void MainWindow::Timer1_Timer() {
  if (unloading_) return;
  if (++ticksSinceLookingForChanges_ >= kLookForChangesTicks) {
    ticksSinceLookingForChanges_ = 0;
    TakeInChangesFromElsewhere();
  }
  ShowAlertsThatWaited();
  follower_.Tick(clock_.Now());
  tray_.Timer1Tip(CountdownTip());
}

// What other programs sharing the store changed, and the alerts only a
// sync service's conflicted copy holds: the list, the tip and the alarm
// check follow at once. The box a copy brings is told once; further ticks
// meanwhile only look.
void MainWindow::TakeInChangesFromElsewhere() {
  setup_.TakeInChangesFromElsewhere();
  if (tellingTakenIn_) return;
  const std::wstring takenIn = TakeInConflictCopies(table_, store_, setup_.SlotHeldByEditor());
  if (takenIn.empty()) return;
  setup_.RefreshAlarm();
  tellingTakenIn_ = true;
  ShowProgramBox(nullptr, takenIn.c_str(), Text(TextId::CommonTitle).c_str(), MB_OK | MB_ICONINFORMATION);
  tellingTakenIn_ = false;
}

std::wstring MainWindow::CountdownTip() {
  const DateValue now = clock_.Now();
  return Timer1TipText(table_, IsMonitoring(), now, alertsWaiting_,
                       NextReminderTime(follower_.Followed(), now, NoAlarmSentinel()));
}

void MainWindow::Form_Resume() {
  // The shell may have lost the icon while the computer slept: a change
  // it refuses puts the icon in again.
  if (!unloading_ && tray_.Shown()) {
    tray_.ChangeTrayTip(CountdownTip());
  } else if (!unloading_) {
    tray_.ReAddTrayIcon();
  }
  follower_.RefreshAll();
  RealignAlarmCheck();
}

void MainWindow::Form_TimeChange() { RealignAlarmCheck(); }

void MainWindow::RealignAlarmCheck() {
  switch (ActionOnClockEvent(IsMonitoring(), listWindowOpen_, check_.ShowingBox())) {
    case ClockEventAction::CheckNow: SetTimer(hwnd_, IDT_TIMER, kClockEventSettleMs, nullptr); break;
    case ClockEventAction::RealignOnly: ArmMinuteTick(); break;
    case ClockEventAction::StayPaused: break;
  }
}

void MainWindow::TaskbarCreated() {
  // The shell restarted and lost every icon: put ours back as it was.
  if (!unloading_) tray_.ReAddTrayIcon();
}

bool MainWindow::ShowAlarm(const DueAlarm& due) {
  const SoundToPlay sound = ChooseSound(ReadAlertSound(due.sound), due.soundUntilAnswered, WindowsSoundSources());
  // A box Windows could not make is never taken for one the user answered:
  // the plain message box shows the alert instead, with Windows' own sound.
  if (!ShowAlertBox(hwnd_, due.text, Text(TextId::CommonTitle), sound) && !unloading_) {
    MessageBoxW(hwnd_, due.text.c_str(), Text(TextId::CommonTitle).c_str(),
                MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL);
  }
  // A box ended by the program's exit was not seen through: leave the alarm due.
  return !unloading_;
}

void MainWindow::ApplyCheckChanges(const CheckChanges& changes) {
  for (const CheckChange& change : changes) {
    if (change.kind == CheckChange::Kind::RemoveListRow) {
      setup_.RemoveAlarmRow(change.slot);
    } else {
      setup_.Save(change.slot);
    }
  }
}
