// The list window and the editor end to end, driven as a user would.
#include <gtest/gtest.h>

#include "chimewatch_session.h"
#include "resource.h"

namespace {

HWND Control(HWND window, int id) { return driver::FindChildById(window, id); }

std::vector<std::wstring> Names(HWND list) {
  std::vector<std::wstring> names;
  for (const auto& row : driver::ListViewRows(list, 6)) names.push_back(row[1]);
  return names;
}

// Opens the editor for a new alarm from an open list window.
HWND OpenNewAlarm(ChimewatchSession& session, HWND setup) {
  driver::PostClick(Control(setup, IDC_CMDNIEUW));
  return session.WaitForEditor();
}

// Fills in the description and the due date and time, as a user types them.
void EnterAlarm(HWND editor, const std::wstring& name, const SYSTEMTIME& due) {
  driver::SetText(Control(editor, IDC_TXTNAME), name);
  driver::SetText(Control(editor, IDC_TXTDATE), ShortTimeDateText(due).substr(6));
  driver::SetText(Control(editor, IDC_TXTTIJD), ShortTimeDateText(due).substr(0, 5));
}

std::wstring TwoDigits(int value) {
  wchar_t text[8];
  std::swprintf(text, 8, L"%02d", value);
  return text;
}

}  // namespace

TEST(ListWindow, RoadOfOneAlarmFromNewToFiringAndRestart) {
  ChimewatchSession session;
  session.Start();
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr) << "no list window";
  HWND list = session.AlarmList();
  EXPECT_EQ(driver::ListViewRowCount(list), 0);
  EXPECT_EQ(driver::ListViewHeaderText(list, 1), L"Description");
  EXPECT_EQ(driver::ListViewHeaderText(list, 3), L"Time");
  EXPECT_EQ(driver::ListViewColumnWidth(list, 4), 0);
  EXPECT_EQ(driver::ListViewColumnWidth(list, 5), 0);

  HWND editor = OpenNewAlarm(session, setup);
  ASSERT_NE(editor, nullptr) << "no editor";
  const SYSTEMTIME now = LocalTimeFromNow(0, 0);
  EXPECT_EQ(driver::GetText(Control(editor, IDC_TXTNAME)), L"Alert !!");
  EXPECT_EQ(driver::GetText(Control(editor, IDC_TXTDATE)),
            TwoDigits(now.wYear % 100) + L"/" + TwoDigits(now.wMonth) + L"/" + TwoDigits(now.wDay));
  EXPECT_EQ(FocusedWindow(editor), Control(editor, IDC_CHKACTIEF));

  // A minute ago, so that the next check finds it due.
  const SYSTEMTIME due = LocalTimeFromNow(0, -1);
  EnterAlarm(editor, L"Dentist", due);
  driver::PostClick(Control(editor, IDC_CMDOK));
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));

  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ListViewRowCount(list) == 1; }, 3000));
  const auto row = driver::ListViewRows(list, 6).at(0);
  EXPECT_EQ(row[0], L"[X]");
  EXPECT_EQ(row[1], L"Dentist");
  EXPECT_EQ(row[3], ShortTimeDateText(due));
  EXPECT_EQ(row[4], L"0");
  EXPECT_EQ(driver::ReadSettingText(L"0", L"Tijd"), StoredTimeText(due));
  EXPECT_EQ(driver::ReadSettingText(L"0", L"Delete"), L"True");

  driver::PostClick(Control(setup, IDC_CMDCLOSE));
  ASSERT_TRUE(driver::WaitForWindowGone(setup, 3000));
  session.AlarmTick();
  auto box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box) << "the alarm did not fire";
  EXPECT_EQ(box->text, L"Dentist\r\n" + ShortTimeDateText(due));
  driver::Answer(box->hwnd, IDOK);
  EXPECT_TRUE(driver::WaitUntil([] { return driver::ReadSettingText(L"0", L"Exist") == L"False"; }, 3000));

  setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  EXPECT_EQ(driver::ListViewRowCount(session.AlarmList()), 0);
  EXPECT_EQ(session.Exit(), 0u);

  // The freed slot keeps its other values, and a new run reads it as free.
  EXPECT_EQ(driver::ReadSettingText(L"0", L"Naam"), L"Dentist");
  ChimewatchSession again(ChimewatchSession::Registry::Keep);
  again.Start();
  EXPECT_EQ(driver::ListViewRowCount(again.AlarmList()), 0);
}

