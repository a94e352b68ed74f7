// dll_search_tests PROGRAM PLANTED_DLL: the running program looks for DLLs
// in System32 only. A copy of it runs in a fresh folder (also its current
// directory) with a DLL beside it; a thread started in the program loads
// that DLL by name, as a LoadLibrary in the program or in a system DLL on
// its behalf would. It must not be found there, while the same DLL by its
// full path loads, which shows the thread really asked.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, whose types it uses.
#include <tlhelp32.h>

#include <string>

#include "driver.h"
#include "remote_memory.h"

namespace {

std::wstring gProgram;
std::wstring gPlantedDll;
constexpr wchar_t kPlantedName[] = L"chimewatch_planted.dll";

bool ModuleLoaded(DWORD pid, std::wstring_view name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  bool found = false;
  for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module))
    found = _wcsicmp(module.szModule, std::wstring(name).c_str()) == 0;
  CloseHandle(snapshot);
  return found;
}

// Runs LoadLibraryW(path) on a new thread of the program; false when the
// thread could not be started or did not end within 10 s.
bool LoadLibraryInProgram(HWND window, HANDLE process, const std::wstring& path) {
  const std::size_t bytes = (path.size() + 1) * sizeof(wchar_t);
  driver::RemoteMemory text(window, bytes);
  if (!text || !text.Write(path.c_str(), bytes)) return false;
  // kernel32 lies at the same address in every process of one bitness.
  const auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
  HANDLE thread = CreateRemoteThread(process, nullptr, 0, loadLibrary, text.At(), 0, nullptr);
  if (!thread) return false;
  const bool ended = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
  CloseHandle(thread);
  return ended;
}

}  // namespace

TEST(DllSearch, ADllBesideTheProgramIsNotLoadedByName) {
  // A folder of the test's own; the copies below replace those of an earlier run.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"chimewatch-dll-search";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring exe = folder + L"\\chimewatch.exe";
  const std::wstring planted = folder + L"\\" + kPlantedName;
  ASSERT_TRUE(CopyFileW(gProgram.c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(gPlantedDll.c_str(), planted.c_str(), FALSE));
  driver::DeleteAllSettings();

  driver::Program program(exe, L"", folder);
  ASSERT_TRUE(program.Started());
  HWND window = driver::WaitForWindow(program.Id(), L"ChimewatchMain", std::nullopt, 10000, false);
  ASSERT_NE(window, nullptr);

  ASSERT_TRUE(LoadLibraryInProgram(window, program.Handle(), kPlantedName));
  EXPECT_FALSE(ModuleLoaded(program.Id(), kPlantedName)) << "loaded from the program's folder";

  ASSERT_TRUE(LoadLibraryInProgram(window, program.Handle(), planted));
  EXPECT_TRUE(ModuleLoaded(program.Id(), kPlantedName)) << "not even by its full path";

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(5000));
}

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: dll_search_tests PROGRAM PLANTED_DLL\n");
    return 2;
  }
  gProgram = driver::WindowsPath(argv[1]);
  gPlantedDll = driver::WindowsPath(argv[2]);
  return RUN_ALL_TESTS();
}
