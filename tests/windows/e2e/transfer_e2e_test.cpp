// Export and import of the alerts as iCalendar files, end to end: the
// command line with and without a running Chimewatch, the tray menu's Open
// dialog, and real calendars of other programs.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <regex>
#include <set>

#include <windows.h>
#include <tlhelp32.h>

#include "chimewatch_session.h"
#include "resource.h"
#include "test_files.h"

namespace {

constexpr int kRunTimeoutMs = 20000;
const std::array<const wchar_t*, 7> kKeys = {L"Exist", L"Actief", L"Getoond", L"Naam", L"Tijd", L"Repeat", L"Delete"};

using StoredSlot = std::array<std::optional<std::wstring>, 7>;

StoredSlot ReadSlot(int slot) {
  StoredSlot values;
  for (std::size_t i = 0; i < kKeys.size(); ++i) values[i] = driver::ReadSettingText(std::to_wstring(slot), kKeys[i]);
  return values;
}

bool SlotInUse(int slot) { return driver::ReadSettingText(std::to_wstring(slot), L"Exist") == L"True"; }

driver::ProgramRun Chimewatch(const std::wstring& arguments, const std::wstring& workingDir = {}) {
  return driver::RunProgram(gProgramPath, arguments, kRunTimeoutMs, workingDir);
}

std::wstring Utf16(const std::string& utf8) {
  std::wstring text(utf8.size(), L'\0');
  text.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                           text.data(), static_cast<int>(text.size()))));
  return text;
}

// Calls `each` with the name of each file that matches `pattern`.
void ForEachFile(const std::wstring& pattern, const std::function<void(const std::wstring&)>& each) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) each(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

int FilesIn(const std::wstring& folder) {
  int count = 0;
  ForEachFile(folder + L"*", [&](const std::wstring&) { ++count; });
  return count;
}

// A folder of its own under the prefix's temporary folder, emptied first.
std::wstring TestFolder() {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring folder = std::wstring(temp) + L"chimewatch-transfer\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  ForEachFile(folder + L"*", [&](const std::wstring& name) {
    SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW((folder + name).c_str());
  });
  return folder;
}

// The stored text of a UTC time in this PC's local time.
std::wstring LocalStoredText(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
  const SYSTEMTIME utc{year, month, 0, day, hour, minute, 0, 0};
  SYSTEMTIME local;
  SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
  return StoredTimeText(local);
}

}  // namespace

