// A portable Chimewatch: the alerts in chimewatch.ini beside the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <regex>
#include <thread>

#include "chimewatch_session.h"
#include "resource.h"
#include "test_files.h"

namespace {

constexpr char kShippedIni[] = "; Chimewatch keeps its alerts in this file.\r\n";

// chimewatch.exe and a chimewatch.ini in a folder of their own, as an
// unpacked zip holds them; the registry's alerts are gone.
class PortableFolder {
 public:
  explicit PortableFolder(const wchar_t* name = L"chimewatch-portable") {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    folder_ = std::wstring(temp) + name + L"\\";
    CreateDirectoryW(folder_.c_str(), nullptr);
    RemoveWhatAnEarlierCaseLeft();
    if (!CopyFileW(gProgramPath.c_str(), Program().c_str(), FALSE)) ADD_FAILURE() << "the program was not copied";
    WriteBytes(Ini(), kShippedIni);
    driver::DeleteAllSettings();
  }
  ~PortableFolder() { SetFileAttributesW(Ini().c_str(), FILE_ATTRIBUTE_NORMAL); }
  PortableFolder(const PortableFolder&) = delete;
  PortableFolder& operator=(const PortableFolder&) = delete;

  std::wstring Program() const { return folder_ + L"chimewatch.exe"; }
  std::wstring Ini() const { return folder_ + L"chimewatch.ini"; }
  std::wstring File(const wchar_t* name) const { return folder_ + name; }

  driver::ProgramRun Run(const std::wstring& arguments) const {
    return driver::RunProgram(Program(), arguments, 20000, {});
  }

 private:
  // A conflicted copy a failed case left would be taken in by the next.
  void RemoveWhatAnEarlierCaseLeft() const {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder_ + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      const std::wstring path = folder_ + found.cFileName;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || path == Program()) continue;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileW(path.c_str())) ADD_FAILURE() << "an earlier case's file stays";
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }

  std::wstring folder_;
};

// Events "PREFIX0", "PREFIX1", ...
std::string Calendar(const std::string& prefix, int events) {
  std::string text;
  for (int i = 0; i < events; ++i) text += Event(prefix + std::to_string(i), ":20300101T080000Z");
  return OtherCalendar(text);
}

bool RegistryHasChimewatch() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Chimewatch", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// A portable copy's main window has a title of its own store.
HWND StartedMainWindow(const driver::Program& program) {
  return driver::WaitForWindow(program.Id(), L"ChimewatchMain", std::nullopt, 10000, false);
}

std::string Utf16(std::wstring_view text) {
  return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::string Slot(int slot, const std::string& naam) {
  return "[" + std::to_string(slot) + "]\r\nExist=True\r\nActief=True\r\nGetoond=False\r\nNaam=" + naam +
         "\r\nTijd=08:05 2031/02/28\r\nRepeat=0\r\nDelete=False\r\n";
}

// A stored slot due `minutesFromNow` from now by the local clock.
std::string SlotDueIn(int slot, const std::string& naam, int minutesFromNow, int repeat) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
  ticks.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(minutesFromNow) * 60 * 10000000);
  const FILETIME due{ticks.LowPart, ticks.HighPart};
  SYSTEMTIME utc, local;
  FileTimeToSystemTime(&due, &utc);
  SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
  char tijd[32];
  std::snprintf(tijd, sizeof tijd, "%02u:%02u %04u/%02u/%02u", local.wHour, local.wMinute, local.wYear, local.wMonth,
                local.wDay);
  return "[" + std::to_string(slot) + "]\r\nExist=True\r\nActief=True\r\nGetoond=False\r\nNaam=" + naam +
         "\r\nTijd=" + tijd + "\r\nRepeat=" + std::to_string(repeat) + "\r\nDelete=False\r\n";
}

// The same file by a second name, as two PCs reach one network share: Wine
// shows every Linux folder on drive Z: too.
std::wstring SecondNameOf(const std::wstring& path) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  const auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
  if (!unix) return L"";
  std::wstring name = L"Z:";
  for (const char* c = unix; *c; ++c) name += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
  HeapFree(GetProcessHeap(), 0, unix);
  return name;
}