TEST(ListWindow, EnterOrADoubleClickOnARowEditsThatAlarm) {
  ChimewatchSession session;
  StoreAlarm(9, L"Later", LocalTimeFromNow(5, 0), 2, false);
  StoreAlarm(2, L"Sooner", LocalTimeFromNow(1, 0), 0, false);
  session.Start();
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  HWND list = session.AlarmList();
  ASSERT_EQ(Names(list), (std::vector<std::wstring>{L"Sooner", L"Later"}));
  EXPECT_EQ(driver::ListViewSelectedRow(list), 0);

  ASSERT_TRUE(driver::ClickListViewRow(list, 1));
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ListViewSelectedRow(list) == 1; }, 2000));
  driver::PostKey(list, VK_RETURN);
  HWND editor = session.WaitForEditor();
  ASSERT_NE(editor, nullptr) << "Enter did not open the editor";
  EXPECT_EQ(driver::GetText(Control(editor, IDC_TXTNAME)), L"Later");
  EXPECT_EQ(driver::GetText(Control(editor, IDC_CMBREPEAT)), L"Each week");
  driver::SetText(Control(editor, IDC_TXTNAME), L"Much later");
  driver::PostKey(Control(editor, IDC_TXTNAME), VK_RETURN);  // Enter is OK
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));

  EXPECT_TRUE(driver::WaitUntil(
      [&] {
        return Names(list) == std::vector<std::wstring>{L"Sooner", L"Much later"};
      },
      3000));
  EXPECT_EQ(driver::ReadSettingText(L"9", L"Naam"), L"Much later");
  EXPECT_EQ(driver::ReadSettingText(L"2", L"Naam"), L"Sooner");

  // A double-click does the same for the row under the mouse.
  ASSERT_TRUE(driver::DoubleClickListViewRow(list, 1));
  editor = session.WaitForEditor();
  ASSERT_NE(editor, nullptr) << "a double-click did not open the editor";
  EXPECT_EQ(driver::GetText(Control(editor, IDC_TXTNAME)), L"Much later");
  driver::PostKey(Control(editor, IDC_TXTNAME), VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(Editor, KeepsTheRuleOfARuleAlert) {
  ChimewatchSession session;
  const SYSTEMTIME due = LocalTimeFromNow(3, 0);
  const std::wstring rule = L"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;DTSTART=" + StoredTimeText(due);
  StoreAlarm(4, L"Review", due, 2, false);
  ASSERT_TRUE(driver::WriteSettingText(L"4", L"Rule", rule));
  session.Start();
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  HWND list = session.AlarmList();
  ASSERT_EQ(Names(list), std::vector<std::wstring>{L"Review"});
  ASSERT_TRUE(driver::DoubleClickListViewRow(list, 0));
  HWND editor = session.WaitForEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(driver::GetText(Control(editor, IDC_CMBREPEAT)), L"Every 2 weeks on Monday and Thursday");
  driver::SetText(Control(editor, IDC_TXTNAME), L"Team review");
  driver::PostKey(Control(editor, IDC_TXTNAME), VK_RETURN);
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ReadSettingText(L"4", L"Naam") == L"Team review"; }, 3000));
  EXPECT_EQ(driver::ReadSettingText(L"4", L"Rule"), rule);
  EXPECT_EQ(driver::ReadSettingText(L"4", L"Repeat"), L"2");
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(Editor, AWeekdayRuleMadeByKeyboardFiresAndMovesOnToTheNextWeekday) {
  ChimewatchSession session;
  session.Start();
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  HWND editor = OpenNewAlarm(session, setup);
  ASSERT_NE(editor, nullptr);
  // The series starts a week ago, a minute before now: it has a weekday
  // due already, whatever today is.
  const SYSTEMTIME start = LocalTimeFromNow(-7, -1);
  EnterAlarm(editor, L"Stand-up", start);
  HWND repeat = Control(editor, IDC_CMBREPEAT);
  driver::PostKey(repeat, VK_END);  // "Custom...", the last entry
  HWND custom = driver::WaitForWindow(session.Pid(), L"ChimewatchCustomRepeat", L"Custom repeat", 5000);
  ASSERT_NE(custom, nullptr) << "Custom... did not open the dialog";
  ASSERT_TRUE(driver::WaitUntil([&] { return FocusedWindow(custom) == Control(custom, IDC_TXTINTERVAL); }, 3000));
  EXPECT_EQ(driver::GetText(Control(custom, IDC_CMBUNIT)), L"weeks");
  // A number it cannot take is refused in a box over the dialog, and the focus goes back to it.
  driver::SetText(Control(custom, IDC_TXTINTERVAL), L"0");
  driver::PostKey(Control(custom, IDC_TXTINTERVAL), VK_RETURN);
  auto refusal = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(refusal) << "no refusal";
  EXPECT_EQ(GetWindow(refusal->hwnd, GW_OWNER), custom);
  EXPECT_EQ(refusal->text.substr(0, 16), L"\"0\" is not a num");
  driver::Answer(refusal->hwnd, IDOK);
  ASSERT_TRUE(driver::WaitUntil([&] { return FocusedWindow(custom) == Control(custom, IDC_TXTINTERVAL); }, 3000));
  driver::SetText(Control(custom, IDC_TXTINTERVAL), L"1");
  // Tab to each weekday box; Space sets Monday to Friday and clears the weekend.
  for (int id = IDC_CMBUNIT; id <= IDC_CHKDAY_LAST; id = id == IDC_CMBUNIT ? IDC_CHKDAY_FIRST : id + 1) {
    driver::PostKey(FocusedWindow(custom), VK_TAB);
    ASSERT_TRUE(driver::WaitUntil([&] { return FocusedWindow(custom) == Control(custom, id); }, 3000)) << id;
    if (id == IDC_CMBUNIT) continue;
    const LRESULT wanted = id <= IDC_CHKDAY_FIRST + 4 ? BST_CHECKED : BST_UNCHECKED;
    if (SendMessageW(Control(custom, id), BM_GETCHECK, 0, 0) == wanted) continue;
    driver::PostKey(Control(custom, id), VK_SPACE);
    ASSERT_TRUE(driver::WaitUntil([&] { return SendMessageW(Control(custom, id), BM_GETCHECK, 0, 0) == wanted; }, 3000))
        << id;
  }
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\custom-repeat.png", custom));
  driver::PostKey(FocusedWindow(custom), VK_RETURN);
  ASSERT_TRUE(driver::WaitForWindowGone(custom, 3000));
  EXPECT_EQ(driver::GetText(repeat), L"Every weekday");
  driver::PostKey(Control(editor, IDC_TXTNAME), VK_RETURN);
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));
  const std::wstring rule = L"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;DTSTART=" + StoredTimeText(start);
  ASSERT_TRUE(driver::WaitUntil([&] { return driver::ReadSettingText(L"0", L"Rule") == rule; }, 3000));

  driver::PostClick(Control(setup, IDC_CMDCLOSE));
  ASSERT_TRUE(driver::WaitForWindowGone(setup, 3000));
  session.AlarmTick();
  auto box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box) << "the rule alert did not fire";
  EXPECT_EQ(box->text.substr(0, 10), L"Stand-up\r\n");
  driver::Answer(box->hwnd, IDOK);
  // The next weekday at the series' time of day, after a weekend if one comes first.
  SYSTEMTIME next = LocalTimeFromNow(1, -1);
  for (int days = 2; next.wDayOfWeek == 0 || next.wDayOfWeek == 6; ++days) next = LocalTimeFromNow(days, -1);
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ReadSettingText(L"0", L"Tijd") == StoredTimeText(next); }, 3000))
      << driver::ReadSettingText(L"0", L"Tijd").value_or(L"none");
  EXPECT_EQ(driver::ReadSettingText(L"0", L"Rule"), rule);
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(ListWindow, DeleteKeyAsksAndDeletesOnlyOnYes) {
  ChimewatchSession session;
  StoreAlarm(7, L"Meeting", LocalTimeFromNow(1, 0), 0, false);
  StoreAlarm(1, L"Other", LocalTimeFromNow(2, 0), 0, false);
  session.Start();
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  HWND list = session.AlarmList();
  ASSERT_EQ(driver::ListViewSelectedRow(list), 0);

  for (const int answer : {IDNO, IDYES}) {
    driver::PostKey(list, VK_DELETE);
    const auto box = driver::WaitForMessageBox(session.Pid(), 5000);
    ASSERT_TRUE(box) << "no confirmation";
    EXPECT_EQ(box->caption, L"Chimewatch");
    EXPECT_EQ(box->text, L"Are you sure you want to remove the alert\r\nMeeting ?");
    EXPECT_EQ(box->icon, driver::BoxIcon::Question);
    driver::Answer(box->hwnd, answer);
    ASSERT_TRUE(WaitForNoMessageBox(session.Pid(), 3000));
    if (answer == IDNO) {
      Sleep(300);
      EXPECT_EQ(driver::ReadSettingText(L"7", L"Exist"), L"True");
      EXPECT_EQ(driver::ListViewRowCount(list), 2);
      EXPECT_EQ(driver::ListViewSelectedRow(list), 0);
    }
  }
  EXPECT_TRUE(driver::WaitUntil([] { return driver::ReadSettingText(L"7", L"Exist") == L"False"; }, 3000));
  EXPECT_EQ(Names(list), std::vector<std::wstring>{L"Other"});
  EXPECT_EQ(driver::ListViewSelectedRow(list), -1);  // no other row is selected for the user
  EXPECT_EQ(driver::ReadSettingText(L"7", L"Naam"), L"Meeting");
  EXPECT_EQ(driver::ReadSettingText(L"1", L"Exist"), L"True");
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(ListWindow, NewWithAllSlotsInUseSaysTooMany) {
  ChimewatchSession session;
  for (int slot = 0; slot <= 100; ++slot)
    StoreAlarm(slot, L"Alert " + std::to_wstring(slot), LocalTimeFromNow(2, slot), 0, false);
  session.Start();
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  EXPECT_EQ(driver::ListViewRowCount(session.AlarmList()), 101);
  driver::PostClick(Control(setup, IDC_CMDNIEUW));
  const auto box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"Too many alerts !!");
  EXPECT_EQ(box->icon, driver::BoxIcon::Warning);
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(WaitForNoMessageBox(session.Pid(), 3000));
  EXPECT_TRUE(driver::WaitUntil(
      [&] { return !driver::WaitForWindow(session.Pid(), L"ChimewatchEdit", std::nullopt, 0, false); }, 2000));
  EXPECT_TRUE(IsWindowVisible(setup));
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(Editor, RefusesADateItCannotReadAndKeepsTheSlot) {
  ChimewatchSession session;
  StoreAlarm(0, L"Keep me", LocalTimeFromNow(1, 0), 0, false);
  session.Start();
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  driver::PostClick(Control(setup, IDC_CMDEDIT));
  HWND editor = session.WaitForEditor();
  ASSERT_NE(editor, nullptr);
  driver::SetText(Control(editor, IDC_TXTNAME), L"Changed");
  driver::SetText(Control(editor, IDC_TXTDATE), L"next friday");
  driver::PostClick(Control(editor, IDC_CMDOK));
  const auto box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box) << "no message for the bad date";
  EXPECT_NE(box->text.find(L"next friday"), std::wstring::npos);
  EXPECT_NE(box->text.find(L"year/month/day"), std::wstring::npos);
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(WaitForNoMessageBox(session.Pid(), 3000));
  EXPECT_TRUE(IsWindowVisible(editor));
  EXPECT_TRUE(driver::WaitUntil([&] { return FocusedWindow(editor) == Control(editor, IDC_TXTDATE); }, 2000));
  EXPECT_EQ(driver::ReadSettingText(L"0", L"Naam"), L"Keep me");

  driver::PostKey(Control(editor, IDC_TXTNAME), VK_ESCAPE);  // Esc is Cancel
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));
  EXPECT_EQ(driver::ReadSettingText(L"0", L"Naam"), L"Keep me");
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(Editor, KeepsLongAndNonLatinDescriptionsIntact) {
  ChimewatchSession session;
  session.Start();
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  HWND editor = OpenNewAlarm(session, setup);
  ASSERT_NE(editor, nullptr);
  const std::wstring name = L"\u6b6f\u79d1 \u0417\u0443\u0431 " + std::wstring(300, L'x');
  driver::SetText(Control(editor, IDC_TXTNAME), name);
  driver::PostClick(Control(editor, IDC_CMDOK));
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ReadSettingText(L"0", L"Naam") == name; }, 3000));
  EXPECT_TRUE(driver::WaitUntil([&] { return Names(session.AlarmList()) == std::vector<std::wstring>{name}; }, 3000));
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(Editor, ExitFromTheTrayClosesTheEditorWithoutStoring) {
  ChimewatchSession session;
  session.Start();
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  HWND editor = OpenNewAlarm(session, setup);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(session.Exit(), 0u);
  EXPECT_EQ(driver::ReadSettingText(L"0", L"Exist"), std::nullopt);
}

