// The tray monitor end to end: start-up, tip, popup menu, alarm tick, exit.
#include <gtest/gtest.h>

#include <regex>

#include "chimewatch_session.h"
#include "resource.h"

namespace {

bool IsCountdown(const std::wstring& tip, const wchar_t* state) {
  return std::regex_match(tip, std::wregex(std::wstring(L"Chimewatch \\(") + state + L"\\)  \\d\\d:\\d\\d:\\d\\d"));
}

driver::Image CaptureTray() { return driver::CaptureScreen(driver::TrayWindow()); }

}  // namespace

TEST(TrayMonitor, StartsHiddenInTheTrayAndCountsDown) {
  ChimewatchSession session;
  StoreAlarm(3, L"Later", LocalTimeFromNow(0, 125), 0, false);
  session.Start();

  EXPECT_FALSE(IsWindowVisible(session.MainWindow()));
  for (HWND window : driver::TopLevelWindows(session.Pid())) {
    EXPECT_FALSE(IsWindowVisible(window)) << "visible window: " << testing::PrintToString(driver::WindowText(window));
  }
  // The tip counts down to the alarm, 2 h 5 min from the start minute.
  const auto tip = driver::WaitForTrayTip([](const std::wstring& t) { return IsCountdown(t, L"active"); }, 5000);
  ASSERT_TRUE(tip) << "no countdown tip";
  EXPECT_TRUE(tip->substr(21, 4) == L"02:0" || tip->substr(21, 5) == L"01:59") << testing::PrintToString(*tip);
}

