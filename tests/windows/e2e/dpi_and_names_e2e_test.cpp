// A change of DPI lays the windows out again from their twips, and every
// focusable control carries the name a sighted user reads beside it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
// oleacc.h only declares its GUIDs; MinGW imports them from a DLL that lacks
// them, so this file defines them.
#include <initguid.h>
#include <oleacc.h>

#include <optional>
#include <span>
#include <vector>

#include "chimewatch_session.h"
#include "layout_check.h"
#include "resource.h"

namespace {

HWND Control(HWND window, int id) { return driver::FindChildById(window, id); }

int PrefixDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// The rectangle Windows suggests for a window at the new DPI: the same
// top-left corner, with room for the layout's client area at that DPI.
RECT SuggestedRect(HWND window, const WindowLayout& layout, int dpi) {
  RECT rect = TwipsRect(0, 0, layout.clientWidth, layout.clientHeight, dpi);
  AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  RECT now{};
  GetWindowRect(window, &now);
  OffsetRect(&rect, now.left - rect.left, now.top - rect.top);
  return rect;
}

// Measures of the font the controls draw with, as read from outside.
int SelectionFieldHeight(HWND combo) {
  return static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
}
int OffsetOfCharacter(HWND edit, int index) {
  return LOWORD(SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0));
}
int HeaderHeight(HWND list) {
  RECT header{};
  GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
  return header.bottom - header.top;
}

}  // namespace

TEST(Dpi, AChangeTo144DpiLaysTheEditorAndTheListWindowOutAgain) {
  if (PrefixDpi() != 96) GTEST_SKIP() << "the prefix is not at 96 DPI";
  ChimewatchSession session;
  StoreAlarm(3, L"Water the plants", LocalTimeFromNow(1, 0), 0, false);
  session.Start();
  session.TrayMouse(WM_LBUTTONDBLCLK);
  HWND setup = session.WaitForSetupWindow();
  ASSERT_NE(setup, nullptr);
  driver::PostClick(Control(setup, IDC_CMDNIEUW));
  HWND editor = session.WaitForEditor();
  ASSERT_NE(editor, nullptr);

  HWND repeat = Control(editor, IDC_CMBREPEAT);
  HWND name = Control(editor, IDC_TXTNAME);
  const int fieldHeight = SelectionFieldHeight(repeat);
  const int textOffset = OffsetOfCharacter(name, 5);
  ASSERT_TRUE(driver::SendDpiChanged(editor, 144, SuggestedRect(editor, kEditWindow, 144)));
  ExpectLaidOutAt(editor, kEditWindow, kEditControls, 144);
  EXPECT_GT(SelectionFieldHeight(repeat), fieldHeight) << "a larger font";
  EXPECT_GT(OffsetOfCharacter(name, 5), textOffset) << "a larger font";
  Sleep(300);  // let the controls repaint
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\editor-96dpi-changed-to-144dpi.png", editor));
  // The Custom repeat dialog opens at the editor's DPI and follows a change.
  driver::PostKey(repeat, VK_END);
  HWND custom = driver::WaitForWindow(session.Pid(), L"ChimewatchCustomRepeat", L"Custom repeat", 5000);
  ASSERT_NE(custom, nullptr);
  EXPECT_EQ(SelectionFieldHeight(Control(custom, IDC_CMBUNIT)), SelectionFieldHeight(repeat)) << "the editor's font";
  for (const int dpi : {144, 96}) {
    ASSERT_TRUE(driver::SendDpiChanged(custom, dpi, SuggestedRect(custom, kCustomRuleWindow, dpi)));
    ExpectLaidOutAt(custom, kCustomRuleWindow, kCustomRuleControls, dpi);
  }
  driver::PostKey(Control(custom, IDC_TXTINTERVAL), VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(custom, 3000));
  EXPECT_EQ(driver::GetText(repeat), L"Once") << "Cancel goes back to the entry chosen before";
  driver::PostKey(name, VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));

  // The user has widened the description column.
  HWND list = session.AlarmList();
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(200, 0));
  std::vector<int> widths;
  for (int column = 0; column < 6; ++column) widths.push_back(driver::ListViewColumnWidth(list, column));
  const int headerHeight = HeaderHeight(list);
  ASSERT_TRUE(driver::SendDpiChanged(setup, 144, SuggestedRect(setup, kSetupWindow, 144)));
  ExpectLaidOutAt(setup, kSetupWindow, kSetupControls, 144);
  EXPECT_GT(HeaderHeight(list), headerHeight) << "a larger font";
  for (int column = 0; column < 6; ++column) {
    EXPECT_NEAR(driver::ListViewColumnWidth(list, column), widths[static_cast<std::size_t>(column)] * 3 / 2, 1)
        << "column " << column;
  }
  Sleep(300);  // let the controls repaint
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\list-window-96dpi-changed-to-144dpi.png", setup));
  EXPECT_EQ(session.Exit(), 0u);
}

