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

#include "chimewatch_session.h"
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
std::string TimedEvent(const std::string& uid, const std::string& summary, const SYSTEMTIME& start, const SYSTEMTIME& end,
                  int alarmMinutes) {
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