TEST(CommandLine, RefusesWhatItCannotUnderstandOrReadAndChangesNothing) {
  driver::DeleteAllSettings();
  StoreAlarm(0, L"Kept", LocalTimeFromNow(2, 0), 0, false);
  const StoredSlot before = ReadSlot(0);
  const std::wstring folder = TestFolder();
  // 16 MiB and one byte: refused by its size before a byte is read.
  WriteBytes(folder + L"huge.ics", std::string((16 << 20) + 1, ' '));
  WriteBytes(folder + L"notes.ics", "Shopping list\r\nmilk\r\n");
  const std::wstring old = folder + L"old.ics";
  WriteBytes(old, "old contents");
  SetFileAttributesW(old.c_str(), FILE_ATTRIBUTE_READONLY);
  const int filesBefore = FilesIn(folder);

  const struct {
    std::wstring arguments;
    DWORD exitCode;
    const char* output;  // searched for in what the run printed
  } cases[] = {
      {L"/frobnicate x.ics", 2, "Use: chimewatch\\.exe /export FILE"},
      {L"/export", 2, "Use: chimewatch\\.exe /export FILE"},
      {L"-IMPORT a.ics b.ics", 2, "Use: chimewatch\\.exe /export FILE"},
      {L"x.ics", 2, "Use: chimewatch\\.exe /export FILE"},
      {L"/import " + Quoted(folder + L"missing.ics"), 1, "^Could not read "},
      {L"/import " + Quoted(folder + L"huge.ics"), 1, "larger than 16 MiB"},
      {L"/import " + Quoted(folder + L"notes.ics"), 1, "."},
      // Neither leaves a temporary file behind; the old file stays as it was.
      {L"/export " + Quoted(folder + L"old.ics"), 3, "^Could not write "},
      {L"/export " + Quoted(folder + L"no such folder\\a.ics"), 3, "^Could not write "},
  };
  for (const auto& c : cases) {
    const auto run = Chimewatch(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << testing::PrintToString(c.arguments);
    EXPECT_TRUE(std::regex_search(run.output, std::regex(c.output))) << run.output;
  }
  EXPECT_EQ(driver::ReadFileBytes(old), "old contents");
  EXPECT_EQ(FilesIn(folder), filesBefore);
  EXPECT_EQ(ReadSlot(0), before);
  EXPECT_FALSE(SlotInUse(1));
  driver::DeleteAllSettings();
}

TEST(CommandLine, RoundTripWithoutARunningProgramGivesBackEveryField) {
  driver::DeleteAllSettings();
  StoreAlarm(0, L"Dentist, 3 pm; bring the card", LocalTimeFromNow(2, 75), 0, true);
  StoreAlarm(1, L"Weekly review", LocalTimeFromNow(-3, 10), 2, false, /*actief=*/false);
  StoreAlarm(2, L"Birthday \u00e9\u00e8 \u2603", LocalTimeFromNow(40, 0), 4, false);
  StoreAlarm(3, L"Already shown", LocalTimeFromNow(-10, 0), 0, false, true, /*getoond=*/true);
  StoreAlarm(4, L"Hand-edited repeat", LocalTimeFromNow(1, 0), 7, false);
  std::array<StoredSlot, 5> stored;
  for (int slot = 0; slot < 5; ++slot) stored[static_cast<std::size_t>(slot)] = ReadSlot(slot);
  const std::wstring path = TestFolder() + L"Chimewatch alerts.ics";

  auto run = Chimewatch(L"-EXPORT " + Quoted(path));
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_TRUE(run.marked) << "a new file of output without a byte order mark";
  EXPECT_EQ(Utf16(run.output), L"Exported 5 alerts to " + path + L".\r\n");
  EXPECT_TRUE(driver::ReadFileBytes(path).value_or("").starts_with("BEGIN:VCALENDAR\r\n"));

  driver::DeleteAllSettings();
  run = Chimewatch(L"/Import " + Quoted(path));
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_TRUE(run.output.starts_with("Imported 5 alerts from Chimewatch alerts.ics.")) << run.output;
  for (int slot = 0; slot < 5; ++slot) EXPECT_EQ(ReadSlot(slot), stored[static_cast<std::size_t>(slot)]) << slot;

  // The same file again adds nothing.
  run = Chimewatch(L"/import " + Quoted(path));
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_FALSE(SlotInUse(5)) << run.output;
  driver::DeleteAllSettings();
}

TEST(CommandLine, HandsOverToTheRunningProgramAlsoWhileItsEditorIsOpen) {
  ChimewatchSession session;
  StoreAlarm(0, L"Existing", LocalTimeFromNow(1, 0), 0, false);
  session.Start();
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ListViewRowCount(session.AlarmList()) == 1; }, 3000));

  // Outlook and Exchange name Windows zones, by key or by display text.
  const std::wstring folder = TestFolder();
  WriteBytes(
      folder + L"Sydney.ics",
      OtherCalendar(Event("By key name", ";TZID=AUS Eastern Standard Time:20300115T133000") +
                    Event("By display name", ";TZID=\"(GMT+10:00) Canberra, Melbourne, Sydney\":20300115T133000") +
                    Event("Standup", ":20300201T090000Z", "RRULE:FREQ=DAILY\n")));
  // A name relative to the folder the command runs in, not the running program's.
  auto run = Chimewatch(L"/import Sydney.ics", folder);
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_TRUE(run.output.starts_with("Imported 3 alerts from Sydney.ics.")) << run.output;
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ListViewRowCount(session.AlarmList()) == 4; }, 3000))
      << "the open list does not show the new alerts";
  // 13:30 in Sydney's summer is 02:30 UTC.
  for (const auto& [slot, naam] : {std::pair{L"1", L"By key name"}, std::pair{L"2", L"By display name"}}) {
    EXPECT_EQ(driver::ReadSettingText(slot, L"Naam"), naam);
    EXPECT_EQ(driver::ReadSettingText(slot, L"Tijd"), LocalStoredText(2030, 1, 15, 2, 30));
  }
  EXPECT_EQ(driver::ReadSettingText(L"3", L"Repeat"), L"1");

  // The editor for a new alert holds slot 4: the import takes slot 5.
  driver::PostClick(driver::FindChildById(setup, IDC_CMDNIEUW));
  HWND editor = session.WaitForEditor();
  ASSERT_NE(editor, nullptr);
  WriteBytes(folder + L"Call.ics", OtherCalendar(Event("Call mum", ":20300301T170000Z")));
  run = Chimewatch(L"/import " + Quoted(folder + L"Call.ics"));
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  driver::PostClick(driver::FindChildById(editor, IDC_CMDOK));
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));
  EXPECT_EQ(driver::ReadSettingText(L"4", L"Naam"), L"Alert !!");
  EXPECT_EQ(driver::ReadSettingText(L"5", L"Naam"), L"Call mum");
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ListViewRowCount(session.AlarmList()) == 6; }, 3000));

  // The running program writes the export from its own table.
  run = Chimewatch(L"/export " + Quoted(folder + L"out.ics"));
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(Utf16(run.output), L"Exported 6 alerts to " + folder + L"out.ics.\r\n");
  EXPECT_NE(driver::ReadFileBytes(folder + L"out.ics").value_or("").find("SUMMARY:Call mum\r\n"), std::string::npos);
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(CommandLine, HandsOverWhileAnAlarmBoxIsOpen) {
  ChimewatchSession session;
  const auto box = session.StartWithAlarmBox(L"Due now");
  ASSERT_TRUE(box) << "no alarm box";
  const std::wstring path = TestFolder() + L"Later.ics";
  WriteBytes(path, OtherCalendar(Event("Later", ":20300501T120000Z")));
  const auto run = Chimewatch(L"/import " + Quoted(path));
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(driver::ReadSettingText(L"1", L"Naam"), L"Later");
  EXPECT_TRUE(IsWindow(box->hwnd)) << "the box closed";
  driver::Answer(box->hwnd, IDOK);
  EXPECT_EQ(session.Exit(), 0u);
}

