// Followed calendars end to end, against a real HTTP server on 127.0.0.1
// (tests/windows/follow/calendar_server.py, started by the ctest entry):
// /follow, /refresh, /unfollow and /agenda, the reminders' boxes at their
// minute and at start, the conditional fetch, bad answers, and Exit during
// a slow fetch.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include <windows.h>
#include <shlobj.h>
#include <wincred.h>
#include <wincrypt.h>

#include "chimewatch_session.h"
#include "resource.h"
#include "test_files.h"

namespace {

constexpr int kRunTimeoutMs = 30000;

std::wstring Environment(const wchar_t* name) {
  wchar_t value[1024];
  const DWORD length = GetEnvironmentVariableW(name, value, 1024);
  return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

std::wstring Server(const std::wstring& path) { return Environment(L"CHIMEWATCH_CALENDAR_SERVER") + path; }

// The server's folder, which Wine shows on drive Z:.
std::wstring ServedFile(const std::wstring& name) {
  std::wstring folder = L"Z:" + Environment(L"CHIMEWATCH_CALENDAR_FOLDER") + L"/" + name;
  for (wchar_t& c : folder) c = c == L'/' ? L'\\' : c;
  return folder;
}

void WriteServed(const std::wstring& name, const std::string& bytes) { WriteBytes(ServedFile(name), bytes); }

std::string ServerLog() { return driver::ReadFileBytes(ServedFile(L"requests.log")).value_or(""); }

std::string Stamp(const SYSTEMTIME& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u%02u%02uT%02u%02u00", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
  return text;
}

// One event in the PC's own time, with an alarm `alarmMinutes` before its start.
std::string TimedEvent(const std::string& uid, const std::string& summary, const SYSTEMTIME& start,
                       const SYSTEMTIME& end, int alarmMinutes) {
  return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nSUMMARY:" + summary + "\r\nDTSTART:" + Stamp(start) +
         "\r\nDTEND:" + Stamp(end) + "\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT" +
         std::to_string(alarmMinutes) + "M\r\nEND:VALARM\r\nEND:VEVENT\r\n";
}

std::string Calendar(const std::string& events) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Tests//EN\r\nX-WR-CALNAME:Team\r\n" + events +
         "END:VCALENDAR\r\n";
}

driver::ProgramRun Chimewatch(const std::wstring& arguments) {
  return driver::RunProgram(gProgramPath, arguments, kRunTimeoutMs);
}

std::wstring LocalAppDataCopies() {
  wchar_t* local = nullptr;
  SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local);
  std::wstring folder = std::wstring(local) + L"\\Chimewatch\\Calendars";
  CoTaskMemFree(local);
  return folder;
}

int FilesMatching(const std::wstring& pattern) {
  int count = 0;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) ++count;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return count;
}

void DeleteCopies() {
  const std::wstring folder = LocalAppDataCopies();
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    DeleteFileW((folder + L"\\" + found.cFileName).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// Waits, if need be, until the minute has 30 seconds or more left, so that
// what a test does before the next minute is done before it.
void StartClearOfTheMinute() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  if (now.wSecond >= 30) Sleep((61 - now.wSecond) * 1000u);
}

int MillisecondsUntil(const SYSTEMTIME& local) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME from, to;
  SystemTimeToFileTime(&now, &from);
  SystemTimeToFileTime(&local, &to);
  const auto ticks = [](const FILETIME& time) {
    return static_cast<long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
  };
  return static_cast<int>(std::max(0LL, (ticks(to) - ticks(from)) / 10000));
}

// A file in Radicale's throw-away folder.
std::wstring RadicaleFile(const std::wstring& name) {
  std::wstring path = L"Z:" + Environment(L"CHIMEWATCH_RADICALE_FOLDER") + L"/" + name;
  for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
  return path;
}

// Answers the password dialog of the running program.
void GivePassword(DWORD pid, const std::wstring& password) {
  HWND dialog = driver::WaitForWindow(pid, L"ChimewatchPassword", std::nullopt, 10000);
  ASSERT_NE(dialog, nullptr);
  driver::SetText(driver::FindChildById(dialog, IDC_TXTPASSWORD), password);
  driver::PostClick(driver::FindChildById(dialog, IDC_CMDOK));
}

std::optional<std::wstring> KeptPassword(const std::wstring& address) {
  PCREDENTIALW credential = nullptr;
  if (!CredReadW((L"Chimewatch:" + address).c_str(), CRED_TYPE_GENERIC, 0, &credential)) return std::nullopt;
  std::wstring password(reinterpret_cast<const wchar_t*>(credential->CredentialBlob),
                        credential->CredentialBlobSize / sizeof(wchar_t));
  CredFree(credential);
  return password;
}

