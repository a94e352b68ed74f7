// Chimewatch: a reminder that lives in the notification area.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "alarm_store.h"
#include "alarm_table.h"
#include "command_line.h"
#include "dll_search.h"
#include "hand_over.h"
#include "local_clock.h"
#include "main_window.h"
#include "registry_settings.h"
#include "single_instance.h"
#include "standard_output.h"
#include "transfer_operations.h"

namespace {

// How long a command-line run waits for a running program to answer.
constexpr ULONGLONG kCommandLineWaitMs = 10000;

std::vector<std::wstring> ProgramArguments() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> result;
  for (int i = 1; arguments && i < count; ++i) result.emplace_back(arguments[i]);
  LocalFree(arguments);
  return result;
}

// /export or /import: handed over to the running program, or, with none
// running, done here on the store while this process holds the lock. Never
// a box, never a tray icon.
TransferOutcome RunFromCommandLine(TransferRequest request, SingleInstance& lock) {
  request.path = AbsolutePath(request.path);
  const ULONGLONG deadline = GetTickCount64() + kCommandLineWaitMs;
  LocalClock clock;
  if (!lock.Owned()) {
    if (HWND running = lock.WaitForWindowOrLock(deadline)) {
      if (auto outcome = HandOverToRunningProgram(running, request, deadline)) return *outcome;
    }
    if (!lock.Owned()) {
      return {kExitNoAnswer, L"Chimewatch is running but did not answer within 10 seconds. Nothing was done."};
    }
  }
  RegistrySettings store;
  LaadAlarmen(Alarms, store);
  return RunTransfer(request, Alarms, store, std::nullopt, clock);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  SearchDllsInSystem32Only();
  const CommandLine commandLine = ParseCommandLine(ProgramArguments());
  if (commandLine.action == CommandLine::Action::NotUnderstood) {
    WriteToStandardOutput(commandLine.message);
    return kExitNotUnderstood;
  }
  SingleInstance lock;
  if (commandLine.action == CommandLine::Action::Transfer) {
    const TransferOutcome outcome = RunFromCommandLine(commandLine.request, lock);
    WriteToStandardOutput(outcome.summary);
    return outcome.exitCode;
  }
  if (!lock.Owned()) {
    if (HWND running = lock.WaitForWindowOrLock(GetTickCount64() + kStartWaitMs)) OpenListInRunningInstance(running);
    if (!lock.Owned()) return 0;
  }

  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  RegistrySettings store;
  LocalClock clock;
  MainWindow frmMain(instance, Alarms, store, clock);
  if (!frmMain.Create()) return 1;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (frmMain.TranslateDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
