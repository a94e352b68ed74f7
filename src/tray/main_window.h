// frmMain: the hidden window that owns the tray icon, the popup menu and the
// two timers. Creating it starts the program; destroying it ends it. The
// alarm check's timer is a one-shot aimed at each minute of the local clock.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <vector>

#include "alarm_check.h"
#include "background_export.h"
#include "background_import.h"
#include "calendar_follower.h"
#include "hand_over.h"
#include "remind_again.h"
#include "scoped_handles.h"
#include "settings_store.h"
#include "setup_window.h"
#include "shell_tray_sender.h"
#include "transfer_operations.h"
#include "tray_clicks.h"
#include "tray_icon.h"

inline constexpr wchar_t kMainWindowClass[] = L"ChimewatchMain";

class MainWindow final {
 public:
  MainWindow(HINSTANCE instance, AlarmTable& table, SettingsStore& store, const Clock& clock);

  // `title`: the store's (program_identity.h), by which a start or a
  // command finds this window; the window is never shown.
  bool Create(const std::wstring& title);
  // Gives the modeless list window its keyboard handling.
  bool TranslateDialogMessage(MSG& message) { return setup_.TranslateDialogMessage(message); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void Form_Load();
  void Form_MouseMove(WPARAM wParam, LPARAM lParam);
  void Form_DisplayChange();
  void LoadTrayPictures(int dpi);
  void mnuActief_Click();
  void mnuWaitPresenting_Click();
  void mnuInstellen_Click();
  void mnuExport_Click();
  void mnuImport_Click();
  void mnuCalendars_Click();
  void mnuSluiten_Click();
  void mnuRemindAgain_Click(unsigned commandOffset);
  // 0: Windows' language; 1 on: kLanguages in their order.
  void mnuLanguage_Click(unsigned choice);
  // The menus' texts in the language in use, and the Language menu's mark.
  void NameMenuItems();
  void UseChosenLanguage();
  // The language chosen while a file was read or written, once it is done.
  void UseLanguageThatWaited();
  LRESULT Form_CopyData(const COPYDATASTRUCT& data);
  // The import file is read: its alerts are placed now.
  void Form_ImportRead();
  // The export file is written: its sender learns how it went.
  void Form_ExportWritten();
  void ShowTransferOutcome(const TransferOutcome& outcome);
  // A command for the followed calendars, handed over: answered at once
  // or when its fetches are done.
  LRESULT FollowCommand(const ReceivedHandOver& handOver);
  // A fetch of a followed calendar ended: its reminders count down and ring.
  void Form_CalendarFetched(LPARAM done);
  // A /follow that named its user: the password asked for, then followed.
  void Form_AskPassword();
  void Form_Unload();
  void Timer_Timer();
  void Timer1_Timer();
  std::wstring CountdownTip();
  void Form_Resume();
  void Form_TimeChange();
  void TaskbarCreated();
  void ListWindowClosed();
  // The next check at the start of the next minute of the local clock.
  void ArmMinuteTick();
  void RealignAlarmCheck();
  void ShowPopupMenu(POINT at, TrayAction openedBy);
  // One "Remind me again" item per alert on offer; returns how many.
  std::size_t InsertRemindAgainItems();
  bool IsMonitoring() const;
  void TakeInChangesFromElsewhere();

  void CheckAlarms();
  // While the user presents, the due alerts wait: false then, and the tip
  // says how many.
  bool AlertsMayShow();
  // The alerts that waited, once the presentation is over.
  void ShowAlertsThatWaited();
  // Shows an alarm's box and plays its sound, and returns when it has
  // closed: true when the user closed it, false when the program is ending
  // and the check must stop.
  bool ShowAlarm(const DueAlarm& due);
  // The followed calendars' reminders that ring now, each in its box.
  void ShowCalendarReminders();
  // The rows to remove and the slots to save that a step of the check asks for.
  void ApplyCheckChanges(const CheckChanges& changes);

  HINSTANCE instance_;
  AlarmTable& table_;
  SettingsStore& store_;
  const Clock& clock_;
  HWND hwnd_ = nullptr;
  ScopedHMENU mnuPopup_;
  HMENU mnuLanguage_ = nullptr;   // a submenu of mnuPopup_, destroyed with it
  std::wstring languageSetting_;  // as stored: empty for Windows' language
  bool languageWaits_ = false;    // chosen while a file is read or written
  bool waitWhilePresenting_ = true;
  std::size_t alertsWaiting_ = 0;  // due, while the user presents
  // Each offer's delays; in mnuPopup_ only while it is open.
  std::array<ScopedHMENU, kMaxRemindOffers> mnuRemindAgain_;
  ScopedHICON pictures_[2];
  int trayDpi_ = 0;  // the DPI the pictures were loaded for
  ShellTraySender shell_;
  TrayIconService tray_{shell_};
  SetupWindow setup_;
  AlarmCheck check_;
  TrayClicks clicks_;
  RemindAgainOffers remindAgain_;
  std::vector<unsigned> menuOffers_;  // the offers the menu showed, in its order
  SnoozeHolds snoozeHolds_;
  CalendarFollower follower_{store_};
  BackgroundImport import_;
  std::optional<ReceivedHandOver> importFor_;  // the command whose file is being read
  BackgroundExport export_;
  std::optional<ReceivedHandOver> exportFor_;  // the command whose file is being written
  std::vector<std::pair<ReceivedHandOver, FollowArguments>> askingPassword_;  // /follow with /user, in turn
  bool calendarsOpen_ = false;
  std::wstring loadProblems_;
  UINT taskbarCreatedMessage_ = 0;
  bool listWindowOpen_ = false;
  bool menuOpen_ = false;
  bool transferOpen_ = false;  // an export or import dialog or its box is up
  bool unloading_ = false;
  bool ready_ = false;
  unsigned ticksSinceLookingForChanges_ = 0;
  bool tellingTakenIn_ = false;  // the alerts are loaded: requests from outside are taken
};