class FollowedCalendar : public testing::Test {
 protected:
  void SetUp() override {
    if (Environment(L"CHIMEWATCH_CALENDAR_SERVER").empty()) GTEST_SKIP() << "no calendar server: run by ctest";
    DeleteCopies();
    DeleteFileW(ServedFile(L"status").c_str());
    DeleteFileW(ServedFile(L"requests.log").c_str());
  }
  void TearDown() override { DeleteCopies(); }
};

}  // namespace

TEST_F(FollowedCalendar, RingsAtItsMinuteAndMovedAndRefreshedAtTheNewOneEvenWithTheServerDown) {
  StartClearOfTheMinute();
  const SYSTEMTIME moved = LocalTimeFromNow(0, 2);  // the reminder's minute once moved; before, a minute sooner
  WriteServed(L"cal.ics", Calendar(TimedEvent("m1", "Planning", LocalTimeFromNow(0, 2), LocalTimeFromNow(0, 30), 1)));
  ChimewatchSession session;
  session.Start();
  auto run = Chimewatch(L"/follow " + Server(L"/cal.ics"));
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("Following \"Team\" at "), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("1 reminder in the next 14 days"), std::string::npos) << run.output;

  WriteServed(L"cal.ics", Calendar(TimedEvent("m1", "Planning", LocalTimeFromNow(0, 3), LocalTimeFromNow(0, 30), 1)));
  run = Chimewatch(L"/refresh");
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  // Down now: the copy still rings.
  WriteServed(L"status", "500");
  run = Chimewatch(L"/refresh");
  EXPECT_EQ(run.exitCode, 8u) << run.output;
  EXPECT_NE(run.output.find("the server answered 500"), std::string::npos) << run.output;

  // Nothing at the old minute, and the box at the new one, with the calendar's name.
  EXPECT_FALSE(driver::WaitForMessageBox(session.Pid(), MillisecondsUntil(moved) - 3000).has_value());
  const auto box = driver::WaitForMessageBox(session.Pid(), MillisecondsUntil(moved) + 10000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"Planning\r\n\r\nTeam");
  driver::Answer(box->hwnd, IDOK);
}

TEST_F(FollowedCalendar, AsksOnlyForAChangeAndANotChangedLeavesTheRemindersAsTheyWere) {
  WriteServed(L"cal.ics", Calendar(TimedEvent("c1", "Review", LocalTimeFromNow(1, 0), LocalTimeFromNow(1, 60), 15)));
  ChimewatchSession session;
  session.Start();
  ASSERT_EQ(Chimewatch(L"/follow " + Server(L"/cal.ics") + L" /name Work /lead none").exitCode, 0u);
  const auto before = Chimewatch(L"/agenda");
  ASSERT_EQ(before.exitCode, 0u);
  const auto refreshed = Chimewatch(L"/refresh");
  ASSERT_EQ(refreshed.exitCode, 0u) << refreshed.output;
  EXPECT_NE(refreshed.output.find("\"Work\": Updated at "), std::string::npos) << refreshed.output;
  EXPECT_EQ(Chimewatch(L"/agenda").output, before.output);
  // The first fetch asked for everything, the second only for a change.
  const std::string log = ServerLog();
  EXPECT_TRUE(std::regex_search(log, std::regex("^/cal.ics\t-\t-\t")));
  EXPECT_TRUE(std::regex_search(log, std::regex("\n/cal.ics\t\"[0-9a-f]{16}\"\t[A-Z][a-z][a-z], ")));
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Lead"), L"None");
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Name"), L"Work");
}

