// The alarm check on the minute of the local clock, at once after a wake
// or a clock change, and one Chimewatch per session. Real timers: these
// tests wait for real minute boundaries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>

#include "chimewatch_session.h"
#include "resource.h"

namespace {

using driver::kTicksPerMinute;
using driver::kTicksPerMs;
using driver::LocalTicksNow;
constexpr LONGLONG kOnTimeMs = 2000;  // a box shows within this after its minute

// A start of a minute of the local clock.
struct Minute {
  ULONGLONG ticks;

  // The first minute that begins at least `leadMs` from now.
  static Minute AtLeastAhead(ULONGLONG leadMs) {
    const ULONGLONG earliest = LocalTicksNow() + leadMs * kTicksPerMs;
    return {(earliest + kTicksPerMinute - 1) / kTicksPerMinute * kTicksPerMinute};
  }
  Minute Plus(LONGLONG minutes) const {
    return {static_cast<ULONGLONG>(static_cast<LONGLONG>(ticks) + minutes * static_cast<LONGLONG>(kTicksPerMinute))};
  }
  LONGLONG MsFromNow() const {
    return (static_cast<LONGLONG>(ticks) - static_cast<LONGLONG>(LocalTicksNow())) / static_cast<LONGLONG>(kTicksPerMs);
  }
  SYSTEMTIME Time() const {
    const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME time;
    FileTimeToSystemTime(&file, &time);
    return time;
  }
};

void SleepUntil(const Minute& minute, LONGLONG offsetMs) {
  const LONGLONG wait = minute.MsFromNow() + offsetMs;
  if (wait > 0) Sleep(static_cast<DWORD>(wait));
}

// No box before the minute begins; then the alarm's box within 2 s. Answers it.
void ExpectAlarmOnTheMinute(DWORD pid, const Minute& minute, const std::wstring& naam) {
  const LONGLONG before = minute.MsFromNow() - 100;
  ASSERT_GT(before, 0) << "the test came too late to watch the minute begin";
  const auto early = driver::WaitForMessageBox(pid, static_cast<int>(before));
  ASSERT_FALSE(early) << "a box " << minute.MsFromNow() << " ms before its minute";
  const auto box = driver::WaitForMessageBox(pid, static_cast<int>(minute.MsFromNow() + kOnTimeMs));
  const LONGLONG lateMs = -minute.MsFromNow();
  ASSERT_TRUE(box) << "no box within " << kOnTimeMs << " ms of the minute";
  EXPECT_EQ(box->text, naam + L"\r\n" + ShortTimeDateText(minute.Time()));
  EXPECT_GE(lateMs, 0);
  EXPECT_LE(lateMs, kOnTimeMs);
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(WaitForNoMessageBox(pid, 3000));
}

std::ptrdiff_t ChimewatchIconCount() {
  const auto tips = driver::TrayTips();
  return std::count_if(tips.begin(), tips.end(),
                       [](const std::wstring& tip) { return tip.starts_with(L"Chimewatch"); });
}

void CloseListWindow(ChimewatchSession& session) {
  HWND setup = session.SetupWindow();
  ASSERT_NE(setup, nullptr);
  driver::PostClick(driver::FindChildById(setup, IDC_CMDCLOSE));
  ASSERT_TRUE(driver::WaitForWindowGone(setup, 3000));
}

// Leaves the last seconds of a minute, so that a box seen next cannot come
// from the minute's own check.
void StayClearOfTheMinute() {
  const Minute next = Minute::AtLeastAhead(0);
  if (next.MsFromNow() < 8000) SleepUntil(next, 500);
}

}  // namespace

// One timeline of two minutes: the check on the first minute after start;
// a second start, which opens the list window of the running program; the
// check on the minute after the list window was closed 30 s before it.
TEST(OnTheMinute, ChecksAtEachMinuteAfterStartAndAfterTheListWindow) {
  ChimewatchSession session;
  const Minute first = Minute::AtLeastAhead(4000);
  const Minute second = first.Plus(1);
  StoreAlarm(2, L"First", first.Time(), 0, false);
  StoreAlarm(1, L"Second", second.Time(), 0, false);
  session.Start();
  ExpectAlarmOnTheMinute(session.Pid(), first, L"First");

  driver::Program again(gProgramPath);
  EXPECT_EQ(again.WaitForExit(5000), 0u) << "a second start ends with code 0";
  EXPECT_NE(session.WaitForSetupWindow(3000), nullptr) << "the running program's list window did not open";
  EXPECT_EQ(ChimewatchIconCount(), 1);
  EXPECT_TRUE(session.Running());

  SleepUntil(second, -30000);
  CloseListWindow(session);
  ExpectAlarmOnTheMinute(session.Pid(), second, L"Second");
  EXPECT_EQ(session.Exit(), 0u);
}

// A hand-edited repeat (7) stays due: each check shows its box once, so
// the number of boxes counts the checks.
TEST(OnTheMinute, ChecksAtOnceAfterAWakeOrAClockChange) {
  ChimewatchSession session;
  const Minute overdue = Minute::AtLeastAhead(0).Plus(-3 * 1440 - 10);
  StoreAlarm(0, L"Stretch", overdue.Time(), 7, false);
  // Started well before a minute, whose check would show the box before
  // the list window is open.
  StayClearOfTheMinute();
  session.Start();
  HWND main = session.MainWindow();

  session.Command(IDM_INSTELLEN);
  ASSERT_NE(session.WaitForSetupWindow(), nullptr);
  PostMessageW(main, WM_TIMECHANGE, 0, 0);
  PostMessageW(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_FALSE(driver::WaitForMessageBox(session.Pid(), 1500)) << "a check while the list window is open";
  CloseListWindow(session);
  StayClearOfTheMinute();

  PostMessageW(main, WM_TIMECHANGE, 0, 0);
  auto box = driver::WaitForMessageBox(session.Pid(), static_cast<int>(kOnTimeMs));
  ASSERT_TRUE(box) << "no check after the clock change";
  EXPECT_EQ(box->text, L"Stretch\r\n" + ShortTimeDateText(overdue.Time()));
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(WaitForNoMessageBox(session.Pid(), 3000));

  // Windows sends both resume codes; the shell may have lost the icon.
  StayClearOfTheMinute();
  ASSERT_TRUE(driver::RemoveTrayIcon(session.MainWindow(), 1));
  PostMessageW(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  PostMessageW(main, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
  box = driver::WaitForMessageBox(session.Pid(), static_cast<int>(kOnTimeMs));
  ASSERT_TRUE(box) << "no check after the wake";
  EXPECT_EQ(box->text, L"Stretch\r\n" + ShortTimeDateText(overdue.Time()));
  EXPECT_TRUE(driver::WaitUntil([] { return ChimewatchIconCount() == 1; }, 3000)) << "the icon was not put back";
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(WaitForNoMessageBox(session.Pid(), 3000));
  EXPECT_FALSE(driver::WaitForMessageBox(session.Pid(), 1500)) << "two resume codes gave two checks";
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(OneChimewatch, ThreeStartsAtOnceLeaveOneProgramAndOneIcon) {
  ChimewatchSession session;
  EXPECT_EQ(session.StartAtOnce(3), 2) << "two of three starts end, with code 0";
  ASSERT_TRUE(session.Running());
  EXPECT_TRUE(driver::WaitUntil([] { return ChimewatchIconCount() == 1; }, 3000));
  Sleep(500);  // a late second icon would show by now
  EXPECT_EQ(ChimewatchIconCount(), 1);
  EXPECT_EQ(session.Exit(), 0u);
}