std::ptrdiff_t Count(const std::string& text, const std::string& part) {
  std::ptrdiff_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The rows of a program's list window, loaded hidden from its start.
int ListedAlerts(const driver::Program& program) {
  for (HWND window : driver::TopLevelWindows(program.Id())) {
    if (driver::ClassName(window) == L"ChimewatchSetup") {
      return driver::ListViewRowCount(driver::FindChildById(window, IDC_LSTALARM));
    }
  }
  return -1;
}

// A sync service between two folders: a file changed on one side reaches
// the other a second later; when both sides changed meanwhile, the first
// side's stays and the second's is left beside it on both as a conflicted
// copy, as Dropbox does.
class SyncStandIn {
 public:
  SyncStandIn(std::wstring first, std::wstring second)
      : first_(std::move(first)), second_(std::move(second)), last_(Read(first_)) {
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  ~SyncStandIn() {
    stop_ = true;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  SyncStandIn(const SyncStandIn&) = delete;
  SyncStandIn& operator=(const SyncStandIn&) = delete;

 private:
  static std::string Read(const std::wstring& path) { return driver::ReadFileBytes(path).value_or(""); }
  static DWORD WINAPI Run(void* self) {
    static_cast<SyncStandIn*>(self)->Loop();
    return 0;
  }
  // Written whole under another name, then put in place, as sync services do.
  static void Put(const std::wstring& path, const std::string& bytes) {
    WriteBytes(path + L".sync", bytes);
    MoveFileExW((path + L".sync").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  void Loop() {
    while (!stop_) {
      Sleep(200);
      if (Read(first_) == last_ && Read(second_) == last_) continue;
      Sleep(1000);
      const std::string first = Read(first_), second = Read(second_);
      if (first != last_ && second != last_ && first != second) {
        for (const std::wstring& ini : {first_, second_}) {
          Put(ini.substr(0, ini.size() - 4) + L" (PC2's conflicted copy).ini", second);
        }
      }
      last_ = first != last_ ? first : second;
      if (first != last_) Put(first_, last_);
      if (second != last_) Put(second_, last_);
    }
  }

  std::wstring first_, second_;
  std::string last_;
  std::atomic<bool> stop_{false};
  HANDLE thread_ = nullptr;
};

std::ptrdiff_t ChimewatchIconCount() {
  const auto tips = driver::TrayTips();
  return std::count_if(tips.begin(), tips.end(),
                       [](const std::wstring& tip) { return tip.starts_with(L"Chimewatch"); });
}

// The alerts a new start reads, as an export writes them.
std::string Exported(const PortableFolder& portable) {
  const auto run = portable.Run(L"/export " + Quoted(portable.File(L"out.ics")));
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  return driver::ReadFileBytes(portable.File(L"out.ics")).value_or("");
}

}  // namespace

TEST(Portable, KeepsItsAlertsInTheFileBesideTheProgramAndNotInTheRegistry) {
  const PortableFolder portable;
  WriteBytes(portable.File(L"tea.ics"), Calendar("Tea ", 1));
  // Scoop keeps the file in its persist folder, linked by a hard link.
  const std::wstring persisted = portable.File(L"persisted.ini");
  DeleteFileW(persisted.c_str());
  ASSERT_TRUE(CreateHardLinkW(persisted.c_str(), portable.Ini().c_str(), nullptr));
  {
    const driver::Program running(portable.Program());
    HWND main = StartedMainWindow(running);
    ASSERT_NE(main, nullptr);
    const auto run = portable.Run(L"/import " + Quoted(portable.File(L"tea.ics")));
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    driver::PostCommand(main, IDM_SLUITEN);
    EXPECT_EQ(running.WaitForExit(10000), 0u);
  }
  const std::string ini = driver::ReadFileBytes(portable.Ini()).value_or("");
  EXPECT_TRUE(ini.starts_with("\xFF\xFE")) << "not UTF-16";
  EXPECT_EQ(driver::ReadFileBytes(persisted), ini) << "the other name of the file was left behind";
  // Read again by a new start: the export holds the alert.
  const auto run = portable.Run(L"/export " + Quoted(portable.File(L"out.ics")));
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(run.output.starts_with("Exported 1 alert to ")) << run.output;
  EXPECT_NE(driver::ReadFileBytes(portable.File(L"out.ics")).value_or("").find("SUMMARY:Tea 0"), std::string::npos);
  EXPECT_FALSE(RegistryHasChimewatch()) << "wrote to the registry";
}

TEST(Portable, AReadOnlyFileIsToldOnceAndStaysAsItWas) {
  const PortableFolder portable;
  WriteBytes(portable.Ini(), std::string(kShippedIni) +
                                 "[3]\r\nExist=True\r\nActief=True\r\nGetoond=False\r\n"
                                 "Naam=Kept\r\nTijd=08:05 2031/02/28\r\nRepeat=0\r\nDelete=False\r\n");
  SetFileAttributesW(portable.Ini().c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string before = driver::ReadFileBytes(portable.Ini()).value_or("");
  WriteBytes(portable.File(L"tea.ics"), Calendar("Tea ", 2));

  const driver::Program running(portable.Program());
  const auto box = driver::WaitForMessageBox(running.Id(), 10000);
  ASSERT_TRUE(box) << "no message";
  EXPECT_TRUE(
      std::regex_search(box->text, std::wregex(L"^Changes to your alerts cannot be saved in .*chimewatch\\.ini: "
                                               L"the file is read-only\\. Chimewatch runs with the alerts it "
                                               L"could read\\.$")))
      << testing::PrintToString(box->text);
  driver::Answer(box->hwnd, IDOK);
  const auto run = portable.Run(L"/import " + Quoted(portable.File(L"tea.ics")));
  EXPECT_EQ(run.exitCode, 3u) << run.output;
  EXPECT_TRUE(run.output.starts_with("Imported no alerts from tea.ics. Not imported: \"Tea 0\" (not saved: "))
      << run.output;
  EXPECT_EQ(driver::ReadFileBytes(portable.Ini()), before);
  HWND main = StartedMainWindow(running);
  if (main) driver::PostCommand(main, IDM_SLUITEN);
  EXPECT_EQ(running.WaitForExit(10000), 0u);
}

// Killed at many moments of an import, each time the file reads whole: an
// import is saved in one write, so the file holds all of it or none, never
// a part, no damaged value, no half file.
TEST(Portable, AKillDuringSavesLeavesAReadableFile) {
  const PortableFolder portable;
  for (const int afterStartMs : {0, 20, 40, 80, 120, 160, 240}) {
    SCOPED_TRACE(afterStartMs);
    WriteBytes(portable.Ini(), kShippedIni);
    const std::wstring calendar = portable.File(L"many.ics");
    WriteBytes(calendar, Calendar("Kill " + std::to_string(afterStartMs) + " ", 100));
    {
      driver::Program importing(portable.Program(), L"/import " + Quoted(calendar));
      Sleep(static_cast<DWORD>(afterStartMs));
      TerminateProcess(importing.Handle(), 9);
      importing.WaitForExit(5000);
    }
    const auto run = portable.Run(L"/export " + Quoted(portable.File(L"out.ics")));
    EXPECT_EQ(run.exitCode, 0u);
    std::smatch exported;
    ASSERT_TRUE(std::regex_match(run.output, exported, std::regex("Exported (\\d+) alerts? to [^\\r]*\\.\\r\\n")))
        << run.output;
    const int count = std::stoi(exported[1]);
    EXPECT_TRUE(count == 0 || count == 100) << count << " alerts: a part of the import";
  }
}

// On FAT and exFAT a replacing rename deletes the file first: a power cut
// between the two steps leaves only the complete copy. A start restores the
// newest complete copy and says so; one cut short is never taken.
TEST(Portable, ACompleteCopyLeftByARenameCutShortRestoresTheFile) {
  const PortableFolder portable;
  const auto utf16 = Utf16;
  const std::wstring slot =
      L"[4]\r\nExist=True\r\nActief=True\r\nGetoond=False\r\nNaam=Restored\r\n"
      L"Tijd=08:05 2031/02/28\r\nRepeat=0\r\nDelete=False\r\n";
  DeleteFileW(portable.Ini().c_str());
  WriteBytes(portable.File(L"chimewatch.ini.7-1-1.tmp"),
             utf16(L"; header\r\n\r\n" + slot + L"\r\n; End of the alerts.\r\n"));
  Sleep(50);  // the copy cut short is the newer one
  WriteBytes(portable.File(L"chimewatch.ini.8-1-1.tmp"), utf16(L"; header\r\n\r\n" + slot.substr(0, 40)));

  const driver::Program running(portable.Program());
  const auto box = driver::WaitForMessageBox(running.Id(), 10000);
  ASSERT_TRUE(box) << "not told";
  EXPECT_EQ(box->text,
            L"chimewatch.ini was missing, as a save cut short by a power cut or a removed stick leaves it. "
            L"Chimewatch restored it from chimewatch.ini.7-1-1.tmp, the complete copy that save had written.");
  EXPECT_TRUE(box->topmost);
  driver::Answer(box->hwnd, IDOK);
  HWND main = StartedMainWindow(running);
  ASSERT_NE(main, nullptr);
  driver::PostCommand(main, IDM_SLUITEN);
  EXPECT_EQ(running.WaitForExit(10000), 0u);
  const auto run = portable.Run(L"/export " + Quoted(portable.File(L"out.ics")));
  EXPECT_TRUE(run.output.starts_with("Exported 1 alert to ")) << run.output;
  EXPECT_FALSE(RegistryHasChimewatch()) << "fell back to the registry";
}

// An ini saved by PowerShell 5.1's Set-Content or an old Notepad is in the
// ANSI code page: read as Notepad reads it, and written back as UTF-16 by
// an unrelated save, every accent kept.
TEST(Portable, AFileInTheAnsiCodePageReadsRightAndIsSavedAsUtf16) {
  if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page here is " << GetACP() << ", not 1252";
  const PortableFolder portable;
  WriteBytes(portable.Ini(), std::string(kShippedIni) + Slot(3, "Caf\xE9 na\xEFve"));
  WriteBytes(portable.File(L"tea.ics"), Calendar("Tea ", 1));
  const auto run = portable.Run(L"/import " + Quoted(portable.File(L"tea.ics")));
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  const std::string ini = driver::ReadFileBytes(portable.Ini()).value_or("");
  EXPECT_TRUE(ini.starts_with("\xFF\xFE")) << "not UTF-16";
  EXPECT_NE(ini.find(Utf16(L"Naam=Caf\u00e9 na\u00efve\r\n").substr(2)), std::string::npos) << "the accents were lost";
  EXPECT_NE(Exported(portable).find("SUMMARY:Caf\xC3\xA9 na\xC3\xAFve"), std::string::npos);
}

// The file under a second name (Scoop's hard link) and held open by another
// program: the save fails, says so, and leaves no journal. A journal an
// older Chimewatch left that way is not applied over a file changed since;
// one of a write cut short is.
TEST(Portable, AFailedSaveLeavesNothingThatALaterStartApplies) {
  const PortableFolder portable;
  const std::wstring persisted = portable.File(L"persisted.ini");
  const std::wstring journal = portable.Ini() + L".new";
  DeleteFileW(persisted.c_str());
  ASSERT_TRUE(CreateHardLinkW(persisted.c_str(), portable.Ini().c_str(), nullptr));
  WriteBytes(portable.File(L"tea.ics"), Calendar("Refused ", 1));
  HANDLE held = CreateFileW(portable.Ini().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const auto run = portable.Run(L"/import " + Quoted(portable.File(L"tea.ics")));
  CloseHandle(held);
  EXPECT_EQ(run.exitCode, 3u) << run.output;
  EXPECT_NE(run.output.find("(not saved: "), std::string::npos) << run.output;
  EXPECT_EQ(GetFileAttributesW(journal.c_str()), INVALID_FILE_ATTRIBUTES) << "the failed save left its journal";

  const std::string refused = Utf16(
      L"; header\r\n\r\n[2]\r\nExist=True\r\nActief=True\r\nGetoond=False\r\n"
      L"Naam=Refused\r\nTijd=08:05 2031/02/28\r\nRepeat=0\r\nDelete=False\r\n"
      L"\r\n; End of the alerts.\r\n");
  WriteBytes(journal, refused);
  WriteBytes(portable.Ini(), std::string(kShippedIni) + Slot(4, "By hand"));
  std::string exported = Exported(portable);
  EXPECT_NE(exported.find("SUMMARY:By hand"), std::string::npos) << "the change by hand was undone";
  EXPECT_EQ(exported.find("SUMMARY:Refused"), std::string::npos) << "the refused save came back";
  EXPECT_EQ(GetFileAttributesW(journal.c_str()), INVALID_FILE_ATTRIBUTES) << "the journal stayed";

  WriteBytes(journal, refused);
  WriteBytes(portable.Ini(), refused.substr(0, refused.size() / 2));
  exported = Exported(portable);
  EXPECT_NE(exported.find("SUMMARY:Refused"), std::string::npos) << "the write cut short was not finished";
  EXPECT_EQ(driver::ReadFileBytes(persisted), refused) << "the other name was left behind";
}

// Another program holds chimewatch.ini open a moment, as another PC's look
// at it, an indexer or antivirus do: a save's rename waits for it and
// succeeds, rather than failing with the file in use.
TEST(Portable, ASaveWaitsForAReaderThatHoldsTheFileAMoment) {
  const PortableFolder portable;
  WriteBytes(portable.File(L"tea.ics"), Calendar("Held ", 1));
  HANDLE reader =
      CreateFileW(portable.Ini().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  std::thread closing([reader] {
    Sleep(400);
    CloseHandle(reader);
  });
  const auto run = portable.Run(L"/import " + Quoted(portable.File(L"tea.ics")));
  closing.join();
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(Exported(portable).find("SUMMARY:Held 0"), std::string::npos) << "the import was not saved";
}

// Another program writes the file in place (under the save lock, its
// journal beside it, the file open to no one else): a program starting
// meanwhile leaves that journal alone, as it is the writer's own.
TEST(Portable, AStartLeavesTheJournalOfAProgramStillWriting) {
  const PortableFolder portable;
  const std::wstring journal = portable.Ini() + L".new";
  const std::string whole = std::string(kShippedIni) + Slot(5, "Being written");
  WriteBytes(journal, whole);
  HANDLE lockFile =
      CreateFileW((portable.Ini() + L".lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, 0, nullptr);
  ASSERT_NE(lockFile, INVALID_HANDLE_VALUE);
  OVERLAPPED range{};
  ASSERT_TRUE(LockFileEx(lockFile, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range));
  HANDLE writing = CreateFileW(portable.Ini().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writing, INVALID_HANDLE_VALUE);

  const driver::Program starting(portable.Program());
  Sleep(1500);
  EXPECT_NE(GetFileAttributesW(journal.c_str()), INVALID_FILE_ATTRIBUTES) << "the writer's journal was deleted";
  // The writer ends: the file whole, its journal gone, the lock given up.
  DWORD written = 0;
  WriteFile(writing, whole.data(), static_cast<DWORD>(whole.size()), &written, nullptr);
  CloseHandle(writing);
  DeleteFileW(journal.c_str());
  UnlockFileEx(lockFile, 0, 1, 0, &range);
  CloseHandle(lockFile);

  HWND main = StartedMainWindow(starting);
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(driver::WaitForMessageBox(starting.Id(), 500)) << "the start found something wrong";
  driver::PostCommand(main, IDM_SLUITEN);
  EXPECT_EQ(starting.WaitForExit(10000), 0u);
  EXPECT_NE(Exported(portable).find("SUMMARY:Being written"), std::string::npos);
}

// An installed Chimewatch (the registry) and a portable copy are two
// programs: each has its icon, and each command reaches its own store.
TEST(Portable, RunsBesideAnInstalledChimewatchAndKeepsItsOwnAlerts) {
  const PortableFolder portable;
  WriteBytes(portable.File(L"tea.ics"), Calendar("Tea ", 1));
  const driver::Program installed(gProgramPath);
  HWND installedMain = driver::WaitForWindow(installed.Id(), L"ChimewatchMain", L"Form1", 10000, false);
  ASSERT_NE(installedMain, nullptr);
  const driver::Program copy(portable.Program());
  HWND copyMain = StartedMainWindow(copy);
  ASSERT_NE(copyMain, nullptr) << "the portable copy handed over to the installed one";
  EXPECT_TRUE(driver::WaitUntil([] { return ChimewatchIconCount() == 2; }, 5000)) << ChimewatchIconCount() << " icons";

  const auto imported = portable.Run(L"/import " + Quoted(portable.File(L"tea.ics")));
  EXPECT_EQ(imported.exitCode, 0u) << imported.output;
  EXPECT_NE(driver::ReadFileBytes(portable.Ini()).value_or("").find(Utf16(L"Naam=Tea 0").substr(2)), std::string::npos)
      << "not in chimewatch.ini";
  const std::wstring out = portable.File(L"installed.ics");
  const auto exported = driver::RunProgram(gProgramPath, L"/export " + Quoted(out), 20000);
  EXPECT_EQ(exported.exitCode, 0u) << exported.output;
  EXPECT_TRUE(exported.output.starts_with("Exported 0 alerts to ")) << exported.output;

  driver::PostCommand(copyMain, IDM_SLUITEN);
  driver::PostCommand(installedMain, IDM_SLUITEN);
  EXPECT_EQ(copy.WaitForExit(10000), 0u);
  EXPECT_EQ(installed.WaitForExit(10000), 0u);
}

// Two programs on one file, as two PCs on a network share: each keeps what
// the other stored, each shows the other's alerts within a minute, both
// show a due alert and it moves on once.
TEST(Portable, TwoProgramsSharingTheFileKeepAndShowEachOthersAlerts) {
  const PortableFolder portable;
  const std::wstring secondName = SecondNameOf(portable.Program());
  ASSERT_FALSE(secondName.empty());
  WriteBytes(portable.Ini(), std::string(kShippedIni) + SlotDueIn(0, "Standup", -1, 1));
  const std::string standupTomorrow = SlotDueIn(0, "Standup", 24 * 60 - 1, 1);
  WriteBytes(portable.File(L"a.ics"), Calendar("From A ", 3));
  WriteBytes(portable.File(L"b.ics"), Calendar("From B ", 1));
  const driver::Program a(portable.Program());
  const driver::Program b(secondName);
  HWND mainA = StartedMainWindow(a);
  HWND mainB = StartedMainWindow(b);
  ASSERT_TRUE(mainA && mainB) << "one handed over to the other";

  EXPECT_EQ(portable.Run(L"/import " + Quoted(portable.File(L"a.ics"))).exitCode, 0u);
  EXPECT_EQ(driver::RunProgram(secondName, L"/import " + Quoted(portable.File(L"b.ics")), 20000).exitCode, 0u);
  const auto stored = [&] { return driver::ReadFileBytes(portable.Ini()).value_or(""); };
  EXPECT_EQ(Count(stored(), Utf16(L"Exist=True").substr(2)), 5) << "an alert of one program was lost";
  for (const driver::Program* program : {&a, &b}) {
    EXPECT_TRUE(driver::WaitUntil([&] { return ListedAlerts(*program) == 5; }, 30000)) << ListedAlerts(*program);
  }

  for (const driver::Program* program : {&a, &b}) {
    const auto box = driver::WaitForMessageBox(program->Id(), 70000);
    ASSERT_TRUE(box) << "the due alert was not shown by each";
    EXPECT_TRUE(box->text.starts_with(L"Standup\r\n")) << box->text;
    driver::Answer(box->hwnd, IDOK);
    driver::WaitForWindowGone(box->hwnd, 5000);
  }
  const std::string tomorrow = Utf16(std::wstring(standupTomorrow.begin(), standupTomorrow.end())).substr(2);
  EXPECT_TRUE(driver::WaitUntil([&] { return stored().find(tomorrow) != std::string::npos; }, 10000))
      << "the alert did not move on by exactly one day";
  driver::PostCommand(mainA, IDM_SLUITEN);
  driver::PostCommand(mainB, IDM_SLUITEN);
  EXPECT_EQ(a.WaitForExit(10000), 0u);
  EXPECT_EQ(b.WaitForExit(10000), 0u);
}

// A sync service's conflicted copy: its own alerts are taken in, the user
// is told once, and the copy stays, renamed. One that comes while the
// program runs is taken in within a minute.
TEST(Portable, ConflictedCopiesAreTakenInOnceAndKept) {
  const PortableFolder portable;
  const std::wstring dropbox = portable.File(L"chimewatch (Ann's conflicted copy 2026-12-08).ini");
  const std::wstring oneDrive = portable.File(L"chimewatch-LAPTOP.ini");
  WriteBytes(oneDrive + L".taken-in", "an earlier conflict's copy");
  WriteBytes(portable.Ini(), std::string(kShippedIni) + Slot(0, "Both"));
  WriteBytes(dropbox, std::string(kShippedIni) + Slot(0, "Both") + Slot(1, "Only in the copy"));
  const driver::Program running(portable.Program());
  const auto box = driver::WaitForMessageBox(running.Id(), 10000);
  ASSERT_TRUE(box);
  EXPECT_NE(box->text.find(L"took in the 1 alert only the copy held"), std::wstring::npos) << box->text;
  driver::Answer(box->hwnd, IDOK);
  // Else the answered box, not yet closed, is read as the later one.
  ASSERT_TRUE(driver::WaitForWindowGone(box->hwnd, 5000));
  EXPECT_EQ(ListedAlerts(running), 2);
  EXPECT_NE(GetFileAttributesW((dropbox + L".taken-in").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW(dropbox.c_str()), INVALID_FILE_ATTRIBUTES);

  WriteBytes(oneDrive, Slot(5, "From the laptop"));
  const auto later = driver::WaitForMessageBox(running.Id(), 30000);
  ASSERT_TRUE(later);
  EXPECT_NE(later->text.find(L"\"chimewatch-LAPTOP.ini.2.taken-in\""), std::wstring::npos) << later->text;
  EXPECT_EQ(driver::ReadFileBytes(oneDrive + L".taken-in"), "an earlier conflict's copy");
  driver::Answer(later->hwnd, IDOK);
  EXPECT_EQ(ListedAlerts(running), 3);
  const std::string stored = driver::ReadFileBytes(portable.Ini()).value_or("");
  for (const wchar_t* naam : {L"Naam=Only in the copy", L"Naam=From the laptop"}) {
    EXPECT_NE(stored.find(Utf16(naam).substr(2)), std::string::npos) << "not saved";
  }
}

// Two PCs whose folders a sync service keeps alike: what one adds shows on
// the other within a minute, and adds on both at once (a conflict) end with
// every alert on both.
TEST(Portable, TwoFoldersASyncServiceKeepsAlikeEndWithEveryAlert) {
  const PortableFolder one;
  const PortableFolder two(L"chimewatch-portable-pc2");
  const SyncStandIn sync(one.Ini(), two.Ini());
  const driver::Program a(one.Program());
  const driver::Program b(two.Program());
  HWND mainA = StartedMainWindow(a);
  HWND mainB = StartedMainWindow(b);
  ASSERT_TRUE(mainA && mainB);
  const auto import = [](const PortableFolder& folder, const std::string& prefix) {
    WriteBytes(folder.File(L"in.ics"), Calendar(prefix, 1));
    EXPECT_EQ(folder.Run(L"/import " + Quoted(folder.File(L"in.ics"))).exitCode, 0u) << prefix;
  };
  // Each box a conflicted copy brings is answered as it comes.
  const auto listed = [&](int alerts) {
    return driver::WaitUntil(
        [&] {
          for (const driver::Program* program : {&a, &b}) {
            if (const auto box = driver::WaitForMessageBox(program->Id(), 0)) driver::Answer(box->hwnd, IDOK);
          }
          return ListedAlerts(a) == alerts && ListedAlerts(b) == alerts;
        },
        60000);
  };

  import(one, "On PC1 ");
  EXPECT_TRUE(listed(1)) << ListedAlerts(a) << " " << ListedAlerts(b);
  import(two, "On PC2 ");
  EXPECT_TRUE(listed(2)) << ListedAlerts(a) << " " << ListedAlerts(b);
  import(one, "Both at once, PC1 ");
  import(two, "Both at once, PC2 ");
  EXPECT_TRUE(listed(4)) << ListedAlerts(a) << " " << ListedAlerts(b);
  driver::PostCommand(mainA, IDM_SLUITEN);
  driver::PostCommand(mainB, IDM_SLUITEN);
  EXPECT_EQ(a.WaitForExit(10000), 0u);
  EXPECT_EQ(b.WaitForExit(10000), 0u);
}
