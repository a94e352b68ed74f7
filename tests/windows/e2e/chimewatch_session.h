// One run of the real chimewatch.exe in a fresh registry, and what a user
// does with it: tray clicks, menu commands, timer ticks, windows and keys.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "driver.h"

// Set by main from the command line: the program under test and the folder
// for screenshots.
extern std::wstring gProgramPath;
extern std::wstring gScreenshotFolder;
// Calendars written by other programs, read where they lie (may be absent).
extern std::wstring gSamplesFolder;

// A local date and time, shifted from now by whole days and minutes,
// with seconds cleared.
SYSTEMTIME LocalTimeFromNow(int days, int minutes);
// Texts of a local time in the program's patterns, written out here
// independently of the program's own formatting.
std::wstring StoredTimeText(const SYSTEMTIME& time);     // hh:nn yyyy/mm/dd
std::wstring ShortTimeDateText(const SYSTEMTIME& time);  // hh:nn yy/mm/dd

// Writes one alarm into the registry as the program stores it.
void StoreAlarm(int slot, const std::wstring& naam, const SYSTEMTIME& due, int repeat, bool deleteWhenOver,
                bool actief = true, bool getoond = false);

class ChimewatchSession {
 public:
  enum class Registry { Fresh, Keep };
  explicit ChimewatchSession(Registry registry = Registry::Fresh);
  ~ChimewatchSession();

  void Start();
  // How the tip begins once the program has started, in another language.
  void SetTipPrefix(std::wstring prefix) { tipPrefix_ = std::move(prefix); }
  // Starts `count` programs at the same moment; the one that stays running
  // becomes the session's program. Returns how many of the others ended,
  // and with exit code 0.
  int StartAtOnce(int count);
  bool Started() const { return program_ != nullptr; }
  bool Running() const { return program_ && program_->Running(); }
  DWORD Pid() const { return program_->Id(); }
  HWND MainWindow() const { return main_; }

  // The shell's callback for a mouse message over the tray icon.
  void TrayMouse(UINT mouseMessage);
  void Command(int menuId);
  void AlarmTick();
  void TipTick();
  // Starts with one alarm due now, in slot 0, and ticks until its box shows.
  std::optional<driver::MessageBoxInfo> StartWithAlarmBox(const std::wstring& naam);

  // Opens the list window from the tray, as a double-click does.
  HWND OpenList();
  // The list window, once shown, and its list and buttons.
  HWND WaitForSetupWindow(int timeoutMs = 5000) const;
  HWND SetupWindow() const;  // loaded, shown or not
  HWND AlarmList() const;
  HWND WaitForEditor(int timeoutMs = 5000) const;

  // Ends the program through "Exit" and returns its exit code.
  std::optional<DWORD> Exit(int timeoutMs = 10000);

 private:
  void WaitForStartUp();

  std::unique_ptr<driver::Program> program_;
  HWND main_ = nullptr;
  std::wstring tipPrefix_ = L"Chimewatch";
};

// The threads of a process, counted from a snapshot: one more while the
// program reads or writes a file on a thread of its own.
int ThreadsOf(DWORD pid);

// Waits until the process has no visible message box, so the next one read
// is a new one.
bool WaitForNoMessageBox(DWORD pid, int timeoutMs);
// The window that has the keyboard focus in the program's UI thread.
HWND FocusedWindow(HWND anyWindowOfTheThread);
