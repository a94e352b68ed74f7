// lateness_benchmark MINUTES PROGRAM...: how late each program shows the
// box of an alarm after the minute it is due. Stores one alarm for each of
// the next MINUTES minutes of the local clock, starts every program at the
// same time (each shows its own boxes), answers each box as soon as it is
// seen, and prints the median and the worst lateness per program, in ms.
// Asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"

namespace {

using driver::kTicksPerMinute;
using driver::kTicksPerMs;
using driver::LocalTicksNow;
constexpr UINT kExitCommand = 1003;  // IDM_SLUITEN
constexpr DWORD kPollMs = 5;

std::wstring StoredTime(ULONGLONG ticks) {
  const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME t;
  FileTimeToSystemTime(&file, &t);
  wchar_t text[32];
  std::swprintf(text, 32, L"%02d:%02d %04d/%02d/%02d", t.wHour, t.wMinute, t.wYear, t.wMonth, t.wDay);
  return text;
}

void StoreAlarm(int slot, ULONGLONG due) {
  const std::wstring section = std::to_wstring(slot);
  driver::WriteSettingText(section, L"Exist", L"True");
  driver::WriteSettingText(section, L"Actief", L"True");
  driver::WriteSettingText(section, L"Getoond", L"False");
  driver::WriteSettingText(section, L"Naam", L"Minute " + section);
  driver::WriteSettingText(section, L"Tijd", StoredTime(due));
  driver::WriteSettingText(section, L"Repeat", L"0");
  driver::WriteSettingText(section, L"Delete", L"False");
}

// The text of a visible message box of the process, without waiting.
HWND VisibleBox(DWORD pid, std::wstring& text) {
  for (HWND window : driver::TopLevelWindows(pid)) {
    if (!IsWindowVisible(window) || driver::ClassName(window) != L"#32770") continue;
    for (HWND child : driver::ChildWindows(window)) {
      if (driver::ClassName(child) != L"Static") continue;
      text = driver::GetText(child);
      if (!text.empty()) return window;
    }
  }
  return nullptr;
}

struct Measured {
  std::wstring path;
  std::unique_ptr<driver::Program> process;
  std::vector<double> lateMs;
  HWND lastBox = nullptr;
};

// "Minute 3\r\n..." is the alarm due at the third minute.
int MinuteOf(const std::wstring& text) { return text.starts_with(L"Minute ") ? _wtoi(text.c_str() + 7) : 0; }

void Watch(Measured& program, ULONGLONG firstMinute) {
  std::wstring text;
  HWND box = VisibleBox(program.process->Id(), text);
  if (!box || box == program.lastBox) return;
  const ULONGLONG seen = LocalTicksNow();
  const int minute = MinuteOf(text);
  if (minute > 0) {
    const ULONGLONG due = firstMinute + static_cast<ULONGLONG>(minute - 1) * kTicksPerMinute;
    program.lateMs.push_back(static_cast<double>(static_cast<LONGLONG>(seen - due)) / kTicksPerMs);
  }
  program.lastBox = box;
  driver::Answer(box, IDOK);
}

void Report(const Measured& program, int minutes) {
  std::vector<double> late = program.lateMs;
  std::sort(late.begin(), late.end());
  if (late.empty()) {
    std::wprintf(L"%ls: no box seen\n", program.path.c_str());
    return;
  }
  std::wprintf(L"%ls: %zu of %d boxes, lateness median %.0f ms, worst %.0f ms\n", program.path.c_str(), late.size(),
               minutes, late[late.size() / 2], late.back());
}

std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: lateness_benchmark MINUTES PROGRAM...\n");
    return 2;
  }
  const int minutes = std::clamp(_wtoi(argv[1]), 1, 100);
  driver::DeleteAllSettings();
  // The first minute at least 10 s away, so that every program has started.
  const ULONGLONG firstMinute =
      (LocalTicksNow() + 10000 * kTicksPerMs) / kTicksPerMinute * kTicksPerMinute + kTicksPerMinute;
  for (int minute = 1; minute <= minutes; ++minute)
    StoreAlarm(minute, firstMinute + static_cast<ULONGLONG>(minute - 1) * kTicksPerMinute);

  std::vector<Measured> programs;
  for (int i = 2; i < argc; ++i) {
    programs.push_back({argv[i], std::make_unique<driver::Program>(WindowsPath(argv[i])), {}, nullptr});
  }
  // The old check ran 60 s after start: allow a minute more after the last.
  const ULONGLONG end = firstMinute + static_cast<ULONGLONG>(minutes + 1) * kTicksPerMinute;
  const auto allSeen = [&] {
    return std::all_of(programs.begin(), programs.end(),
                       [&](const Measured& p) { return p.lateMs.size() >= static_cast<size_t>(minutes); });
  };
  while (LocalTicksNow() < end && !allSeen()) {
    for (Measured& program : programs) Watch(program, firstMinute);
    Sleep(kPollMs);
  }
  std::wprintf(L"lateness of the alarm box after its minute, %d minutes\n", minutes);
  for (Measured& program : programs) {
    Report(program, minutes);
    HWND main = driver::WaitForWindow(program.process->Id(), L"ChimewatchMain", std::nullopt, 2000, false);
    if (main) PostMessageW(main, WM_COMMAND, kExitCommand, 0);
    program.process->WaitForExit(10000);
  }
  driver::DeleteAllSettings();
  return 0;
}