namespace {

// The name oleacc gives a control, as a screen reader reads it.
std::optional<std::wstring> AccessibleName(HWND control) {
  IAccessible* accessible = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&accessible)))) {
    return std::nullopt;
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  const HRESULT result = accessible->get_accName(self, &name);
  accessible->Release();
  if (result != S_OK || !name) return std::nullopt;
  std::wstring text(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

struct ExpectedName {
  int id;
  const wchar_t* name;
  bool namedByLabel;  // a field, named by the label just before it
};

// Each control's name, read back where oleacc tells it; each field's label
// just before it in z-order, with the name as its text, as Windows reads it.
void ExpectNames(HWND window, std::span<const ExpectedName> expected) {
  for (const ExpectedName& control : expected) {
    SCOPED_TRACE(testing::Message() << "control " << control.id);
    HWND field = Control(window, control.id);
    if (control.namedByLabel) {
      HWND label = GetWindow(field, GW_HWNDPREV);
      EXPECT_EQ(driver::ClassName(label), L"Static");
      EXPECT_EQ(driver::GetText(label), control.name);
    }
    // Wine's oleacc names a drop-down list by its selected entry, where
    // Windows takes the label: for it, the label above is the check.
    if (driver::ClassName(field) != L"ComboBox") {
      EXPECT_EQ(AccessibleName(field).value_or(L"<none>"), control.name);
    }
  }
}

// The controls the dialog manager's Tab visits, from the first one round.
std::vector<int> TabOrder(HWND window, int first) {
  std::vector<int> ids;
  HWND control = Control(window, first);
  do {
    ids.push_back(GetDlgCtrlID(control));
    control = GetNextDlgTabItem(window, control, FALSE);
  } while (control && GetDlgCtrlID(control) != first && ids.size() < 20);
  return ids;
}

// No label paints over another control: what a label may paint (its window
// region, or its whole rectangle) meets no other control's rectangle.
void ExpectNoLabelCoversAControl(HWND window) {
  for (HWND label : driver::ChildWindows(window)) {
    if (driver::ClassName(label) != L"Static") continue;
    const RECT labelRect = driver::ChildRect(label);
    HRGN painted = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(label, painted) == ERROR)
      SetRectRgn(painted, 0, 0, labelRect.right - labelRect.left, labelRect.bottom - labelRect.top);
    OffsetRgn(painted, labelRect.left, labelRect.top);
    for (HWND other : driver::ChildWindows(window)) {
      if (other == label || GetParent(other) != window || driver::ClassName(other) == L"Static") continue;
      const RECT otherRect = driver::ChildRect(other);
      EXPECT_FALSE(RectInRegion(painted, &otherRect))
          << "label " << driver::GetText(label).c_str() << " over control " << GetDlgCtrlID(other);
    }
    DeleteObject(painted);
  }
}

}  // namespace

