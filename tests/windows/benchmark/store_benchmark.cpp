// Times one save of an alert (its seven values) with a full table of 101
// alerts: in chimewatch.ini, written whole and replaced in one step; the
// same after another program changed the file (read again and merged under
// the lock); and in the registry; and how large the file is. Then the load of a 16 MiB
// chimewatch.ini (the largest read), as a start reads it. Then what the
// minute check costs to move rule alerts on after they fire: 101 of the
// kinds people keep, all a month overdue (as after a holiday), and the
// costliest shape alone (monthly, COUNT, counted from the year 1000).
//   store_benchmark [RUNS]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "after_firing.h"
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
// stored once; with `other`, that program saves another slot before each.
double MedianSaveMs(SettingsStore& store, int runs, SettingsStore* other = nullptr) {
  AlarmTable table = FullTable();
  AlarmTable theirs = FullTable();
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) Save(table, store, slot);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    if (other) {
      const int slot = (run + 50) % kSlotCount;
      theirs[slot].Tijd += 1;
      Save(theirs, *other, slot);
    }
    const LARGE_INTEGER start = benchmark::Clock();
    if (Save(table, store, run % kSlotCount)) std::printf("a save failed\n");
    times.push_back(benchmark::Milliseconds(start, benchmark::Clock()));
  }
  return benchmark::Median(times);
}

// A file of sections of made-up keys just below 16 MiB, as UTF-16 with the
// program's header and trailer.
void WriteLargeFile(const std::wstring& path) {
  std::wstring text = L"; header\r\n";
  for (int section = 0; text.size() * 2 < (16u << 20) - 4096; ++section) {
    text += L"\r\n[" + std::to_wstring(section) + L"]\r\n";
    for (int key = 0; key < 64; ++key) {
      text += L"Key" + std::to_wstring(key) + L"=Value \u00e9 " + std::to_wstring(key) + L"\r\n";
    }
  }
  text += kIniTrailer;
  const std::string bytes = "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

double LargeFileLoadMs(const std::wstring& path) {
  WriteLargeFile(path);
  const LARGE_INTEGER start = benchmark::Clock();
  const IniFileSettings large(path);
  const double ms = benchmark::Milliseconds(start, benchmark::Clock());
  if (large.WhyNotSaved()) std::printf("the large file was refused: %ls\n", large.WhyNotSaved()->c_str());
  return ms;
}

// The median time of moving every alert of `table` on after it fired at `now`.
double MedianMoveOnMs(const AlarmTable& table, DateValue now, int runs) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    AlarmTable fired = table;
    const LARGE_INTEGER start = benchmark::Clock();
    for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
      if (fired[slot].Exist) MoveOnAfterFiring(fired[slot], fired[slot].Tijd, now);
    }
    times.push_back(benchmark::Milliseconds(start, benchmark::Clock()));
  }
  return benchmark::Median(times);
}

AlarmTable RuleTable(DateValue now) {
  const wchar_t* const rules[] = {
      L"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR",     L"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH",  L"FREQ=MONTHLY;BYDAY=-1FR",
      L"FREQ=MONTHLY;BYMONTHDAY=-1;COUNT=500", L"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29", L"FREQ=DAILY;UNTIL=20301231"};
  AlarmTable table = FullTable();
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    table[slot].Tijd = now - 30.0;
    table[slot].Rule = std::wstring(rules[slot % 6]) + L";DTSTART=09:00 2020/01/06";
  }
  return table;
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
  IniFileSettings otherProgram(ini);
  const double mergedMs = MedianSaveMs(portable, runs, &otherProgram);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(ini.c_str(), GetFileExInfoStandard, &data);
  DeleteFileW(ini.c_str());
  DeleteFileW((ini + L".lock").c_str());
  RegistrySettings registry;
  const double registryMs = MedianSaveMs(registry, runs);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Chimewatch");
  std::printf("Save of one alert with 101 stored (median of %d):\n", runs);
  std::printf("  chimewatch.ini (%lu bytes, written whole, flushed, replaced): %.2f ms\n", data.nFileSizeLow, iniMs);
  std::printf("  the same after another program changed it (read again):     %.2f ms\n", mergedMs);
  std::printf("  registry (seven values):                                      %.2f ms\n", registryMs);
  const double largeMs = LargeFileLoadMs(ini);
  WIN32_FILE_ATTRIBUTE_DATA large{};
  GetFileAttributesExW(ini.c_str(), GetFileExInfoStandard, &large);
  DeleteFileW(ini.c_str());
  std::printf("Load of a chimewatch.ini of %lu bytes: %.0f ms\n", large.nFileSizeLow, largeMs);
  const DateValue now = 46364.5;  // 8 December 2026, noon
  AlarmTable costliest;
  costliest[0] = FullTable()[0];
  costliest[0].Tijd = now - 30.0;
  costliest[0].Rule = L"FREQ=MONTHLY;BYDAY=-1FR;COUNT=999999999;DTSTART=09:00 1000/01/01";
  std::printf("Moving rule alerts on after they fire, a month overdue (median of %d):\n", runs);
  std::printf("  101 rule alerts:                                   %.3f ms\n",
              MedianMoveOnMs(RuleTable(now), now, runs));
  std::printf("  one monthly rule with COUNT from the year 1000:    %.3f ms\n", MedianMoveOnMs(costliest, now, runs));
  return 0;
}
