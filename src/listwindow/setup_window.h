// frmSetup: the list of alarms with New, Edit, Delete and Close. Loaded
// hidden at start; closing destroys the window and the next opening creates
// it again. LaadAlarmen, RefreshAlarm and Save are the procedures the other
// windows call on it.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "alarm_table.h"
#include "date_value.h"
#include "edit_dialog.h"
#include "list_rows.h"
#include "list_view.h"
#include "scoped_handles.h"
#include "settings_store.h"
#include "twips_layout.h"

inline constexpr wchar_t kSetupWindowClass[] = L"ChimewatchSetup";

class SetupWindow {
 public:
  SetupWindow(HINSTANCE instance, AlarmTable& table, SettingsStore& store, const Clock& clock,
              std::function<void()> enableAlarmCheck);
  ~SetupWindow();
  SetupWindow(const SetupWindow&) = delete;
  SetupWindow& operator=(const SetupWindow&) = delete;

  void Load();
  void Show();
  // Closes the editor without storing, if it is open, then the window.
  void Unload();
  bool IsLoaded() const { return hwnd_ != nullptr; }
  // Lets the dialog manager handle Tab, Esc and the access keys.
  bool TranslateDialogMessage(MSG& message);

  // Returns what the user must be told about stored values that could not
  // be read, or an empty text.
  std::wstring LaadAlarmen();
  void RefreshAlarm();
  // The followed calendars' reminders to list beside the alerts.
  void ListFollowed(std::function<std::vector<FollowedRow>()> followed) { followed_ = std::move(followed); }
  // Writes one slot; a failed write is reported to the user.
  void Save(int slot);
  // Loads the alerts again when another program changed the store since
  // this one last read or wrote it; true when it did.
  bool TakeInChangesFromElsewhere();
  // Removes the row of a slot, if the window is loaded and has one.
  void RemoveAlarmRow(int slot);
  // The slot an open editor for a new alarm has chosen, if one is open.
  std::optional<int> SlotHeldByEditor() const;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void HandleCommand(int id);
  void HandleListNotification(const NMHDR& header, LPARAM lParam);

  void Form_Load();
  void Form_Activate();
  void Form_DpiChanged(int dpi, const RECT& suggested);
  void cmdNieuw_Click();
  void cmdEdit_Click();
  void cmdRemove_Click();
  void cmdClose_Click();
  void lstAlarm_DblClick();
  void lstAlarm_KeyDown(WORD keyCode);

  std::optional<int> SelectedSlot() const;
  // A followed calendar's row is changed in its calendar: the user is told so.
  bool ToldOfFollowedRow();
  // A message box owned by this window.
  int Ask(const std::wstring& text, UINT style);
  void ShowEditor(const std::wstring& request);

  HINSTANCE instance_;
  AlarmTable& table_;
  SettingsStore& store_;
  const Clock& clock_;
  std::function<void()> enableAlarmCheck_;
  HWND hwnd_ = nullptr;
  AlarmListView lstAlarm_;
  TwipsLayout layout_{kSetupControls};
  ScopedHICON icon_;
  bool askingUser_ = false;
  const EditDialogContext* openEditor_ = nullptr;
  std::function<std::vector<FollowedRow>()> followed_;
  std::vector<FollowedRow> listedFollowed_;  // as the rows show them
};