TEST_F(FollowedCalendar, TheAgendaListsTheAlertsAndTheRemindersInTimeOrder) {
  const SYSTEMTIME soon = LocalTimeFromNow(0, 90);
  const SYSTEMTIME later = LocalTimeFromNow(2, 0);
  WriteServed(L"cal.ics", Calendar(TimedEvent("a1", "Dentist\\, upstairs", later, LocalTimeFromNow(2, 30), 30)));
  StoreAlarm(1, L"Call\tMum", soon, 0, false);
  ChimewatchSession session(ChimewatchSession::Registry::Keep);
  session.Start();
  ASSERT_EQ(Chimewatch(L"/follow " + Server(L"/cal.ics")).exitCode, 0u);
  const auto agenda = Chimewatch(L"/agenda 3");
  ASSERT_EQ(agenda.exitCode, 0u);
  const auto line = [](const SYSTEMTIME& t, const std::string& rest) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u\t", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
    return stamp + rest + "\r\n";
  };
  const SYSTEMTIME reminder = LocalTimeFromNow(2, -30);
  EXPECT_EQ(agenda.output, line(soon, "Chimewatch\tCall Mum") + line(reminder, "Team\tDentist, upstairs"));
  EXPECT_EQ(Chimewatch(L"/agenda 1").output, line(soon, "Chimewatch\tCall Mum"));
  EXPECT_EQ(Chimewatch(L"/agenda 0").exitCode, 2u);
  // The list window shows the same, in the same order; the calendar's row
  // says where it is changed.
  session.OpenList();
  HWND list = session.AlarmList();
  ASSERT_EQ(driver::ListViewRowCount(list), 2);
  EXPECT_EQ(driver::ListViewCell(list, 0, 1), L"Call\tMum");
  EXPECT_EQ(driver::ListViewCell(list, 1, 1), L"[Team] Dentist, upstairs");
  EXPECT_EQ(driver::ListViewCell(list, 1, 3), ShortTimeDateText(reminder));
  ASSERT_TRUE(driver::ClickListViewRow(list, 1));
  driver::PostClick(driver::FindChildById(session.SetupWindow(), IDC_CMDEDIT));
  const auto told = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(told.has_value());
  EXPECT_EQ(told->text,
            L"\"Dentist, upstairs\" is a reminder of the calendar \"Team\". Change it in that calendar; "
            L"Calendars... in the tray menu stops following it.");
  driver::Answer(told->hwnd, IDOK);
  EXPECT_EQ(session.WaitForEditor(1000), nullptr);
}

TEST_F(FollowedCalendar, ABadAnswerFollowsNothingAndSaysWhy) {
  WriteServed(L"cal.ics", Calendar(TimedEvent("b1", "Lunch", LocalTimeFromNow(1, 0), LocalTimeFromNow(1, 60), 10)));
  ChimewatchSession session;  // no program runs: the command does the work itself
  struct Case {
    const wchar_t* path;
    const char* says;
  } cases[] = {
      {L"/missing", "the server answered 404"},
      {L"/page", "is not an iCalendar file"},
      {L"/huge", "larger than 16 MiB"},
      {L"/cut", "is broken: the VEVENT begun on line 5 does not end)"},
      {L"/nothing-here", "the server answered 404"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.path);
    const auto run = Chimewatch(L"/follow " + Server(test.path));
    EXPECT_EQ(run.exitCode, 8u) << run.output;
    EXPECT_NE(run.output.find(test.says), std::string::npos) << run.output;
    EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Address"), std::nullopt);
  }
  EXPECT_EQ(Chimewatch(L"/follow ftp://127.0.0.1/cal.ics").exitCode, 2u);
  // Sent on for good: the new address is kept; for a while: the old one.
  ASSERT_EQ(Chimewatch(L"/follow " + Server(L"/moved")).exitCode, 0u);
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Address"), Server(L"/cal.ics"));
  const auto again = Chimewatch(L"/follow " + Server(L"/found") + L" /name Again");
  EXPECT_EQ(again.exitCode, 0u) << again.output;
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\2", L"Address"), Server(L"/found"));
  EXPECT_EQ(Chimewatch(L"/unfollow again").exitCode, 0u);
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\2", L"Address"), L"");
  EXPECT_EQ(Chimewatch(L"/unfollow Again").exitCode, 2u);
}

TEST_F(FollowedCalendar, AMissedReminderRingsOnceAtStartWhileItsEventGoesOn) {
  WriteServed(L"cal.ics", Calendar(TimedEvent("s1", "Going on", LocalTimeFromNow(0, -10), LocalTimeFromNow(0, 50), 15) +
                                   TimedEvent("s2", "Over", LocalTimeFromNow(0, -40), LocalTimeFromNow(0, -5), 15)));
  ChimewatchSession session;
  session.Start();
  ASSERT_EQ(Chimewatch(L"/follow " + Server(L"/cal.ics")).exitCode, 0u);
  ASSERT_EQ(session.Exit(), 0u);
  // As if Chimewatch had not run for an hour.
  ASSERT_TRUE(driver::WriteSettingText(L"Calendars\\1", L"RemindedThrough", StoredTimeText(LocalTimeFromNow(0, -60))));
  session.Start();
  const auto box = driver::WaitForMessageBox(session.Pid(), 10000);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"Going on\r\n\r\nTeam");
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(WaitForNoMessageBox(session.Pid(), 5000));
  EXPECT_FALSE(driver::WaitForMessageBox(session.Pid(), 3000).has_value());  // not the one that is over
  ASSERT_EQ(session.Exit(), 0u);
  session.Start();
  EXPECT_FALSE(driver::WaitForMessageBox(session.Pid(), 3000).has_value());  // rung once
}