// A command that comes while Chimewatch starts (a start at sign-in next to
// a scripted backup) waits for the loaded alerts: an export holds every
// stored alert, an import overwrites none.
TEST(CommandLine, RightAfterAStartSeesEveryStoredAlert) {
  const std::wstring folder = TestFolder();
  WriteBytes(folder + L"two.ics",
             OtherCalendar(Event("First new", ":20300601T080000Z") + Event("Second new", ":20300602T080000Z")));
  constexpr int kStored = 7;
  for (const int delayMs : {0, 200, 400, 700, 1000}) {
    for (const bool import : {false, true}) {
      SCOPED_TRACE(std::to_string(delayMs) + (import ? " ms, import" : " ms, export"));
      driver::DeleteAllSettings();
      for (int slot = 0; slot < kStored; ++slot)
        StoreAlarm(slot, L"Stored " + std::to_wstring(slot), LocalTimeFromNow(1, slot), 0, false);
      std::array<StoredSlot, kStored> stored;
      for (int slot = 0; slot < kStored; ++slot) stored[static_cast<std::size_t>(slot)] = ReadSlot(slot);

      driver::Program start(gProgramPath);
      Sleep(static_cast<DWORD>(delayMs));
      const auto run = import ? Chimewatch(L"/import " + Quoted(folder + L"two.ics"))
                              : Chimewatch(L"/export " + Quoted(folder + L"out.ics"));
      EXPECT_EQ(run.exitCode, 0u) << run.output;
      if (import) {
        for (int slot = 0; slot < kStored; ++slot) EXPECT_EQ(ReadSlot(slot), stored[static_cast<std::size_t>(slot)]);
        EXPECT_TRUE(SlotInUse(kStored) && SlotInUse(kStored + 1)) << run.output;
      } else {
        const std::string file = driver::ReadFileBytes(folder + L"out.ics").value_or("");
        std::size_t events = 0;
        for (std::size_t at = file.find("BEGIN:VEVENT"); at != std::string::npos;
             at = file.find("BEGIN:VEVENT", at + 1))
          ++events;
        EXPECT_EQ(events, static_cast<std::size_t>(kStored)) << run.output;
      }
      HWND main = driver::WaitForWindow(start.Id(), L"ChimewatchMain", L"Form1", 5000, false);
      if (main) driver::PostCommand(main, IDM_SLUITEN);
      EXPECT_EQ(start.WaitForExit(5000), 0u);
    }
  }
  driver::DeleteAllSettings();
}

namespace {

// Plays a running Chimewatch on a thread of its own: holds the session's
// lock and, with a window, answers each hand-over with `answer` after
// `delayMs`. The Ending answer lets the lock go, as an ending program does.
class StandIn {
 public:
  enum class Window { None, Answers };
  static constexpr LRESULT kNotReady = 0x43580000;
  static constexpr LRESULT kEnding = 0x43590000;
  static constexpr LRESULT kTaken = 0x435A0000;  // the result is to follow

  StandIn(Window window, LRESULT answer, DWORD delayMs) : window_(window), answer_(answer), delayMs_(delayMs) {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, &threadId_);
    WaitForSingleObject(ready_, 5000);
  }
  ~StandIn() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 30000);
    CloseHandle(thread_);
    CloseHandle(ready_);
  }
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;

  HWND MainWindow() const { return hwnd_; }
  // The command's reply window, from the last request.
  HWND ReplyWindow() const { return reply_; }
  // The token the result must carry, from the last request.
  std::uint64_t Token() const { return token_; }
  // Ends as a program does that ends without a word.
  void Vanish() { PostThreadMessageW(threadId_, WM_QUIT, 0, 0); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcW(hwnd, message, wParam, lParam);
    auto* self = reinterpret_cast<StandIn*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    std::uint32_t reply = 0;
    std::uint64_t token = 0;
    if (data.cbData >= 8) std::memcpy(&reply, static_cast<const char*>(data.lpData) + 4, sizeof reply);
    if (data.cbData >= 24) std::memcpy(&token, static_cast<const char*>(data.lpData) + 16, sizeof token);
    self->token_ = token;
    self->reply_ = reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(reply)));
    Sleep(self->delayMs_);
    if (self->answer_ == kEnding) PostQuitMessage(0);
    return self->answer_;
  }

  static DWORD WINAPI Run(void* parameter) {
    auto* self = static_cast<StandIn*>(parameter);
    HANDLE lock = CreateMutexW(nullptr, TRUE, L"Local\\Chimewatch.SingleInstance");
    HWND window = nullptr;
    if (self->window_ == Window::Answers) {
      WNDCLASSW windowClass = {};
      windowClass.lpfnWndProc = WindowProc;
      windowClass.lpszClassName = L"ChimewatchMain";
      RegisterClassW(&windowClass);
      window = CreateWindowW(L"ChimewatchMain", L"Form1", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                             nullptr);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->hwnd_ = window;
    }
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
    SetEvent(self->ready_);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    if (window) DestroyWindow(window);
    UnregisterClassW(L"ChimewatchMain", nullptr);
    ReleaseMutex(lock);
    CloseHandle(lock);
    return 0;
  }

  Window window_;
  LRESULT answer_;
  DWORD delayMs_;
  HWND hwnd_ = nullptr;
  std::atomic<HWND> reply_ = nullptr;
  std::atomic<std::uint64_t> token_ = 0;
  HANDLE ready_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
};

}  // namespace

