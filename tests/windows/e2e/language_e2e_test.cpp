// The program in another language: German as Windows' display language
// (run with LANG=de_DE.UTF-8), and the pseudo-language, whose every text is
// bracketed, to find texts that do not come from the table.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <regex>
#include <thread>

#include "chimewatch_session.h"
#include "resource.h"
#include "test_files.h"

namespace {

// A pseudo-language text: "[Ëdït àlërt ····]".
bool IsPseudo(const std::wstring& text) { return text.size() > 2 && text.front() == L'[' && text.back() == L']'; }

// Every caption, label, button and selected list entry of the window.
void ExpectEveryTextFromTheTable(HWND window) {
  EXPECT_TRUE(IsPseudo(driver::WindowText(window))) << testing::PrintToString(driver::WindowText(window));
  for (HWND child : driver::ChildWindows(window)) {
    const std::wstring kind = driver::ClassName(child);
    if (kind == L"Edit" || !IsWindowVisible(child)) continue;  // what the user typed, dates
    const std::wstring text = driver::GetText(child);
    if (text.empty()) continue;  // the countdown label between ticks, an empty list
    EXPECT_TRUE(IsPseudo(text)) << "not from the table: " << testing::PrintToString(text) << " in " << kind.c_str();
  }
}

}  // namespace

TEST(German, AnAlertFiresWithTheTipAndListInGermanAndTheStoreAsInEnglish) {
  ASSERT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), LANG_GERMAN) << "run with LANG=de_DE.UTF-8";
  ChimewatchSession session;
  const SYSTEMTIME due = LocalTimeFromNow(0, -30);
  StoreAlarm(3, L"Tee", due, 1, false);
  const SYSTEMTIME meeting = LocalTimeFromNow(3, 0);
  StoreAlarm(4, L"Besprechung", meeting, 2, false);
  ASSERT_TRUE(driver::WriteSettingText(L"4", L"Rule",
                                       L"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;DTSTART=" + StoredTimeText(meeting)));
  session.Start();
  EXPECT_TRUE(driver::WaitForTrayTip(
      [](const std::wstring& t) {
        return std::regex_match(t, std::wregex(L"Chimewatch \\(aktiv\\)  \\d\\d:\\d\\d:\\d\\d"));
      },
      5000));
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  EXPECT_EQ(driver::ListViewHeaderText(session.AlarmList(), 1), L"Beschreibung");
  EXPECT_EQ(driver::ListViewHeaderText(session.AlarmList(), 3), L"Zeit");
  EXPECT_EQ(driver::WindowText(driver::FindChildById(setup, IDC_CMDNIEUW)), L"&Neu");
  EXPECT_EQ(driver::WindowText(driver::FindChildById(setup, IDC_CMDCLOSE)), L"&Schlie\u00DFen");
  driver::PostClick(driver::FindChildById(setup, IDC_CMDNIEUW));
  HWND editor = session.WaitForEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(driver::WindowText(editor), L"Erinnerung bearbeiten");
  EXPECT_EQ(driver::GetText(driver::FindChildById(editor, IDC_CMBREPEAT)), L"Einmal");
  driver::PostKey(driver::FindChildById(editor, IDC_TXTNAME), VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));
  // A repeat rule in German words.
  ASSERT_TRUE(driver::DoubleClickListViewRow(session.AlarmList(), 1));
  editor = session.WaitForEditor();
  ASSERT_NE(editor, nullptr);
  HWND repeat = driver::FindChildById(editor, IDC_CMBREPEAT);
  EXPECT_EQ(driver::GetText(repeat), L"Alle 2 Wochen am Montag und Donnerstag");
  // Longer than its box: the list opens wide enough to show it whole.
  SendMessageW(repeat, CB_SHOWDROPDOWN, TRUE, 0);
  RECT closed{};
  GetWindowRect(repeat, &closed);
  EXPECT_GT(SendMessageW(repeat, CB_GETDROPPEDWIDTH, 0, 0), closed.right - closed.left);
  Sleep(300);
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\editor-german.png", setup));
  SendMessageW(repeat, CB_SHOWDROPDOWN, FALSE, 0);
  driver::PostKey(driver::FindChildById(editor, IDC_TXTNAME), VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));

  session.AlarmTick();
  const auto box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box) << "no alarm box";
  EXPECT_EQ(box->caption, L"Chimewatch");
  EXPECT_EQ(box->text, L"Tee\r\n" + ShortTimeDateText(due));
  driver::Answer(box->hwnd, IDOK);
  // Stored as in English: the program's own time pattern, True and False.
  const std::wstring nextDay = StoredTimeText(LocalTimeFromNow(1, -30));
  EXPECT_TRUE(driver::WaitUntil([&] { return driver::ReadSettingText(L"3", L"Tijd") == nextDay; }, 3000));
  EXPECT_EQ(driver::ReadSettingText(L"3", L"Actief"), L"True");
  EXPECT_EQ(driver::ReadSettingText(L"3", L"Repeat"), L"1");

  // English, chosen in the Language menu, takes over at once and is kept.
  session.Command(IDM_LANGUAGE_FIRST + 1);
  EXPECT_TRUE(
      driver::WaitForTrayTip([](const std::wstring& t) { return t.starts_with(L"Chimewatch (active)"); }, 3000));
  EXPECT_EQ(driver::ReadSettingText(L"Options", L"Language"), L"en");
  EXPECT_EQ(session.Exit(), 0u);
}