TEST_F(FollowedCalendar, ExitDuringASlowFetchEndsWithinASecond) {
  ChimewatchSession session;
  ASSERT_TRUE(driver::WriteSettingText(L"Calendars\\1", L"Address", Server(L"/slow")));
  ASSERT_TRUE(driver::WriteSettingText(L"Calendars\\1", L"Name", L"Slow"));
  ChimewatchSession running(ChimewatchSession::Registry::Keep);
  running.Start();
  ASSERT_TRUE(driver::WaitUntil([] { return ServerLog().find("/slow") != std::string::npos; }, 10000));
  const ULONGLONG before = GetTickCount64();
  EXPECT_EQ(running.Exit(), 0u);
  EXPECT_LT(GetTickCount64() - before, 1000u);
}

TEST_F(FollowedCalendar, ARadicaleCalendarAsksItsPasswordWhichOnlyWindowsKeeps) {
  if (Environment(L"CHIMEWATCH_RADICALE").empty()) GTEST_SKIP() << "no Radicale";
  const SYSTEMTIME dinner = LocalTimeFromNow(1, 0);
  WriteBytes(RadicaleFile(L"collections/collection-root/ann/family/dinner.ics"),
             "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Tests//EN\r\n" +
                 TimedEvent("dinner", "Dinner", dinner, LocalTimeFromNow(1, 60), 45) + "END:VCALENDAR\r\n");
  const std::wstring address = Environment(L"CHIMEWATCH_RADICALE") + L"/ann/family/";
  ChimewatchSession session;
  session.Start();
  {
    driver::Program wrong(gProgramPath, L"/follow " + address + L" /user ann");
    GivePassword(session.Pid(), L"nutmeg");
    EXPECT_EQ(wrong.WaitForExit(20000), 8u);
  }
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Address"), std::nullopt);
  EXPECT_EQ(KeptPassword(address), std::nullopt);
  {
    driver::Program right(gProgramPath, L"/follow " + address + L" /user ann");
    GivePassword(session.Pid(), L"cinnamon");
    ASSERT_EQ(right.WaitForExit(20000), 0u);
  }
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Name"), L"Family");  // the calendar's own
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"User"), L"ann");
  EXPECT_EQ(KeptPassword(address), L"cinnamon");
  for (const wchar_t* key : {L"Address", L"Name", L"User", L"Lead", L"Refresh", L"RemindedThrough"}) {
    EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", key).value_or(L"").find(L"cinnamon"), std::wstring::npos);
  }
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((LocalAppDataCopies() + L"\\*.*").c_str(), &found);
  int copies = 0;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    ++copies;
    EXPECT_EQ(driver::ReadFileBytes(LocalAppDataCopies() + L"\\" + found.cFileName).value_or("").find("cinnamon"),
              std::string::npos);
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  EXPECT_EQ(copies, 2);  // the calendar and its tags
  const auto agenda = Chimewatch(L"/agenda");
  EXPECT_NE(agenda.output.find("\tFamily\tDinner"), std::string::npos) << agenda.output;

  // The password changed on the server: told by /refresh and in the calendars window.
  WriteBytes(RadicaleFile(L"users"), "ann:nutmeg\n");
  const auto refreshed = Chimewatch(L"/refresh");
  EXPECT_EQ(refreshed.exitCode, 8u);
  EXPECT_NE(refreshed.output.find("the server refused the user name or password (401)"), std::string::npos)
      << refreshed.output;
  session.Command(IDM_CALENDARS);
  HWND window = driver::WaitForWindow(session.Pid(), L"ChimewatchCalendars", std::nullopt, 5000);
  ASSERT_NE(window, nullptr);
  HWND list = driver::FindChildById(window, IDC_LSTCALENDARS);
  ASSERT_EQ(driver::ListViewRowCount(list), 1);
  EXPECT_EQ(driver::ListViewCell(list, 0, 0), L"Family");
  EXPECT_EQ(driver::ListViewCell(list, 0, 1), address);
  EXPECT_NE(driver::ListViewCell(list, 0, 2).find(L"the server refused the user name or password (401)."),
            std::wstring::npos)
      << driver::ListViewCell(list, 0, 2);
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\calendars-window.png", window));
  driver::PostClick(driver::FindChildById(window, IDC_CMDCANCEL));
  EXPECT_TRUE(driver::WaitForWindowGone(window, 5000));
  EXPECT_EQ(Chimewatch(L"/unfollow Family").exitCode, 0u);
  EXPECT_EQ(KeptPassword(address), std::nullopt);  // forgotten with the calendar
}