// Each way a running program or the lock can answer a command has its own
// exit code and words.
TEST(CommandLine, EachAnswerOfTheRunningProgramHasItsOwnExitCode) {
  driver::DeleteAllSettings();
  StoreAlarm(0, L"Stored", LocalTimeFromNow(1, 0), 0, false);
  const std::wstring path = TestFolder() + L"answers.ics";
  const struct {
    const char* what;
    StandIn::Window window;
    LRESULT answer;
    DWORD delayMs;
    DWORD exitCode;
    const char* output;
  } cases[] = {
      {"another command holds the lock", StandIn::Window::None, 0, 0, 5, "^Another Chimewatch command kept the alerts"},
      {"still starting", StandIn::Window::Answers, StandIn::kNotReady, 0, 5, "^Chimewatch was busy \\(starting"},
      {"ending, then gone", StandIn::Window::Answers, StandIn::kEnding, 0, 0, "^Exported 1 alert to "},
      {"answers too late", StandIn::Window::Answers, 0x43570000, 16000, 4, "did not answer within 10 seconds"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const StandIn running(c.window, c.answer, c.delayMs);
    const auto run = Chimewatch(L"/export " + Quoted(path));
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    EXPECT_TRUE(std::regex_search(run.output, std::regex(c.output))) << run.output;
  }
  driver::DeleteAllSettings();
}

// A request that reaches the running program after its sender gave up is
// answered, and never done.
TEST(CommandLine, TheRunningProgramDropsARequestPastItsDeadline) {
  ChimewatchSession session;
  session.Start();
  const std::wstring path = TestFolder() + L"late.ics";
  WriteBytes(path, OtherCalendar(Event("Too late", ":20300501T120000Z")));
  HWND reply = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  struct {
    std::uint32_t kind = 2;  // import
    std::uint32_t replyWindow;
    std::uint64_t deadline;
    std::uint64_t token;
  } header{2, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(reply)), GetTickCount64() - 1, 7};
  std::string payload(reinterpret_cast<const char*>(&header), sizeof header);
  payload.append(reinterpret_cast<const char*>(path.data()), path.size() * sizeof(wchar_t));
  COPYDATASTRUCT data{0x43574834, static_cast<DWORD>(payload.size()), payload.data()};
  const LRESULT answer =
      SendMessageW(session.MainWindow(), WM_COPYDATA, reinterpret_cast<WPARAM>(reply), reinterpret_cast<LPARAM>(&data));
  EXPECT_EQ(answer, 0x43570000 | 4);
  EXPECT_FALSE(SlotInUse(0));
  DestroyWindow(reply);
  EXPECT_EQ(session.Exit(), 0u);
}

namespace {

// Sends a hand-over result to the command's reply window, naming `sender`
// as the window it comes from.
bool SendResult(HWND reply, HWND sender, std::uint64_t token, std::uint32_t code, const std::wstring& summary) {
  const std::uint32_t header[] = {static_cast<std::uint32_t>(token), static_cast<std::uint32_t>(token >> 32), code, 0};
  std::string payload(reinterpret_cast<const char*>(header), sizeof header);
  payload.append(reinterpret_cast<const char*>(summary.data()), summary.size() * sizeof(wchar_t));
  COPYDATASTRUCT data{0x43574835, static_cast<DWORD>(payload.size()), payload.data()};
  DWORD_PTR taken = 0;
  SendMessageTimeoutW(reply, WM_COPYDATA, reinterpret_cast<WPARAM>(sender), reinterpret_cast<LPARAM>(&data),
                      SMTO_NORMAL, 2000, &taken);
  return taken != 0;
}

}  // namespace

// Once the running program took the request, the command waits for its
// result as long as the work runs, takes it from that program's window
// only, and ends with its own code when the program ends without one.
TEST(CommandLine, TakesTheResultOnlyFromTheRunningProgramAndOutlivesNone) {
  driver::DeleteAllSettings();
  const std::wstring path = TestFolder() + L"taken.ics";
  {
    StandIn running(StandIn::Window::Answers, StandIn::kTaken, 0);
    driver::Program command(gProgramPath, L"/export " + Quoted(path));
    ASSERT_TRUE(driver::WaitUntil([&] { return running.ReplyWindow() != nullptr; }, 10000)) << "no request";
    // A forger: another window, or none, or the running program's window
    // named without the request's token.
    HWND forger = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const std::uint64_t token = running.Token();
    EXPECT_FALSE(SendResult(running.ReplyWindow(), forger, token, 0, L"Exported 999 alerts to forged.ics."));
    EXPECT_FALSE(SendResult(running.ReplyWindow(), nullptr, token, 0, L"Exported 999 alerts to forged.ics."));
    EXPECT_FALSE(SendResult(running.ReplyWindow(), running.MainWindow(), token + 1, 0, L"Exported 999 alerts."));
    DestroyWindow(forger);
    // Longer than the 10 s a request may wait to be taken: the work runs on.
    EXPECT_FALSE(command.WaitForExit(12000)) << "ended while the work ran";
    EXPECT_TRUE(SendResult(running.ReplyWindow(), running.MainWindow(), token, 3, L"Could not write it."));
    EXPECT_EQ(command.WaitForExit(5000), 3u);
  }
  StandIn running(StandIn::Window::Answers, StandIn::kTaken, 0);
  const driver::Program command(gProgramPath, L"/export " + Quoted(path));
  ASSERT_TRUE(driver::WaitUntil([&] { return running.ReplyWindow() != nullptr; }, 10000)) << "no request";
  running.Vanish();
  EXPECT_EQ(command.WaitForExit(10000), 6u) << "the program ended without a result";
}