TEST(Languages, EveryTextShownComesFromTheTable) {
  ChimewatchSession session;
  driver::WriteSettingText(L"Options", L"Language", L"qps-ploc");
  StoreAlarm(2, L"Tea", LocalTimeFromNow(1, 0), 0, false);
  session.SetTipPrefix(L"[\u00C7h\u00EEm");
  session.Start();
  EXPECT_TRUE(driver::WaitForTrayTip([](const std::wstring& t) { return t.starts_with(L"[\u00C7h\u00EEm"); }, 5000));
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  ExpectEveryTextFromTheTable(setup);
  for (const int column : {1, 3}) EXPECT_TRUE(IsPseudo(driver::ListViewHeaderText(session.AlarmList(), column)));

  driver::PostClick(driver::FindChildById(setup, IDC_CMDNIEUW));
  HWND editor = session.WaitForEditor();
  ASSERT_NE(editor, nullptr);
  ExpectEveryTextFromTheTable(editor);
  // A new alert's description is the table's too.
  EXPECT_TRUE(IsPseudo(driver::GetText(driver::FindChildById(editor, IDC_TXTNAME))));

  // The editor's two dialogs: the Custom repeat (the Repeat list's last
  // entry) and Sound (its button).
  const struct {
    const wchar_t* windowClass;
    std::function<void()> open;
    const wchar_t* screenshot;
  } dialogs[] = {
      {L"ChimewatchCustomRepeat", [&] { driver::PostKey(driver::FindChildById(editor, IDC_CMBREPEAT), VK_END); },
       L"\\custom-repeat-pseudo.png"},
      {L"ChimewatchSound", [&] { driver::PostClick(driver::FindChildById(editor, IDC_CMDSOUND)); },
       L"\\sound-dialog-pseudo.png"},
  };
  for (const auto& dialog : dialogs) {
    dialog.open();
    HWND window = driver::WaitForWindow(session.Pid(), dialog.windowClass, std::nullopt, 5000);
    ASSERT_NE(window, nullptr);
    ExpectEveryTextFromTheTable(window);
    Sleep(300);
    EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + dialog.screenshot, window));
    driver::PostKey(driver::FindChildById(window, IDC_CMDCANCEL), VK_ESCAPE);
    ASSERT_TRUE(driver::WaitForWindowGone(window, 3000));
  }
  driver::PostKey(driver::FindChildById(editor, IDC_TXTNAME), VK_ESCAPE);
  ASSERT_TRUE(driver::WaitForWindowGone(editor, 3000));
  EXPECT_EQ(session.Exit(), 0u);
}

// Languages chosen every few milliseconds while a command's large file is
// read: the reading thread takes a text for each cancelled event, from the
// language file in use. The program goes on answering, the command ends
// with its true exit code, and its summary is in one language: the one in
// use when it was handed over.
TEST(Languages, ChangingTheLanguageDuringALargeImportKeepsTheProgramAnswering) {
  ChimewatchSession session;
  session.Start();
  std::string events;
  for (int i = 0; events.size() < (12u << 20); ++i) {
    events += Event("Big " + std::to_string(i), ":20300101T120000Z",
                    i % 2 != 0 ? "STATUS:CANCELLED\n" : "DESCRIPTION:" + std::string(100, 'x') + "\n");
  }
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring path = std::wstring(temp) + L"chimewatch-languages.ics";
  WriteBytes(path, OtherCalendar(events));

  const int threadsBefore = ThreadsOf(session.Pid());
  std::atomic<bool> done{false};
  driver::ProgramRun run;
  std::thread importing([&] {
    run = driver::RunProgram(gProgramPath, L"/import " + Quoted(path), 120000, {});
    done = true;
  });
  const bool reading = driver::WaitUntil([&] { return ThreadsOf(session.Pid()) > threadsBefore; }, 10000);
  constexpr int kLanguageItems = IDM_LANGUAGE_LAST - IDM_LANGUAGE_FIRST;  // after "As Windows"
  int changes = 0;
  bool answering = true;
  while (reading && !done && answering) {
    session.Command(IDM_LANGUAGE_FIRST + 1 + changes % kLanguageItems);
    if (++changes % 50 == 0) {
      DWORD_PTR result = 0;
      answering = SendMessageTimeoutW(session.MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &result) != 0;
    }
    Sleep(2);
  }
  importing.join();
  ASSERT_TRUE(reading) << "the file was not read on a thread of its own";
  EXPECT_TRUE(answering) << "stopped answering after " << changes << " changes";
  EXPECT_GT(changes, 100) << "the file was read before the languages changed";
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_TRUE(run.output.starts_with("Imported 101 alerts from chimewatch-languages.ics.")) << run.output;
  EXPECT_TRUE(std::all_of(run.output.begin(), run.output.end(), [](char c) { return (c & 0x80) == 0; }))
      << "another language in the summary: " << run.output;
  DeleteFileW(path.c_str());
  EXPECT_EQ(session.Exit(), 0u);
}