TEST_F(FollowedCalendar, TheCalendarsWindowAddsAndRemovesACalendar) {
  WriteServed(L"cal.ics", Calendar(TimedEvent("w1", "Standup", LocalTimeFromNow(1, 0), LocalTimeFromNow(1, 15), 5)));
  ChimewatchSession session;
  session.Start();
  session.Command(IDM_CALENDARS);
  HWND window = driver::WaitForWindow(session.Pid(), L"ChimewatchCalendars", std::nullopt, 5000);
  ASSERT_NE(window, nullptr);
  HWND list = driver::FindChildById(window, IDC_LSTCALENDARS);
  EXPECT_EQ(driver::ListViewRowCount(list), 0);
  EXPECT_EQ(driver::ListViewHeaderText(list, 2), L"State");
  driver::PostClick(driver::FindChildById(window, IDC_CMDADD));
  HWND add = driver::WaitForWindow(session.Pid(), L"ChimewatchAddCalendar", std::nullopt, 5000);
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(driver::GetText(driver::FindChildById(add, IDC_TXTLEAD)), L"15");
  EXPECT_EQ(driver::GetText(driver::FindChildById(add, IDC_TXTREFRESH)), L"30");
  driver::SetText(driver::FindChildById(add, IDC_TXTREFRESH), L"60");
  driver::SetText(driver::FindChildById(add, IDC_TXTADDRESS), Server(L"/cal.ics?token=0123456789abcdef"));
  driver::SetText(driver::FindChildById(add, IDC_TXTLEAD), L"soon");
  driver::PostClick(driver::FindChildById(add, IDC_CMDOK));
  const auto told = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(told.has_value());
  EXPECT_EQ(told->text, L"The minutes are a whole number from 0 to 10080, or nothing for none.");
  driver::Answer(told->hwnd, IDOK);
  ASSERT_TRUE(WaitForNoMessageBox(session.Pid(), 5000));
  driver::SetText(driver::FindChildById(add, IDC_TXTLEAD), L"");
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\add-calendar.png", add));
  driver::PostClick(driver::FindChildById(add, IDC_CMDOK));
  ASSERT_TRUE(driver::WaitForWindowGone(add, 5000));
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ListViewRowCount(list) == 1; }, 10000));
  EXPECT_EQ(driver::ListViewCell(list, 0, 0), L"Team");
  EXPECT_EQ(driver::ListViewCell(list, 0, 1), Server(L"/cal.ics?token=0123..."));
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ListViewCell(list, 0, 2).starts_with(L"Updated at"); }, 5000));
  EXPECT_NE(driver::ListViewCell(list, 0, 2).find(L"what the server sends is not private"), std::wstring::npos);
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Lead"), L"None");
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Refresh"), L"60");
  ASSERT_TRUE(driver::ClickListViewRow(list, 0));
  driver::PostClick(driver::FindChildById(window, IDC_CMDREMOVE));
  const auto ask = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(ask.has_value());
  EXPECT_EQ(ask->text, L"Stop following \"Team\"? Its reminders no longer ring.");
  driver::Answer(ask->hwnd, IDYES);
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ListViewRowCount(list) == 0; }, 5000));
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Address"), L"");
  driver::PostClick(driver::FindChildById(window, IDC_CMDCANCEL));
  EXPECT_TRUE(driver::WaitForWindowGone(window, 5000));
}

std::wstring lastTold;  // the link's last box, after its question