// The list removes the row of the alert it deleted, also when an import
// sorted the rows anew while it asked.
TEST(ListWindow, RemovesTheRightRowWhenAnImportComesDuringTheQuestion) {
  ChimewatchSession session;
  StoreAlarm(0, L"Keep me", LocalTimeFromNow(2, 0), 0, false);
  StoreAlarm(1, L"Remove me", LocalTimeFromNow(3, 0), 0, false);
  session.Start();
  HWND list = session.OpenList() ? session.AlarmList() : nullptr;
  ASSERT_NE(list, nullptr);
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ListViewRowCount(list) == 2; }, 3000));
  ASSERT_TRUE(driver::ClickListViewRow(list, 1));
  driver::PostClick(driver::FindChildById(session.SetupWindow(), IDC_CMDREMOVE));
  const auto question = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(question) << "no question";

  // Due tomorrow (a floating time: this PC's clock), so sorted first: the
  // rows move while the question is up.
  const SYSTEMTIME tomorrow = LocalTimeFromNow(1, 0);
  char start[32];
  snprintf(start, sizeof start, ":%04u%02u%02uT%02u%02u00", tomorrow.wYear, tomorrow.wMonth, tomorrow.wDay,
           tomorrow.wHour, tomorrow.wMinute);
  const std::wstring path = TestFolder() + L"early.ics";
  WriteBytes(path, OtherCalendar(Event("Early", start)));
  const auto run = Chimewatch(L"/import " + Quoted(path));
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ListViewRowCount(list) == 3; }, 3000));
  driver::Answer(question->hwnd, IDYES);

  EXPECT_TRUE(driver::WaitUntil([&] { return !SlotInUse(1); }, 3000));
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ListViewRowCount(list) == 2; }, 3000));
  for (int row = 0; row < 2; ++row) EXPECT_NE(driver::ListViewCell(list, row, 1), L"Remove me");
  EXPECT_EQ(session.Exit(), 0u);
}

// A large file handed to the running program is read on a thread of its
// own: an alert that falls due meanwhile shows at once, and the import
// still ends well.
TEST(CommandLine, AnAlertShowsWhileALargeFileIsRead) {
  ChimewatchSession session;
  StoreAlarm(0, L"Due during the import", LocalTimeFromNow(0, -1), 0, false);
  session.Start();
  std::string events;
  for (int i = 0; events.size() < (15u << 20); ++i) {
    events += Event("Big " + std::to_string(i), ":20300101T120000Z", "DESCRIPTION:" + std::string(200, 'x') + "\n");
  }
  const std::wstring path = TestFolder() + L"large.ics";
  WriteBytes(path, OtherCalendar(events));
  const int threadsBefore = ThreadsOf(session.Pid());
  driver::Program importing(gProgramPath, L"/import " + Quoted(path));
  ASSERT_TRUE(driver::WaitUntil([&] { return ThreadsOf(session.Pid()) > threadsBefore; }, 10000))
      << "the file is not read on a thread of its own";
  session.AlarmTick();
  const auto box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box) << "no alarm box";
  EXPECT_TRUE(importing.Running()) << "the box came only after the import";
  driver::Answer(box->hwnd, IDOK);
  EXPECT_EQ(importing.WaitForExit(20000), 0u);
  EXPECT_EQ(driver::ReadSettingText(L"1", L"Naam"), L"Big 0");
  EXPECT_EQ(session.Exit(), 0u);
}

namespace {

HWND FileNameField(HWND fileDialog) {
  // The edit of the combo box cmb13 (0x47c).
  for (HWND child : driver::ChildWindows(fileDialog)) {
    if (driver::ClassName(child) == L"Edit" && GetDlgCtrlID(child) == 0x47c) return child;
  }
  return nullptr;
}

}  // namespace