// The alarm check is paused while the list window is open and runs again
// after Esc or the frame's close button; its next tick comes a minute later.
TEST(ListWindow, EscAndTheFrameCloseButtonResumeTheAlarmCheck) {
  ChimewatchSession session;
  StoreAlarm(0, L"First", LocalTimeFromNow(0, -1), 0, false);
  session.Start();

  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  driver::PostKey(session.AlarmList(), VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(setup, 3000));
  auto box = driver::WaitForMessageBox(session.Pid(), 65000);
  ASSERT_TRUE(box) << "no alarm check after Esc";
  EXPECT_TRUE(box->text.starts_with(L"First"));
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(driver::WaitForWindowGone(box->hwnd, 5000));

  setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  // Add the second alarm through the editor, then close with the frame.
  HWND editor = OpenNewAlarm(session, setup);
  ASSERT_NE(editor, nullptr);
  const SYSTEMTIME due = LocalTimeFromNow(0, -1);
  EnterAlarm(editor, L"Second", due);
  driver::PostClick(Control(editor, IDC_CMDOK));
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));
  PostMessageW(setup, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(driver::WaitForWindowGone(setup, 3000));
  box = driver::WaitForMessageBox(session.Pid(), 65000);
  ASSERT_TRUE(box) << "no alarm check after the frame's close button";
  EXPECT_TRUE(box->text.starts_with(L"Second"));
  driver::Answer(box->hwnd, IDOK);
  EXPECT_EQ(session.Exit(), 0u);
}
