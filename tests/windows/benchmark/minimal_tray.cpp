// minimal_tray: the yardstick of tools/benchmark.sh. One hidden window, one
// tray icon and a hidden list view (the list of alerts that a tray reminder
// keeps ready); it reads Chimewatch's store once at start and refreshes its
// tip once a second, sending only the tip. What Chimewatch costs beyond this
// program is what its own work costs.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>

namespace {

constexpr wchar_t kWindowClass[] = L"MinimalTray";
constexpr UINT_PTR kTipTimer = 1;

NOTIFYICONDATAW tray = {};

// Every key of every slot, as Chimewatch reads them at start.
void ReadStoreOnce() {
  static const wchar_t* const kKeys[] = {L"Exist", L"Actief", L"Getoond", L"Naam", L"Tijd", L"Repeat", L"Delete"};
  for (int slot = 0; slot <= 100; ++slot) {
    wchar_t section[48];
    std::swprintf(section, 48, L"Software\\Chimewatch\\%d", slot);
    for (const wchar_t* key : kKeys) {
      wchar_t text[256];
      DWORD size = sizeof text;
      RegGetValueW(HKEY_CURRENT_USER, section, key, RRF_RT_REG_SZ, nullptr, text, &size);
    }
  }
}

// "Minimal tray  hh:mm:ss", counting down to midnight.
void RefreshTip() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const int left = 86400 - (now.wHour * 3600 + now.wMinute * 60 + now.wSecond);
  std::swprintf(tray.szTip, 64, L"Minimal tray  %02d:%02d:%02d", left / 3600 % 24, left / 60 % 60, left % 60);
  tray.uFlags = NIF_TIP;
  Shell_NotifyIconW(NIM_MODIFY, &tray);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: RefreshTip(); return 0;
    case WM_CLOSE:
      Shell_NotifyIconW(NIM_DELETE, &tray);
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassW(&windowClass);
  HWND hwnd = CreateWindowExW(0, kWindowClass, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 400, 300, hwnd, nullptr, instance,
                              nullptr);
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 100;
  column.pszText = const_cast<wchar_t*>(L"Description");
  ListView_InsertColumn(list, 0, &column);

  tray.cbSize = sizeof tray;
  tray.hWnd = hwnd;
  tray.uID = 1;
  tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  tray.uCallbackMessage = WM_APP;
  tray.hIcon = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(32512), IMAGE_ICON,  // IDI_APPLICATION
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  std::wcscpy(tray.szTip, L"Minimal tray");
  Shell_NotifyIconW(NIM_ADD, &tray);
  ReadStoreOnce();
  SetTimer(hwnd, kTipTimer, 1000, nullptr);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
