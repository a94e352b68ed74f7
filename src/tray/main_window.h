// frmMain: the hidden window that owns the tray icon, the popup menu and the
// two timers. Creating it starts the program; destroying it ends it.
#pragma once

#include <windows.h>

#include "alarm_check.h"
#include "scoped_handles.h"
#include "settings_store.h"
#include "setup_window.h"
#include "shell_tray_sender.h"
#include "tray_icon.h"

inline constexpr wchar_t kMainWindowClass[] = L"ChimewatchMain";

class MainWindow final : private AlarmCheckHost {
 public:
  MainWindow(HINSTANCE instance, AlarmTable& table, SettingsStore& store, const Clock& clock);

  bool Create();
  // Gives the modeless list window its keyboard handling.
  bool TranslateDialogMessage(MSG& message) { return setup_.TranslateDialogMessage(message); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void Form_Load();
  void Form_MouseMove(LPARAM lParam);
  void mnuActief_Click();
  void mnuInstellen_Click();
  void mnuSluiten_Click();
  void Form_Unload();
  void Timer_Timer();
  void Timer1_Timer();
  void TaskbarCreated();
  void ShowPopupMenu();
  bool IsMonitoring() const;

  // AlarmCheckHost
  DateValue Now() override;
  bool ShowAlarm(const std::wstring& text) override;
  void RemoveListRow(int slot) override;
  void SaveSlot(int slot) override;

  HINSTANCE instance_;
  AlarmTable& table_;
  const Clock& clock_;
  HWND hwnd_ = nullptr;
  ScopedHMENU mnuPopup_;
  ScopedHICON pictures_[2];
  ShellTraySender shell_;
  TrayIconService tray_{shell_};
  SetupWindow setup_;
  AlarmCheck check_;
  std::wstring loadProblems_;
  UINT taskbarCreatedMessage_ = 0;
  bool menuOpen_ = false;
  bool unloading_ = false;
};
