// Chimewatch: a reminder that lives in the notification area.
#include <windows.h>
#include <commctrl.h>

#include "alarm_table.h"
#include "dll_search.h"
#include "local_clock.h"
#include "main_window.h"
#include "registry_settings.h"
#include "single_instance.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  SearchDllsInSystem32Only();
  const SingleInstance lock;
  if (!lock.IsFirst()) {
    OpenListInRunningInstance();
    return 0;
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
