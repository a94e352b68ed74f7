// A DLL that does nothing: dll_search_tests puts it beside a copy of the
// program, where the program must not find it by name.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