TEST(TrayMenu, ExportProposesItsFileNameAndImportGoesThroughTheOpenDialog) {
  ChimewatchSession session;
  session.Start();
  session.Command(IDM_EXPORT);
  HWND saveAs = driver::WaitForWindow(session.Pid(), L"#32770", L"Save As", 10000);
  ASSERT_NE(saveAs, nullptr) << "no Save As dialog";
  EXPECT_EQ(driver::GetText(FileNameField(saveAs)), L"Chimewatch alerts.ics");
  session.Command(IDM_IMPORT);
  EXPECT_EQ(driver::WaitForWindow(session.Pid(), L"#32770", L"Open", 1000), nullptr) << "a second dialog";
  driver::PostCommand(saveAs, IDCANCEL);
  EXPECT_TRUE(driver::WaitForWindowGone(saveAs, 5000));
  EXPECT_FALSE(driver::WaitForMessageBox(session.Pid(), 500)) << "a box after Cancel";

  const std::wstring path = TestFolder() + L"Dentist.ics";
  WriteBytes(path, OtherCalendar(Event("Dentist", ":20300410T080000Z",
                                       "BEGIN:VALARM\nACTION:DISPLAY\n"
                                       "DESCRIPTION:Dentist\nTRIGGER:-PT30M\n"
                                       "END:VALARM\n")));

  session.TrayMouse(WM_RBUTTONUP);
  HWND menu = driver::WaitForPopupMenu(3000);
  ASSERT_NE(menu, nullptr);
  Sleep(300);  // painted
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\tray-menu.png", menu));
  driver::ChooseMenuItemByKeys(menu, 5);  // Setup, Active, Wait while presenting, Export, Import alerts...

  HWND open = driver::WaitForWindow(session.Pid(), L"#32770", L"Open", 10000);
  ASSERT_NE(open, nullptr) << "no Open dialog";
  HWND name = FileNameField(open);
  ASSERT_NE(name, nullptr) << "no file name field";
  Sleep(300);
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\import-open-dialog.png", open));
  driver::SetText(name, path);
  driver::PostCommand(open, IDOK);
  ASSERT_TRUE(driver::WaitForWindowGone(open, 5000));

  const auto box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box) << "no summary";
  EXPECT_EQ(box->caption, L"Chimewatch");
  EXPECT_TRUE(box->text.starts_with(L"Imported 1 alert from Dentist.ics.")) << testing::PrintToString(box->text);
  EXPECT_EQ(box->icon, driver::BoxIcon::Information);
  // Shown by the hidden tray window, it has no taskbar button: it must come
  // to the front by itself (Wine shows either way; Windows does not).
  EXPECT_TRUE(box->topmost);
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\import-summary.png", box->hwnd));
  driver::Answer(box->hwnd, IDOK);
  // Reminded 30 minutes before the start, as the other calendar would.
  EXPECT_EQ(driver::ReadSettingText(L"0", L"Naam"), L"Dentist");
  EXPECT_EQ(driver::ReadSettingText(L"0", L"Tijd"), LocalStoredText(2030, 4, 10, 7, 30));
  EXPECT_EQ(session.Exit(), 0u);
}

// The test holds the session's lock as a command-line run working on the
// store would: a normal start and a command-line export both wait for it,
// however long, and are done when it comes free.
TEST(OneChimewatch, StartsWaitWhileTheLockIsHeld) {
  ChimewatchSession session;
  StoreAlarm(0, L"Waiting", LocalTimeFromNow(1, 0), 0, false);
  const std::wstring path = TestFolder() + L"waited.ics";
  HANDLE lock = CreateMutexW(nullptr, TRUE, L"Local\\Chimewatch.SingleInstance");
  ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  driver::Program start(gProgramPath);
  driver::Program exportRun(gProgramPath, L"/export " + Quoted(path));
  EXPECT_EQ(driver::WaitForWindow(start.Id(), L"ChimewatchMain", L"Form1", 1500, false), nullptr)
      << "started while the lock was held";
  EXPECT_TRUE(start.Running());
  EXPECT_TRUE(exportRun.Running());
  // Longer than a start once waited before it ended without a word.
  Sleep(5000);
  EXPECT_TRUE(start.Running()) << "gave up while the lock was held";
  ReleaseMutex(lock);
  CloseHandle(lock);

  EXPECT_EQ(exportRun.WaitForExit(10000), 0u);
  EXPECT_TRUE(driver::ReadFileBytes(path));
  HWND main = driver::WaitForWindow(start.Id(), L"ChimewatchMain", L"Form1", 5000, false);
  EXPECT_NE(main, nullptr) << "did not start when the lock came free";
  if (main) driver::PostCommand(main, IDM_SLUITEN);
  EXPECT_EQ(start.WaitForExit(5000), 0u);
}

// The lock of a Chimewatch running as administrator exists, but a normal
// program may not open it (here: a lock whose security lets no one in):
// a start says so instead of running a second copy, and a command ends
// with its own code.
TEST(OneChimewatch, ALockThatCannotBeOpenedIsAChimewatchRunningAsAdministrator) {
  driver::DeleteAllSettings();
  SECURITY_DESCRIPTOR noOne;
  InitializeSecurityDescriptor(&noOne, SECURITY_DESCRIPTOR_REVISION);
  ACL empty;
  InitializeAcl(&empty, sizeof empty, ACL_REVISION);
  SetSecurityDescriptorDacl(&noOne, TRUE, &empty, FALSE);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &noOne, FALSE};
  HANDLE lock = CreateMutexW(&attributes, TRUE, L"Local\\Chimewatch.SingleInstance");
  ASSERT_NE(lock, nullptr);

  const auto run = Chimewatch(L"/export " + Quoted(TestFolder() + L"elevated.ics"));
  EXPECT_EQ(run.exitCode, 7u) << run.output;
  EXPECT_TRUE(run.output.starts_with("Chimewatch is already running as administrator.")) << run.output;
  driver::Program start(gProgramPath);
  const auto box = driver::WaitForMessageBox(start.Id(), 10000);
  ASSERT_TRUE(box) << "no word";
  EXPECT_TRUE(box->text.starts_with(L"Chimewatch is already running as administrator."))
      << testing::PrintToString(box->text);
  EXPECT_TRUE(box->topmost) << "a box at sign-in must come to the front by itself";
  EXPECT_EQ(driver::WaitForWindow(start.Id(), L"ChimewatchMain", L"Form1", 200, false), nullptr) << "a second copy";
  driver::Answer(box->hwnd, IDOK);
  EXPECT_EQ(start.WaitForExit(5000), 7u);
  ReleaseMutex(lock);
  CloseHandle(lock);
}

