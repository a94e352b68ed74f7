// Drives a running chimewatch.exe from an end-to-end test, as a user would:
// starts it, finds its windows, reads and answers them, reads the tray and
// the registry, takes screenshots. Runs in the same Wine prefix (or Windows
// session) and with the same bitness as the program under test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace driver {

// ---- Timing ---------------------------------------------------------------

// Polls `done` every 20 ms until it returns true or `timeoutMs` has passed;
// returns whether it became true.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// The local wall clock as FILETIME ticks of 100 ns, for tests that wait for
// the minutes of the local clock.
inline constexpr ULONGLONG kTicksPerMs = 10000;
inline constexpr ULONGLONG kTicksPerMinute = 60000 * kTicksPerMs;
ULONGLONG LocalTicksNow();

// ---- Process --------------------------------------------------------------

// A path as a Windows program takes it: Linux paths (from CTest or a shell
// script) live on drive Z: under Wine.
std::wstring WindowsPath(std::wstring path);

// A started program; terminated on destruction if it is still running.
class Program {
 public:
  // With `standardOutput` (an inheritable handle) the program writes there.
  explicit Program(const std::wstring& exePath, const std::wstring& arguments = {}, const std::wstring& workingDir = {},
                   HANDLE standardOutput = nullptr);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return info_.hProcess != nullptr; }
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  bool Running() const;
  // The exit code, or nothing if it is still running after `timeoutMs`.
  std::optional<DWORD> WaitForExit(int timeoutMs) const;
  void Terminate();

 private:
  PROCESS_INFORMATION info_{};
};

// A run of a program to its end: its exit code (nothing if it was still
// running after the timeout, and was ended) and what it wrote to its
// standard output, which is a file here.
struct ProgramRun {
  std::optional<DWORD> exitCode;
  std::string output;   // UTF-8
  bool marked = false;  // written as UTF-16 with a byte order mark
};
// A whole file, read to its end (files of /proc tell no size); nothing when
// it cannot be opened.
std::optional<std::string> ReadFileBytes(const std::wstring& path);

ProgramRun RunProgram(const std::wstring& exePath, const std::wstring& arguments, int timeoutMs,
                      const std::wstring& workingDir = {});

// ---- Windows --------------------------------------------------------------

std::vector<HWND> TopLevelWindows(DWORD pid);  // hidden ones included
std::vector<HWND> ChildWindows(HWND parent);   // all descendants
std::wstring WindowText(HWND window);          // GetWindowTextW (captions)
std::wstring ClassName(HWND window);
bool IsTopmost(HWND window);
HWND FindChildById(HWND parent, int id);
HWND WaitForWindow(DWORD pid, std::wstring_view className, std::optional<std::wstring_view> caption, int timeoutMs,
                   bool mustBeVisible = true);
bool WaitForWindowGone(HWND window, int timeoutMs);  // destroyed or hidden
// A control's rectangle in its parent's client coordinates.
RECT ChildRect(HWND control);
// Sends WM_DPICHANGED as Windows does when the window reaches a monitor of
// that DPI, with the suggested rectangle in the window's own process.
bool SendDpiChanged(HWND window, int dpi, const RECT& suggested);

// ---- Input ----------------------------------------------------------------

// WM_KEYDOWN + WM_KEYUP. The target's TranslateMessage posts the WM_CHAR
// behind whatever is already queued, so a burst of posted letter keys and
// arrows arrives as arrows first, letters after: for text use SetText.
void PostKey(HWND target, UINT vk);
void PostClick(HWND button);                  // posts it: for buttons that open a modal window
void PostCommand(HWND owner, int commandId);  // WM_COMMAND as from a menu item
void SetText(HWND control, std::wstring_view text);
std::wstring GetText(HWND control);  // WM_GETTEXT: works for edit contents

// ---- Message boxes --------------------------------------------------------

enum class BoxIcon { None, Information, Warning, Error, Question, Other };

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;  // as given, CR LF included
  bool topmost = false;
  std::vector<std::wstring> buttons;  // in child order
  BoxIcon icon = BoxIcon::None;       // read from the screen: the box must be in view
};

std::optional<MessageBoxInfo> ReadMessageBox(HWND box);
// The first visible box (#32770 with a text Static) of the process.
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, int timeoutMs);
void Answer(HWND box, int commandId);  // IDOK, IDYES, IDNO, IDCANCEL

// ---- Popup menus ----------------------------------------------------------
// Menu handles do not cross processes under Wine: items are chosen by keys.

HWND WaitForPopupMenu(int timeoutMs);
void ChooseMenuItemByKeys(HWND menu, int downPresses);  // separators are skipped

// ---- List view of another process -----------------------------------------

int ListViewRowCount(HWND list);
std::wstring ListViewCell(HWND list, int row, int column);
std::vector<std::vector<std::wstring>> ListViewRows(HWND list, int columns);
int ListViewSelectedRow(HWND list);  // -1 if none
std::wstring ListViewHeaderText(HWND list, int column);
int ListViewColumnWidth(HWND list, int column);
bool ClickListViewRow(HWND list, int row);  // selects it and gives the list the focus
bool DoubleClickListViewRow(HWND list, int row);

// ---- Tray (Wine's explorer.exe notification area) -------------------------

std::vector<std::wstring> TrayTips();
std::optional<std::wstring> WaitForTrayTip(const std::function<bool(const std::wstring&)>& match, int timeoutMs);
bool TrayIconPresent(std::wstring_view tipPrefix);
HWND TrayWindow();  // the shell's tray window, for screenshots of the icons
// Plays a shell restart: removes the icon as the shell would lose it, then
// broadcasts TaskbarCreated so the program adds it again.
bool RemoveTrayIcon(HWND owner, UINT iconId);
void BroadcastTaskbarCreated();

// ---- Registry (HKCU\Software\Chimewatch\<section>) -------------------------

bool WriteSettingText(std::wstring_view section, std::wstring_view key, std::wstring_view value);
std::optional<std::wstring> ReadSettingText(std::wstring_view section, std::wstring_view key);
void DeleteAllSettings();

// ---- Screen capture -------------------------------------------------------

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
  bool operator==(const Image&) const = default;
};

// What is on screen in the window's rectangle, or the whole screen.
Image CaptureScreen(HWND windowOrNull);
// The icon at its own size on a plain background, as a Static would draw it.
Image RenderIcon(HICON icon, int width, int height, std::uint32_t background);
bool WritePng(const std::wstring& path, const Image& image);
bool SaveScreenshotPng(const std::wstring& path, HWND windowOrNull);

}  // namespace driver