TEST_F(FollowedCalendar, AWebcalLinkAsksThenFollowsOverHttpsWhoseCertificateIsAlwaysChecked) {
  const std::wstring tls = Environment(L"CHIMEWATCH_CALENDAR_TLS_SERVER");
  if (tls.empty()) GTEST_SKIP() << "the host's certificate bundle cannot be written";
  WriteServed(L"cal.ics", Calendar(TimedEvent("l1", "Match", LocalTimeFromNow(2, 0), LocalTimeFromNow(2, 90), 60)));
  ChimewatchSession session;
  session.Start();
  // Opens `server`'s calendar as a webcal:// link and answers its question.
  const auto openLink = [&](const std::wstring& server, int answer) {
    driver::Program opened(gProgramPath, L"webcal" + server.substr(5) + L"/cal.ics");
    const auto ask = driver::WaitForMessageBox(opened.Id(), 10000);
    EXPECT_TRUE(ask.has_value());
    if (!ask) return std::optional<DWORD>();
    EXPECT_EQ(ask->text, L"Follow the calendar at " + server + L"/cal.ics?");
    driver::Answer(ask->hwnd, answer);
    EXPECT_TRUE(WaitForNoMessageBox(opened.Id(), 5000));
    if (answer == IDYES) {
      const auto told = driver::WaitForMessageBox(opened.Id(), 20000);
      EXPECT_TRUE(told.has_value());
      if (told) {
        lastTold = told->text;
        driver::Answer(told->hwnd, IDOK);
      }
    }
    return opened.WaitForExit(20000);
  };
  EXPECT_EQ(openLink(tls, IDNO), 0u);
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Address"), std::nullopt);
  // A certificate no authority of this PC vouches for is refused.
  const std::wstring untrusted = Environment(L"CHIMEWATCH_CALENDAR_UNTRUSTED_SERVER");
  EXPECT_EQ(openLink(untrusted, IDYES), 8u);
  EXPECT_TRUE(lastTold.find(L"is not followed: the server's certificate is not one this PC trusts.") !=
                  std::wstring::npos ||
              lastTold.find(L"is not followed: the server could not be reached") != std::wstring::npos)  // Wine: 12157
      << lastTold;
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Address"), std::nullopt);
  EXPECT_EQ(openLink(tls, IDYES), 0u);
  EXPECT_TRUE(lastTold.starts_with(L"Following \"Team\" at " + tls + L"/cal.ics. Updated at ")) << lastTold;
  EXPECT_EQ(lastTold.find(L"not private"), std::wstring::npos);
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Address"), tls + L"/cal.ics");
}

TEST_F(FollowedCalendar, APortableFolderCarriesItsCalendarsAndTheirCopies) {
  WriteServed(L"cal.ics", Calendar(TimedEvent("p1", "Rehearsal", LocalTimeFromNow(1, 0), LocalTimeFromNow(1, 90), 20)));
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring folder = std::wstring(temp) + L"chimewatch-portable-follow\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(gProgramPath.c_str(), (folder + L"chimewatch.exe").c_str(), FALSE));
  WriteBytes(folder + L"chimewatch.ini", "; Chimewatch keeps its alerts in this file.\r\n");
  driver::DeleteAllSettings();
  const auto run = driver::RunProgram(folder + L"chimewatch.exe", L"/follow " + Server(L"/cal.ics") + L" /lead 5",
                                      kRunTimeoutMs);
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  const std::string ini = driver::ReadFileBytes(folder + L"chimewatch.ini").value_or("");
  std::wstring text;  // UTF-16 with its mark, as Chimewatch saves it, or plain ASCII
  if (ini.starts_with("\xFF\xFE")) {
    text.assign(reinterpret_cast<const wchar_t*>(ini.data()), ini.size() / sizeof(wchar_t));
  } else {
    text.assign(ini.begin(), ini.end());
  }
  EXPECT_NE(text.find(L"[Calendars\\1]"), std::wstring::npos);
  EXPECT_NE(text.find(L"Address=" + Server(L"/cal.ics")), std::wstring::npos);
  EXPECT_NE(text.find(L"Lead=5"), std::wstring::npos);
  EXPECT_EQ(driver::ReadSettingText(L"Calendars\\1", L"Address"), std::nullopt);  // the registry left alone
  const auto agenda = driver::RunProgram(folder + L"chimewatch.exe", L"/agenda 2", kRunTimeoutMs);
  EXPECT_NE(agenda.output.find("\tTeam\tRehearsal"), std::string::npos) << agenda.output;
  // The copy beside the file, not under %LOCALAPPDATA%.
  EXPECT_EQ(FilesMatching(folder + L"Chimewatch calendars\\*.ics"), 1);
  EXPECT_EQ(FilesMatching(LocalAppDataCopies() + L"\\*.ics"), 0);
  EXPECT_EQ(driver::RunProgram(folder + L"chimewatch.exe", L"/unfollow Team", kRunTimeoutMs).exitCode, 0u);
}