namespace {

// How long one flush of a small new file takes in this process.
ULONGLONG OneFlushMs(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "x", 1, &written, nullptr);
  const ULONGLONG start = GetTickCount64();
  FlushFileBuffers(file);
  const ULONGLONG took = GetTickCount64() - start;
  CloseHandle(file);
  DeleteFileW(path.c_str());
  return took;
}

// The alerts a portable chimewatch.ini holds (UTF-16).
int StoredAlertsIn(const std::wstring& ini) {
  const std::string bytes = driver::ReadFileBytes(ini).value_or("");
  std::wstring text(bytes.size() / 2, L'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
  int count = 0;
  for (std::size_t at = text.find(L"Exist=True"); at != std::wstring::npos; at = text.find(L"Exist=True", at + 1))
    ++count;
  return count;
}

std::size_t EventsIn(const std::wstring& path) {
  const std::string file = driver::ReadFileBytes(path).value_or("");
  std::size_t events = 0;
  for (std::size_t at = file.find("BEGIN:VEVENT"); at != std::string::npos; at = file.find("BEGIN:VEVENT", at + 1))
    ++events;
  return events;
}

}  // namespace

// On a slow disk (each flush 200 ms, as on a USB stick or a network share,
// and 4 s on the "slow-share" folder; run under tests/windows/slow_disk's
// library), a portable Chimewatch that
// is handed an import of 101 alerts and an export ends each command with
// the code of what it stored and wrote, and its tip counts on meanwhile.
TEST(SlowDisk, AHandedOverImportAndExportEndWithWhatWasDoneAndTheTipGoesOn) {
  const std::wstring folder = TestFolder();
  ASSERT_GE(OneFlushMs(folder + L"probe.tmp"), 150u) << "no slow disk: LD_PRELOAD did not reach Wine";
  const std::wstring program = folder + L"chimewatch.exe";
  ASSERT_TRUE(CopyFileW(gProgramPath.c_str(), program.c_str(), FALSE));
  WriteBytes(folder + L"chimewatch.ini", "; Chimewatch keeps its alerts in this file.\r\n");
  std::string events;
  for (int i = 0; i < 101; ++i) events += Event("Slow " + std::to_string(i), ":20300101T080000Z");
  WriteBytes(folder + L"many.ics", OtherCalendar(events));
  {
    const driver::Program running(program);
    HWND main = driver::WaitForWindow(running.Id(), L"ChimewatchMain", std::nullopt, 10000, false);
    ASSERT_NE(main, nullptr);
    const ULONGLONG start = GetTickCount64();
    const auto run = driver::RunProgram(program, L"/import " + Quoted(folder + L"many.ics"), 40000);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.output.starts_with("Imported 101 alerts from many.ics.")) << run.output;
    EXPECT_EQ(StoredAlertsIn(folder + L"chimewatch.ini"), 101);
    EXPECT_LT(GetTickCount64() - start, 5000u) << "a flush per alert";
    driver::PostCommand(main, IDM_SLUITEN);
    EXPECT_EQ(running.WaitForExit(10000), 0u);
  }
  // A share at its worst, where the export's flush takes 4 s: the tip
  // counts on while the file is written.
  const std::wstring share = folder + L"slow-share\\";
  CreateDirectoryW(share.c_str(), nullptr);
  DeleteFileW((share + L"out.ics").c_str());
  const driver::Program running(program);
  HWND main = driver::WaitForWindow(running.Id(), L"ChimewatchMain", std::nullopt, 10000, false);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(
      driver::WaitForTrayTip([](const std::wstring& tip) { return tip.starts_with(L"Chimewatch (active)  "); }, 5000));
  const ULONGLONG start = GetTickCount64();
  const driver::Program exporting(program, L"/export " + Quoted(share + L"out.ics"));
  std::set<std::wstring> tips;
  while (exporting.Running() && GetTickCount64() - start < 30000) {
    for (const std::wstring& tip : driver::TrayTips()) {
      if (tip.starts_with(L"Chimewatch")) tips.insert(tip);
    }
    Sleep(100);
  }
  EXPECT_EQ(exporting.WaitForExit(1000), 0u);
  EXPECT_GE(GetTickCount64() - start, 3500u) << "the export's flush was not slow";
  EXPECT_EQ(EventsIn(share + L"out.ics"), 101u);
  EXPECT_GE(tips.size(), 3u) << "the tip stood still while the file was written";
  driver::PostCommand(main, IDM_SLUITEN);
  EXPECT_EQ(running.WaitForExit(10000), 0u);
}

