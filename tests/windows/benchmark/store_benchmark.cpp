// Times one save of an alert (its seven values) with a full table of 101
// alerts: in chimewatch.ini, written whole and replaced in one step, and in
// the registry; and how large the file is.
//   store_benchmark [RUNS]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "alarm_store.h"
#include "benchmark_support.h"
#include "ini_file_settings.h"
#include "registry_settings.h"

namespace {

AlarmTable FullTable() {
  AlarmTable table;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    AlarmRecord& alert = table[slot];
    alert.Exist = alert.Actief = true;
    alert.Naam = L"Alert number " + std::to_wstring(slot) + L", with a description of some length \u00e9\u20ac";
    alert.Tijd = 46400.0 + slot * 1.37;
    alert.Repeat = slot % 5;
  }
  return table;
}

// The median of `runs` saves, each of a slot in turn, after the table is
// stored once.
double MedianSaveMs(SettingsStore& store, int runs) {
  const AlarmTable table = FullTable();
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) Save(table, store, slot);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const LARGE_INTEGER start = benchmark::Clock();
    if (Save(table, store, run % kSlotCount)) std::printf("a save failed\n");
    times.push_back(benchmark::Milliseconds(start, benchmark::Clock()));
  }
  return benchmark::Median(times);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 101;
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring ini = std::wstring(temp) + L"chimewatch-store-benchmark.ini";
  HANDLE file = CreateFileW(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(file);
  IniFileSettings portable(ini);
  const double iniMs = MedianSaveMs(portable, runs);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(ini.c_str(), GetFileExInfoStandard, &data);
  DeleteFileW(ini.c_str());
  RegistrySettings registry;
  const double registryMs = MedianSaveMs(registry, runs);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Chimewatch");
  std::printf("Save of one alert with 101 stored (median of %d):\n", runs);
  std::printf("  chimewatch.ini (%lu bytes, written whole, flushed, replaced): %.2f ms\n", data.nFileSizeLow, iniMs);
  std::printf("  registry (seven values):                               %.2f ms\n", registryMs);
  return 0;
}
