// startup_benchmark PROGRAM [RUNS]: how long chimewatch.exe takes from its
// start until its icon is in the tray and its alarms are loaded, with an
// empty store and with all 101 slots in use, and how long "Exit" takes.
// Prints medians; asserts nothing.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "benchmark_support.h"
#include "driver.h"
#include "full_store.h"

namespace {

using benchmark::Clock;
using benchmark::Median;
using benchmark::Milliseconds;

constexpr UINT kExitCommand = 1003;  // IDM_SLUITEN
constexpr int kListId = 2005;        // IDC_LSTALARM

struct Run {
  double toIcon = 0;
  double toList = 0;
  double toExit = 0;
  double memoryKiB = 0;
};

Run MeasureOnce(const std::wstring& program, int expectedRows) {
  Run run;
  const LARGE_INTEGER start = Clock();
  driver::Program process(program);
  driver::WaitUntil([] { return driver::TrayIconPresent(L"Chimewatch"); }, 10000);
  run.toIcon = Milliseconds(start, Clock());
  HWND list = nullptr;
  driver::WaitUntil(
      [&] {
        for (HWND window : driver::TopLevelWindows(process.Id())) {
          if (driver::ClassName(window) == L"ChimewatchSetup") list = driver::FindChildById(window, kListId);
        }
        return list && driver::ListViewRowCount(list) == expectedRows;
      },
      10000);
  run.toList = Milliseconds(start, Clock());
  PROCESS_MEMORY_COUNTERS counters = {};
  GetProcessMemoryInfo(process.Handle(), &counters, sizeof counters);
  run.memoryKiB = static_cast<double>(counters.PagefileUsage) / 1024.0;
  HWND main = driver::WaitForWindow(process.Id(), L"ChimewatchMain", std::nullopt, 5000, false);
  const LARGE_INTEGER exitStart = Clock();
  PostMessageW(main, WM_COMMAND, kExitCommand, 0);
  process.WaitForExit(10000);
  run.toExit = Milliseconds(exitStart, Clock());
  return run;
}

void Report(const wchar_t* label, const std::vector<Run>& runs) {
  std::vector<double> icon, list, exitTimes, memory;
  for (const Run& run : runs) {
    icon.push_back(run.toIcon);
    list.push_back(run.toList);
    exitTimes.push_back(run.toExit);
    memory.push_back(run.memoryKiB);
  }
  std::wprintf(L"%-22ls start to tray icon %6.0f ms, to alarms loaded %6.0f ms, exit %6.0f ms, memory %6.0f KiB\n",
               label, Median(icon), Median(list), Median(exitTimes), Median(memory));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::wstring program = benchmark::WindowsPath(argv[1]);
  const int runs = argc > 2 ? _wtoi(argv[2]) : 7;

  benchmark::PlaceholderIcon placeholder;
  std::vector<Run> empty, full;
  driver::DeleteAllSettings();
  for (int i = 0; i < runs; ++i) empty.push_back(MeasureOnce(program, 0));
  benchmark::StoreAllSlots();
  for (int i = 0; i < runs; ++i) full.push_back(MeasureOnce(program, 101));
  driver::DeleteAllSettings();
  std::wprintf(L"chimewatch startup, median of %d runs each\n", runs);
  Report(L"empty store:", empty);
  Report(L"101 alarms:", full);
  return 0;
}