// The calendars of other programs, each into an empty store: none fails,
// and what is stored is always a well-formed alert.
TEST(RealCalendars, EachImportsIntoAnEmptyStore) {
  if (GetFileAttributesW(gSamplesFolder.c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "no sample calendars at " << testing::PrintToString(gSamplesFolder);
  // What a well-formed alert holds under each of kKeys.
  const std::array<const wchar_t*, 7> wellFormed = {
      L"True",  L"True|False", L"True|False", L"[\\s\\S]*", L"\\d\\d:\\d\\d \\d{4}/\\d\\d/\\d\\d",
      L"[0-4]", L"True|False"};
  int files = 0;
  ForEachFile(gSamplesFolder + L"\\*.ics", [&](const std::wstring& name) {
    ++files;
    SCOPED_TRACE(testing::PrintToString(name));
    driver::DeleteAllSettings();
    const auto run = Chimewatch(L"/import " + Quoted(gSamplesFolder + L"\\" + name));
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.output.starts_with("Imported ")) << run.output;
    for (int slot = 0; slot <= 100; ++slot) {
      const StoredSlot values = ReadSlot(slot);
      if (!values[0]) continue;
      SCOPED_TRACE("slot " + std::to_string(slot));
      for (std::size_t key = 0; key < kKeys.size(); ++key) {
        EXPECT_TRUE(values[key] && std::regex_match(*values[key], std::wregex(wellFormed[key])))
            << testing::PrintToString(kKeys[key]);
      }
    }
    if (name == L"owncloud_yearly_unicode.ics") {
      // All day on 14 July, each year: the next one at 00:00.
      SYSTEMTIME today;
      GetLocalTime(&today);
      const int year = today.wMonth > 7 || (today.wMonth == 7 && today.wDay > 14) ? today.wYear + 1 : today.wYear;
      EXPECT_EQ(driver::ReadSettingText(L"0", L"Naam"), L"F\u00eate Nationale - F\u00e9ri\u00e9");
      EXPECT_EQ(driver::ReadSettingText(L"0", L"Tijd"), L"00:00 " + std::to_wstring(year) + L"/07/14");
      EXPECT_EQ(driver::ReadSettingText(L"0", L"Repeat"), L"4");
    }
  });
  EXPECT_GT(files, 0);
  driver::DeleteAllSettings();
}

// "Exit" while a command's hostile file is read (zones of 128 rules, some
// matching on 29 February only, and events in years of their own): the
// program ends within a second, so its lock is free for the next start,
// and the command hears that nothing was done.
TEST(CommandLine, ExitWhileAFileIsReadEndsWithinASecond) {
  ChimewatchSession session;
  session.Start();
  std::string calendar;
  const char* rules[] = {"BYMONTH=2;BYMONTHDAY=29", "BYMONTH=3;BYDAY=-1SU", "BYMONTH=2;BYDAY=5SU",
                         "BYMONTH=10;BYDAY=-1SU"};
  for (int zone = 0; zone < 29; ++zone) {
    calendar += "BEGIN:VTIMEZONE\nTZID:Leap" + std::to_string(zone) + "\n";
    for (int k = 0; k < 128; ++k) {
      calendar += "BEGIN:STANDARD\nDTSTART:" + std::to_string(1604 + 4 * (k % 24)) + "0229T020000\nTZOFFSETFROM:+0" +
                  std::to_string(k % 10) + "00\nTZOFFSETTO:+0" + std::to_string((k + 1) % 10) +
                  "00\nRRULE:FREQ=YEARLY;" + rules[k % 4] + "\nEND:STANDARD\n";
    }
    calendar += "END:VTIMEZONE\n";
  }
  for (int i = 0; calendar.size() < (15u << 20); ++i) {
    calendar += Event("Leap " + std::to_string(i), ";TZID=Leap" + std::to_string(i % 29) + ":" +
                                                       std::to_string(1700 + (i * 7919) % 8000) + "0301T120000");
  }
  const std::wstring path = TestFolder() + L"leap zones.ics";
  WriteBytes(path, OtherCalendar(calendar));
  const int threadsBefore = ThreadsOf(session.Pid());
  driver::Program importing(gProgramPath, L"/import " + Quoted(path));
  ASSERT_TRUE(driver::WaitUntil([&] { return ThreadsOf(session.Pid()) > threadsBefore; }, 10000)) << "not read";
  Sleep(300);  // well into the file
  EXPECT_EQ(session.Exit(1000), 0u) << "still running a second after Exit";
  EXPECT_EQ(importing.WaitForExit(10000), 5u);  // ended before it imported: nothing done
  driver::Program next(gProgramPath);
  EXPECT_NE(driver::WaitForWindow(next.Id(), L"ChimewatchMain", L"Form1", 5000, false), nullptr) << "no new start";
  if (HWND main = driver::WaitForWindow(next.Id(), L"ChimewatchMain", L"Form1", 0, false)) {
    driver::PostCommand(main, IDM_SLUITEN);
  }
  EXPECT_EQ(next.WaitForExit(5000), 0u);
}
