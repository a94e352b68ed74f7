// Chimewatch: a reminder that lives in the notification area.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "alarm_table.h"
#include "calendar_address.h"
#include "command_line.h"
#include "command_line_run.h"
#include "dll_search.h"
#include "language_file.h"
#include "local_clock.h"
#include "main_window.h"
#include "program_box.h"
#include "settings_location.h"
#include "single_instance.h"
#include "standard_output.h"
#include "text_table.h"

namespace {

std::vector<std::wstring> ProgramArguments() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> result;
  for (int i = 1; arguments && i < count; ++i) result.emplace_back(arguments[i]);
  LocalFree(arguments);
  return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  SearchDllsInSystem32Only();
  // Windows' language until the store says which the user chose.
  UseLanguageSetting(L"");
  const CommandLine commandLine = ParseCommandLine(ProgramArguments());
  if (commandLine.action == CommandLine::Action::NotUnderstood) {
    WriteToStandardOutput(commandLine.message);
    return kExitNotUnderstood;
  }
  // Never a box, never a tray icon.
  if (commandLine.action == CommandLine::Action::Transfer) {
    const TransferOutcome outcome = RunFromCommandLine(commandLine.request);
    WriteToStandardOutput(outcome.summary);
    return outcome.exitCode;
  }
  // A link asks first, and tells in a box how it went; with no Chimewatch
  // running, the program then starts as usual.
  if (commandLine.action == CommandLine::Action::FollowLink) {
    const auto arguments = UnpackFollowArguments(commandLine.request.path);
    const std::wstring address = ShownAddress(FetchedAddress(arguments->address).value_or(arguments->address));
    if (ShowProgramBox(nullptr, Text(TextId::FollowAsk, {address}).c_str(), Text(TextId::CommonTitle).c_str(),
                       MB_YESNO | MB_ICONQUESTION) != IDYES) {
      return kExitDone;
    }
    const TransferOutcome outcome = RunFromCommandLine(commandLine.request);
    const UINT icon = outcome.exitCode == kExitDone ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
    ShowProgramBox(nullptr, outcome.summary.c_str(), Text(TextId::CommonTitle).c_str(), MB_OK | icon);
    if (RunningProgramWindow(ThisProgramsIdentity())) return outcome.exitCode;
  }
  // A command working on the stored alerts holds the lock a moment: the
  // start waits for it (or for the running program's window) as long as it
  // takes, and never ends without a word.
  const ProgramIdentity identity = ThisProgramsIdentity();
  SingleInstance lock(identity);
  if (!lock.Owned()) {
    if (HWND running = lock.WaitForWindowOrLock()) OpenListInRunningInstance(running);
    if (lock.HeldOutOfReach()) {
      // Shown at sign-in too (the Run entry), when nothing gives us the
      // foreground: a box that must come to the front by itself.
      ShowProgramBox(nullptr, Text(TextId::TransferElevatedRunning).c_str(), Text(TextId::CommonTitle).c_str(),
                     MB_OK | MB_ICONINFORMATION);
      return kExitElevated;
    }
    if (!lock.Owned()) return 0;
  }

  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  const auto store = OpenSettingsStore();
  LocalClock clock;
  MainWindow frmMain(instance, Alarms, *store, clock);
  if (!frmMain.Create(identity.windowTitle)) return 1;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (frmMain.TranslateDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
