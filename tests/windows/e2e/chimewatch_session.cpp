#include "chimewatch_session.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "resource.h"

std::wstring gProgramPath;
std::wstring gScreenshotFolder;
std::wstring gSamplesFolder;

namespace {

constexpr UINT kTrayCallback = WM_MOUSEMOVE;

std::wstring Printf(const wchar_t* format, int a, int b, int c, int d, int e) {
  wchar_t buffer[64];
  std::swprintf(buffer, 64, format, a, b, c, d, e);
  return buffer;
}

}  // namespace

SYSTEMTIME LocalTimeFromNow(int days, int minutes) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  FILETIME local;
  FileTimeToLocalFileTime(&now, &local);
  ULARGE_INTEGER ticks{{local.dwLowDateTime, local.dwHighDateTime}};
  constexpr ULONGLONG kTicksPerMinute = 600000000ULL;
  ticks.QuadPart =
      static_cast<ULONGLONG>(static_cast<LONGLONG>(ticks.QuadPart) +
                             (static_cast<LONGLONG>(days) * 1440 + minutes) * static_cast<LONGLONG>(kTicksPerMinute));
  ticks.QuadPart -= ticks.QuadPart % kTicksPerMinute;
  local = {ticks.LowPart, ticks.HighPart};
  SYSTEMTIME time;
  FileTimeToSystemTime(&local, &time);
  return time;
}

std::wstring StoredTimeText(const SYSTEMTIME& t) {
  return Printf(L"%02d:%02d %04d/%02d/%02d", t.wHour, t.wMinute, t.wYear, t.wMonth, t.wDay);
}

std::wstring ShortTimeDateText(const SYSTEMTIME& t) {
  return Printf(L"%02d:%02d %02d/%02d/%02d", t.wHour, t.wMinute, t.wYear % 100, t.wMonth, t.wDay);
}

void StoreAlarm(int slot, const std::wstring& naam, const SYSTEMTIME& due, int repeat, bool deleteWhenOver, bool actief,
                bool getoond) {
  const std::wstring section = std::to_wstring(slot);
  const auto flag = [](bool value) { return value ? L"True" : L"False"; };
  driver::WriteSettingText(section, L"Exist", L"True");
  driver::WriteSettingText(section, L"Actief", flag(actief));
  driver::WriteSettingText(section, L"Getoond", flag(getoond));
  driver::WriteSettingText(section, L"Naam", naam);
  driver::WriteSettingText(section, L"Tijd", StoredTimeText(due));
  driver::WriteSettingText(section, L"Repeat", std::to_wstring(repeat));
  driver::WriteSettingText(section, L"Delete", flag(deleteWhenOver));
}

ChimewatchSession::ChimewatchSession(Registry registry) {
  if (registry == Registry::Fresh) driver::DeleteAllSettings();
}

ChimewatchSession::~ChimewatchSession() {
  if (program_ && program_->Running()) {
    if (main_) PostMessageW(main_, WM_COMMAND, IDM_SLUITEN, 0);
    if (!program_->WaitForExit(5000)) program_->Terminate();
  }
  driver::DeleteAllSettings();
}

void ChimewatchSession::Start() {
  program_ = std::make_unique<driver::Program>(gProgramPath);
  WaitForStartUp();
}

int ChimewatchSession::StartAtOnce(int count) {
  std::vector<std::unique_ptr<driver::Program>> programs;
  for (int i = 0; i < count; ++i) programs.push_back(std::make_unique<driver::Program>(gProgramPath));
  const auto running = [&] {
    return std::count_if(programs.begin(), programs.end(), [](const auto& program) { return program->Running(); });
  };
  driver::WaitUntil([&] { return running() <= 1; }, 10000);
  int endedWithZero = 0;
  for (auto& program : programs) {
    if (program->Running() && !program_)
      program_ = std::move(program);
    else if (program->WaitForExit(0) == 0u)
      ++endedWithZero;
  }
  if (program_) WaitForStartUp();
  return endedWithZero;
}

void ChimewatchSession::WaitForStartUp() {
  ASSERT_TRUE(program_->Started()) << "cannot start the program";
  main_ = driver::WaitForWindow(program_->Id(), L"ChimewatchMain", L"Form1", 10000, false);
  ASSERT_NE(main_, nullptr) << "no main window";
  // Start-up is over once the icon is there: the alerts are loaded before.
  ASSERT_TRUE(driver::WaitUntil([&] { return SetupWindow() != nullptr && driver::TrayIconPresent(tipPrefix_); }, 5000));
}

void ChimewatchSession::TrayMouse(UINT mouseMessage) {
  PostMessageW(main_, kTrayCallback, 0, static_cast<LPARAM>(mouseMessage));
}

void ChimewatchSession::Command(int menuId) { driver::PostCommand(main_, menuId); }

void ChimewatchSession::AlarmTick() { PostMessageW(main_, WM_TIMER, IDT_TIMER, 0); }

void ChimewatchSession::TipTick() { PostMessageW(main_, WM_TIMER, IDT_TIMER1, 0); }

std::optional<driver::MessageBoxInfo> ChimewatchSession::StartWithAlarmBox(const std::wstring& naam) {
  StoreAlarm(0, naam, LocalTimeFromNow(0, -2), 0, false);
  Start();
  if (!main_) return std::nullopt;
  AlarmTick();
  return driver::WaitForMessageBox(Pid(), 5000);
}

HWND ChimewatchSession::OpenList() {
  TrayMouse(WM_LBUTTONDBLCLK);
  return WaitForSetupWindow();
}

HWND ChimewatchSession::SetupWindow() const {
  for (HWND window : driver::TopLevelWindows(program_->Id())) {
    if (driver::ClassName(window) == L"ChimewatchSetup") return window;
  }
  return nullptr;
}

HWND ChimewatchSession::WaitForSetupWindow(int timeoutMs) const {
  return driver::WaitForWindow(program_->Id(), L"ChimewatchSetup", std::nullopt, timeoutMs, true);
}

HWND ChimewatchSession::AlarmList() const {
  HWND setup = SetupWindow();
  return setup ? driver::FindChildById(setup, IDC_LSTALARM) : nullptr;
}

HWND ChimewatchSession::WaitForEditor(int timeoutMs) const {
  return driver::WaitForWindow(program_->Id(), L"ChimewatchEdit", std::nullopt, timeoutMs, true);
}

std::optional<DWORD> ChimewatchSession::Exit(int timeoutMs) {
  Command(IDM_SLUITEN);
  return program_->WaitForExit(timeoutMs);
}

bool WaitForNoMessageBox(DWORD pid, int timeoutMs) {
  return driver::WaitUntil([&] { return !driver::WaitForMessageBox(pid, 0); }, timeoutMs);
}

HWND FocusedWindow(HWND anyWindowOfTheThread) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfTheThread, nullptr), &info);
  return info.hwndFocus;
}

int ThreadsOf(DWORD pid) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == pid) ++count;
  }
  CloseHandle(snapshot);
  return count;
}