TEST(TrayMonitor, PopupMenuTogglesMonitoring) {
  ChimewatchSession session;
  session.Start();
  ASSERT_TRUE(driver::WaitForTrayTip([](const std::wstring& t) { return IsCountdown(t, L"active"); }, 5000));
  const driver::Image activePicture = CaptureTray();

  session.TrayMouse(WM_LBUTTONDOWN);  // a single click and a right press do nothing
  session.TrayMouse(WM_RBUTTONDOWN);
  EXPECT_EQ(driver::WaitForPopupMenu(300), nullptr);

  session.TrayMouse(WM_RBUTTONUP);
  HWND menu = driver::WaitForPopupMenu(3000);
  ASSERT_NE(menu, nullptr) << "no popup menu";
  driver::ChooseMenuItemByKeys(menu, 2);  // Setup, Active
  EXPECT_TRUE(
      driver::WaitForTrayTip([](const std::wstring& t) { return t.starts_with(L"Chimewatch (not active)"); }, 3000));
  EXPECT_TRUE(driver::WaitUntil([&] { return CaptureTray() != activePicture; }, 3000)) << "picture unchanged";
  EXPECT_TRUE(driver::WaitForTrayTip([](const std::wstring& t) { return IsCountdown(t, L"not active"); }, 3000));

  session.Command(IDM_ACTIEF);
  EXPECT_TRUE(driver::WaitForTrayTip([](const std::wstring& t) { return IsCountdown(t, L"active"); }, 3000));
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(TrayMonitor, AlarmTickShowsEachDueAlarmAndMovesItOn) {
  ChimewatchSession session;
  const SYSTEMTIME fiveDaysAgo = LocalTimeFromNow(-5, -30);
  const SYSTEMTIME today = LocalTimeFromNow(0, -30);
  const SYSTEMTIME tomorrow = LocalTimeFromNow(1, -30);
  StoreAlarm(3, L"Tea", today, 0, true);
  StoreAlarm(7, L"Standup", fiveDaysAgo, 1, false);
  StoreAlarm(5, L"Paused", today, 0, false, /*actief=*/false);
  session.Start();
  // The hidden list exists before the loaded alarms fill it.
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ListViewRowCount(session.AlarmList()) == 3; }, 3000));

  // The earliest due first: a daily alert five days overdue shows one box
  // for its six times.
  session.AlarmTick();
  auto box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box) << "no alarm box";
  EXPECT_EQ(box->caption, L"Chimewatch");
  EXPECT_EQ(box->text, L"Standup\r\n" + ShortTimeDateText(fiveDaysAgo) + L"\r\n\r\nDue 6 times since then.");
  EXPECT_TRUE(box->topmost);
  EXPECT_EQ(box->icon, driver::BoxIcon::Information);
  EXPECT_EQ(box->buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\alert-box-missed.png", box->hwnd));
  session.AlarmTick();  // a tick while the box is open shows nothing more
  Sleep(500);
  EXPECT_EQ(driver::WaitForMessageBox(session.Pid(), 0)->hwnd, box->hwnd);
  driver::Answer(box->hwnd, IDOK);
  // Else the answered box, not yet closed, is read as the second one.
  ASSERT_TRUE(driver::WaitForWindowGone(box->hwnd, 3000));

  box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box && box->text.starts_with(L"Tea")) << "no second box";
  EXPECT_EQ(box->text, L"Tea\r\n" + ShortTimeDateText(today));
  // Slot 7 was handled and saved before the second box: on to its next day.
  EXPECT_EQ(driver::ReadSettingText(L"7", L"Tijd"), StoredTimeText(tomorrow));
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(WaitForNoMessageBox(session.Pid(), 3000));

  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ReadSettingText(L"3", L"Exist") == L"False"; }, 3000));
  EXPECT_EQ(driver::ReadSettingText(L"7", L"Getoond"), L"False");
  EXPECT_EQ(driver::ReadSettingText(L"5", L"Getoond"), L"False");
  // The fired one-time alarm left the (hidden) list.
  EXPECT_EQ(driver::ListViewRowCount(session.AlarmList()), 2);

  // Nothing more is due.
  session.AlarmTick();
  EXPECT_FALSE(driver::WaitForMessageBox(session.Pid(), 1500));
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(TrayMonitor, NothingFiresWhileMonitoringIsOff) {
  ChimewatchSession session;
  StoreAlarm(0, L"Call", LocalTimeFromNow(0, -5), 0, false);
  session.Start();
  session.Command(IDM_ACTIEF);
  session.AlarmTick();
  EXPECT_FALSE(driver::WaitForMessageBox(session.Pid(), 1000));
  session.Command(IDM_ACTIEF);
  session.AlarmTick();
  auto box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box);
  EXPECT_TRUE(box->text.starts_with(L"Call\r\n"));
  driver::Answer(box->hwnd, IDOK);
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(TrayMonitor, ComesBackAfterTheShellRestarts) {
  ChimewatchSession session;
  session.Start();
  ASSERT_TRUE(driver::WaitUntil([] { return driver::TrayIconPresent(L"Chimewatch"); }, 5000));
  ASSERT_TRUE(driver::RemoveTrayIcon(session.MainWindow(), 1));
  driver::BroadcastTaskbarCreated();
  EXPECT_TRUE(driver::WaitUntil([] { return driver::TrayIconPresent(L"Chimewatch"); }, 3000));
  // Lost without a word from the shell: the next tip change fails and
  // puts the icon in again, counting down.
  ASSERT_TRUE(driver::RemoveTrayIcon(session.MainWindow(), 1));
  EXPECT_TRUE(driver::WaitForTrayTip([](const std::wstring& t) { return IsCountdown(t, L"active"); }, 3000));
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(TrayMonitor, ExitRemovesTheIconAndEnds) {
  ChimewatchSession session;
  session.Start();
  ASSERT_TRUE(driver::WaitUntil([] { return driver::TrayIconPresent(L"Chimewatch"); }, 5000));
  EXPECT_EQ(session.Exit(), 0u);
  EXPECT_FALSE(driver::TrayIconPresent(L"Chimewatch"));
}

TEST(TrayMonitor, DamagedStoredValueIsReportedAndLeftAlone) {
  ChimewatchSession session;
  StoreAlarm(4, L"Kept", LocalTimeFromNow(3, 0), 0, false);
  driver::WriteSettingText(L"4", L"Exist", L"yes");
  StoreAlarm(6, L"Fine", LocalTimeFromNow(3, 0), 0, false);
  session.Start();
  const auto box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box) << "no report of the damaged value";
  EXPECT_NE(box->text.find(L"Alert 4, \"Exist\": \"yes\""), std::wstring::npos) << testing::PrintToString(box->text);
  driver::Answer(box->hwnd, IDOK);
  EXPECT_EQ(driver::ListViewRowCount(session.AlarmList()), 1);
  EXPECT_EQ(driver::ReadSettingText(L"4", L"Exist"), L"yes");
  EXPECT_EQ(driver::ReadSettingText(L"4", L"Naam"), L"Kept");
  EXPECT_EQ(session.Exit(), 0u);
}

namespace {

// The version 4 callback: the event in the low word, the icon's ID in the
// high word, the icon's place in wParam.
void PostVersion4(HWND main, UINT event, int x = 0, int y = 0) {
  PostMessageW(main, WM_MOUSEMOVE, MAKEWPARAM(x, y), MAKELPARAM(event, 1));
}

}  // namespace

// Now plus five minutes, rounded up to the minute: the minute after next
// five, or five on the dot when the program read hh:mm:00 between the two
// readings here.
SYSTEMTIME WholeMinutesLater(const SYSTEMTIME& time, int minutes) {
  FILETIME file;
  SystemTimeToFileTime(&time, &file);
  constexpr ULONGLONG kTicksPerMinute = 600000000ULL;
  ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
  ticks.QuadPart += static_cast<ULONGLONG>(minutes) * kTicksPerMinute;
  ticks.QuadPart -= ticks.QuadPart % kTicksPerMinute;
  file = {ticks.LowPart, ticks.HighPart};
  SYSTEMTIME later;
  FileTimeToSystemTime(&file, &later);
  return later;
}

bool DueInFiveMinutes(const std::wstring& due, const SYSTEMTIME& before, const SYSTEMTIME& after) {
  const bool onTheDot = before.wSecond == 0 || after.wSecond == 0 || before.wMinute != after.wMinute;
  return due == StoredTimeText(WholeMinutesLater(before, 6)) || due == StoredTimeText(WholeMinutesLater(after, 6)) ||
         (onTheDot && due == StoredTimeText(WholeMinutesLater(after, 5)));
}

