#include "dll_search.h"

#include <windows.h>

void SearchDllsInSystem32Only() {
  // SetDefaultDllDirectories came with Windows 8 (and KB2533623 for
  // Windows 7), so it is looked up rather than imported: an import would
  // keep an unpatched Windows 7 from starting the program at all.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefaultDllDirectories) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