TEST(AccessibleNames, EveryFocusableControlIsNamedAsASightedUserReadsIt) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  ChimewatchSession session;
  session.Start();
  session.TrayMouse(WM_LBUTTONDBLCLK);
  HWND setup = session.WaitForSetupWindow();
  ASSERT_NE(setup, nullptr);
  const ExpectedName listWindow[] = {{IDC_CMDNIEUW, L"New", false},
                                     {IDC_CMDEDIT, L"Edit", false},
                                     {IDC_CMDREMOVE, L"Delete", false},
                                     {IDC_CMDCLOSE, L"Close", false},
                                     {IDC_LSTALARM, L"Alerts", false}};
  ExpectNames(setup, listWindow);
  EXPECT_EQ(TabOrder(setup, IDC_CMDNIEUW),
            (std::vector<int>{IDC_CMDNIEUW, IDC_CMDEDIT, IDC_CMDREMOVE, IDC_CMDCLOSE, IDC_LSTALARM}));

  driver::PostClick(Control(setup, IDC_CMDNIEUW));
  HWND editor = session.WaitForEditor();
  ASSERT_NE(editor, nullptr);
  const ExpectedName editorFields[] = {{IDC_CHKACTIEF, L"Active", false}, {IDC_TXTNAME, L"Description", true},
                                       {IDC_TXTDATE, L"Date", true},      {IDC_TXTTIJD, L"Time", true},
                                       {IDC_CMBREPEAT, L"Repeat", true},  {IDC_CMDOK, L"OK", false},
                                       {IDC_CMDCANCEL, L"Cancel", false}, {IDC_CHKDELETE, L"Delete when over", false},
                                       {IDC_CMDSOUND, L"Sound...", false}};
  ExpectNames(editor, editorFields);
  EXPECT_EQ(TabOrder(editor, IDC_CHKACTIEF),
            (std::vector<int>{IDC_CHKACTIEF, IDC_TXTNAME, IDC_TXTDATE, IDC_TXTTIJD, IDC_CMBREPEAT, IDC_CMDOK,
                              IDC_CMDCANCEL, IDC_CHKDELETE, IDC_CMDSOUND}));
  ExpectNoLabelCoversAControl(editor);
  ExpectNoLabelCoversAControl(setup);

  driver::PostKey(Control(editor, IDC_CMBREPEAT), VK_END);
  HWND custom = driver::WaitForWindow(session.Pid(), L"ChimewatchCustomRepeat", L"Custom repeat", 5000);
  ASSERT_NE(custom, nullptr);
  const ExpectedName customFields[] = {{IDC_TXTINTERVAL, L"Every", true},   {IDC_CMBUNIT, L"Period", true},
                                       {IDC_CHKDAY_FIRST, L"Mo", false},    {IDC_CHKDAY_LAST, L"Su", false},
                                       {IDC_CMBPLACE, L"In a month", true}, {IDC_CMBWEEKDAY, L"Weekday", true},
                                       {IDC_CMBEND, L"Ends", true},         {IDC_TXTENDVALUE, L"Times/date", true},
                                       {IDC_CMDOK, L"OK", false},           {IDC_CMDCANCEL, L"Cancel", false}};
  ExpectNames(custom, customFields);
  // Weekly: the weekday boxes take the focus, the month's lists and the
  // end's value (never) do not.
  EXPECT_EQ(TabOrder(custom, IDC_TXTINTERVAL),
            (std::vector<int>{IDC_TXTINTERVAL, IDC_CMBUNIT, IDC_CHKDAY_FIRST, IDC_CHKDAY_FIRST + 1,
                              IDC_CHKDAY_FIRST + 2, IDC_CHKDAY_FIRST + 3, IDC_CHKDAY_FIRST + 4, IDC_CHKDAY_FIRST + 5,
                              IDC_CHKDAY_LAST, IDC_CMBEND, IDC_CMDOK, IDC_CMDCANCEL}));
  ExpectNoLabelCoversAControl(custom);
  driver::PostKey(Control(custom, IDC_TXTINTERVAL), VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(custom, 3000));

  // The Sound dialog: Tab reaches its choices at the one chosen, the arrow
  // keys move within them.
  driver::PostClick(Control(editor, IDC_CMDSOUND));
  HWND sound = driver::WaitForWindow(session.Pid(), L"ChimewatchSound", L"Sound", 5000);
  ASSERT_NE(sound, nullptr);
  const ExpectedName soundFields[] = {{IDC_OPTREMINDER, L"Windows' reminder sound", false},
                                      {IDC_OPTNOSOUND, L"No sound", false},
                                      {IDC_OPTFILE, L"A sound file", false},
                                      {IDC_TXTSOUNDFILE, L"File", true},
                                      {IDC_CMDBROWSE, L"Browse...", false},
                                      {IDC_CMDPLAY, L"Play", false},
                                      {IDC_CHKUNTILANSWERED, L"Until I answer", false},
                                      {IDC_CMDOK, L"OK", false},
                                      {IDC_CMDCANCEL, L"Cancel", false}};
  ExpectNames(sound, soundFields);
  EXPECT_EQ(TabOrder(sound, IDC_OPTREMINDER),
            (std::vector<int>{IDC_OPTREMINDER, IDC_TXTSOUNDFILE, IDC_CMDBROWSE, IDC_CMDPLAY, IDC_CHKUNTILANSWERED,
                              IDC_CMDOK, IDC_CMDCANCEL}));
  EXPECT_EQ(GetDlgCtrlID(GetNextDlgGroupItem(sound, Control(sound, IDC_OPTREMINDER), FALSE)), IDC_OPTNOSOUND);
  ExpectNoLabelCoversAControl(sound);
  driver::PostKey(Control(sound, IDC_OPTREMINDER), VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(sound, 3000));
  driver::PostKey(Control(editor, IDC_TXTNAME), VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));

  // The calendars window (Remove waits for a calendar to remove) and Add....
  session.Command(IDM_CALENDARS);
  HWND calendars = driver::WaitForWindow(session.Pid(), L"ChimewatchCalendars", L"Calendars", 5000);
  ASSERT_NE(calendars, nullptr);
  const ExpectedName calendarsControls[] = {{IDC_LSTCALENDARS, L"Calendars", false},
                                            {IDC_CMDADD, L"Add...", false},
                                            {IDC_CMDREFRESH, L"Refresh now", false},
                                            {IDC_CMDCANCEL, L"Close", false}};
  ExpectNames(calendars, calendarsControls);
  EXPECT_EQ(TabOrder(calendars, IDC_LSTCALENDARS),
            (std::vector<int>{IDC_LSTCALENDARS, IDC_CMDADD, IDC_CMDREFRESH, IDC_CMDCANCEL}));
  ExpectNoLabelCoversAControl(calendars);
  driver::PostClick(Control(calendars, IDC_CMDADD));
  HWND add = driver::WaitForWindow(session.Pid(), L"ChimewatchAddCalendar", L"Follow a calendar", 5000);
  ASSERT_NE(add, nullptr);
  const ExpectedName addFields[] = {{IDC_TXTADDRESS, L"Address", true},
                                    {IDC_TXTCALNAME, L"Name", true},
                                    {IDC_TXTUSER, L"User name", true},
                                    {IDC_TXTPASSWORD, L"Password", true},
                                    {IDC_TXTLEAD, L"Events without a reminder of their own ring", true},
                                    {IDC_TXTREFRESH, L"Fetched every", true},
                                    {IDC_CMDOK, L"OK", false},
                                    {IDC_CMDCANCEL, L"Cancel", false}};
  ExpectNames(add, addFields);
  EXPECT_EQ(TabOrder(add, IDC_TXTADDRESS), (std::vector<int>{IDC_TXTADDRESS, IDC_TXTCALNAME, IDC_TXTUSER,
                                                             IDC_TXTPASSWORD, IDC_TXTLEAD, IDC_TXTREFRESH, IDC_CMDOK,
                                                             IDC_CMDCANCEL}));
  EXPECT_TRUE(GetWindowLongPtrW(Control(add, IDC_TXTPASSWORD), GWL_STYLE) & ES_PASSWORD);
  ExpectNoLabelCoversAControl(add);
  driver::PostKey(Control(add, IDC_TXTADDRESS), VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(add, 3000));
  driver::PostKey(Control(calendars, IDC_LSTCALENDARS), VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(calendars, 3000));
  EXPECT_EQ(session.Exit(), 0u);
  CoUninitialize();
}