TEST(TrayMonitor, RemindMeAgainOffersEachClosedAlertNewestFirst) {
  ChimewatchSession session;
  StoreAlarm(2, L"Water the plants", LocalTimeFromNow(0, -2), 0, false);
  auto box = session.StartWithAlarmBox(L"Stretch & walk");  // due at the same minute, in slot 0: first
  ASSERT_TRUE(box) << "no alarm box";
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(driver::WaitForWindowGone(box->hwnd, 3000));
  box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box && box->text.starts_with(L"Water the plants")) << "no second box";
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(driver::WaitUntil([] { return driver::ReadSettingText(L"2", L"Getoond") == L"True"; }, 3000));

  session.TrayMouse(WM_RBUTTONUP);
  HWND menu = driver::WaitForPopupMenu(3000);
  ASSERT_NE(menu, nullptr) << "no popup menu";
  // Setup, Active, Wait while presenting, the newer box, the older one: its delays open.
  driver::ChooseMenuItemByKeys(menu, 5);
  Sleep(300);                             // painted
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\remind-again-menu.png", nullptr));
  SYSTEMTIME before;
  GetLocalTime(&before);
  driver::PostKey(menu, VK_RETURN);  // "In 5 minutes"
  // "Delete" is the last value a save writes.
  ASSERT_TRUE(driver::WaitUntil([] { return driver::ReadSettingText(L"1", L"Delete") == L"True"; }, 3000))
      << "no new alert";
  SYSTEMTIME after;
  GetLocalTime(&after);
  EXPECT_EQ(driver::ReadSettingText(L"1", L"Naam"), L"Stretch & walk");
  const auto due = driver::ReadSettingText(L"1", L"Tijd");
  EXPECT_TRUE(due && DueInFiveMinutes(*due, before, after)) << testing::PrintToString(due);
  EXPECT_EQ(driver::ReadSettingText(L"1", L"Repeat"), L"0");
  EXPECT_EQ(driver::ReadSettingText(L"1", L"Exist"), L"True");
  EXPECT_EQ(driver::ReadSettingText(L"1", L"Getoond"), L"False");

  // Used: the newer box is the one left.
  session.TrayMouse(WM_RBUTTONUP);
  menu = driver::WaitForPopupMenu(3000);
  ASSERT_NE(menu, nullptr);
  driver::ChooseMenuItemByKeys(menu, 4);
  driver::PostKey(menu, VK_RETURN);
  ASSERT_TRUE(driver::WaitUntil([] { return driver::ReadSettingText(L"3", L"Delete") == L"True"; }, 3000))
      << "no second new alert";
  EXPECT_EQ(driver::ReadSettingText(L"3", L"Naam"), L"Water the plants");

  // Both used: the menu is as it was.
  session.TrayMouse(WM_RBUTTONUP);
  menu = driver::WaitForPopupMenu(3000);
  ASSERT_NE(menu, nullptr);
  driver::ChooseMenuItemByKeys(menu, 4);  // Setup, Active, Wait while presenting, Export alerts...
  HWND saveAs = driver::WaitForWindow(session.Pid(), L"#32770", L"Save As", 10000);
  EXPECT_NE(saveAs, nullptr) << "the fourth item is not Export alerts...";
  if (saveAs) driver::PostCommand(saveAs, IDCANCEL);
  EXPECT_TRUE(driver::WaitForWindowGone(saveAs, 5000));
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(TrayMonitor, TheIconWorksFromTheKeyboard) {
  ChimewatchSession session;
  // Wine's tray does nothing with the focus given back (NIM_SETFOCUS) after
  // Esc below: the program's own trace of its shell calls shows it, read by
  // the test tray_focus_trace.
  wchar_t debug[64] = L"";
  GetEnvironmentVariableW(L"WINEDEBUG", debug, 64);
  SetEnvironmentVariableW(L"WINEDEBUG", L"+systray");
  session.Start();
  SetEnvironmentVariableW(L"WINEDEBUG", debug);
  PostVersion4(session.MainWindow(), NIN_KEYSELECT, 40, 1000);  // Enter or Space
  ASSERT_NE(session.WaitForSetupWindow(), nullptr) << "Enter did not open the list";
  driver::PostCommand(session.SetupWindow(), IDCANCEL);
  ASSERT_TRUE(driver::WaitForWindowGone(session.SetupWindow(), 3000));

  PostVersion4(session.MainWindow(), WM_CONTEXTMENU, 300, 400);  // Shift+F10 at the icon
  HWND menu = driver::WaitForPopupMenu(3000);
  ASSERT_NE(menu, nullptr) << "no menu from the keyboard";
  RECT place;
  GetWindowRect(menu, &place);
  EXPECT_EQ(place.left, 300);
  EXPECT_EQ(place.top, 400);
  driver::PostKey(menu, VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(menu, 3000));
  EXPECT_EQ(session.Exit(), 0u);
}
