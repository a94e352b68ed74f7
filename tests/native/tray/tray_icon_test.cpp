#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text_table.h"
#include "test_support.h"
#include "tray_icon.h"
#include "tray_tip.h"

namespace {

// Records what each call would hand to the shell.
struct SentCall {
  TrayMessage message;
  unsigned fields;
  void* window;
  void* icon;
  std::wstring tip;  // up to the NUL
};

// Plays the shell as Windows documents it: an add fails on an icon it has,
// a change or a focus on one it has not. `refusals` more calls fail first,
// as while the taskbar is still starting; `accepts` false refuses all.
class RecordingSender final : public TrayIconSender {
 public:
  std::vector<SentCall> calls;
  bool accepts = true;
  int refusals = 0;
  bool hasIcon = false;

  bool Send(TrayMessage message, unsigned fields, const TrayIconRecord& record) override {
    calls.push_back({message, fields, record.window, record.icon, std::wstring(record.tip.data())});
    EXPECT_EQ(record.id, kTrayIconId);
    EXPECT_EQ(record.callbackMessage, kTrayCallbackMessage);
    if (!accepts || refusals-- > 0) return false;
    if (message == TrayMessage::Add) return !hasIcon && (hasIcon = true);
    if (message == TrayMessage::Delete) return hasIcon && !(hasIcon = false);
    return hasIcon;
  }
  std::vector<TrayMessage> Messages(std::size_t from = 0) const {
    std::vector<TrayMessage> messages;
    for (std::size_t i = from; i < calls.size(); ++i) messages.push_back(calls[i].message);
    return messages;
  }
};

int window = 0;
int activePicture = 0;
int notActivePicture = 0;

constexpr unsigned kShownFields = kTrayCallbackField | kTrayIconField | kTrayTipField | kTrayShowTipFlag;

class TrayIconTest : public ::testing::Test {
 protected:
  TrayIconTest() {
    tray.TrayIcons = {&notActivePicture, &activePicture};
    tray.AddTrayIcon(&window, Text(TextId::TipActive), tray.TrayIcons[1]);
  }
  RecordingSender shell;
  TrayIconService tray{shell};
};

using M = TrayMessage;

}  // namespace

TEST_F(TrayIconTest, AddSendsTheWholeRecordThenAsksForVersion4) {
  ASSERT_EQ(shell.Messages(), (std::vector<M>{M::Add, M::SetVersion4}));
  EXPECT_EQ(shell.calls[0].fields, kShownFields);
  EXPECT_EQ(shell.calls[0].window, &window);
  EXPECT_EQ(shell.calls[0].icon, &activePicture);
  EXPECT_EQ(shell.calls[0].tip, L"Chimewatch (active)");
  EXPECT_EQ(shell.calls[1].window, &window);
}

TEST_F(TrayIconTest, TheSecondlyRefreshSendsOnlyTheTip) {
  AlarmTable table;
  const DateValue now = At(2026, 12, 7, 14, 30, 15);
  for (int tick = 0; tick < 3; ++tick) tray.Timer1Tip(Timer1TipText(table, true, now + tick / 86400.0));
  ASSERT_EQ(shell.calls.size(), 5u);
  for (std::size_t i = 2; i < shell.calls.size(); ++i) {
    EXPECT_EQ(shell.calls[i].message, TrayMessage::Modify);
    EXPECT_EQ(shell.calls[i].fields, kTrayTipField | kTrayShowTipFlag);
  }
  EXPECT_EQ(shell.calls[4].tip, L"Chimewatch (active)  09:29:43");
}

TEST_F(TrayIconTest, AToggleSendsTheIconThenTheTip) {
  ShowMonitoring(tray, false);
  ShowMonitoring(tray, true);
  struct Expected {
    unsigned fields;
    void* icon;
    std::wstring tip;
  };
  const Expected expected[] = {{kTrayIconField, &notActivePicture, L"Chimewatch (active)"},
                               {kTrayTipField, &notActivePicture, L"Chimewatch (not active)"},
                               {kTrayIconField, &activePicture, L"Chimewatch (not active)"},
                               {kTrayTipField, &activePicture, L"Chimewatch (active)"}};
  ASSERT_EQ(shell.calls.size(), 6u);
  for (std::size_t i = 0; i < 4; ++i) {
    const SentCall& call = shell.calls[i + 2];
    EXPECT_EQ(call.message, TrayMessage::Modify) << i;
    EXPECT_EQ(call.fields, expected[i].fields | kTrayShowTipFlag) << i;
    EXPECT_EQ(call.icon, expected[i].icon) << i;
    EXPECT_EQ(call.tip, expected[i].tip) << i;
  }
}

TEST_F(TrayIconTest, TheRecordKeepsEveryFieldForReAddAndDelete) {
  tray.ChangeTrayIcon(tray.TrayIcons[0]);
  tray.ChangeTrayTip(L"Chimewatch (not active)  01:02:03");
  shell.hasIcon = false;  // the shell restarted
  tray.ReAddTrayIcon();
  tray.DeleteTrayIcon();
  ASSERT_EQ(shell.Messages(4), (std::vector<M>{M::Modify, M::Add, M::SetVersion4, M::Delete}));
  for (const std::size_t i : {4u, 5u, 7u}) {
    const SentCall& call = shell.calls[i];
    EXPECT_EQ(call.fields & kAllTrayFields, kAllTrayFields) << i;
    EXPECT_EQ(call.window, &window);
    EXPECT_EQ(call.icon, &notActivePicture);
    EXPECT_EQ(call.tip, L"Chimewatch (not active)  01:02:03");
  }
}

TEST_F(TrayIconTest, EachCallReportsWhetherTheShellAcceptedIt) {
  EXPECT_TRUE(tray.ChangeTrayTip(L"a"));
  shell.accepts = false;
  EXPECT_FALSE(tray.ChangeTrayTip(L"b"));
  EXPECT_FALSE(tray.ChangeTrayIcon(tray.TrayIcons[0]));
  EXPECT_FALSE(tray.ReAddTrayIcon());
  EXPECT_FALSE(tray.DeleteTrayIcon());
}

// Windows hides the tip of a version 4 icon unless each add and change
// asks for it: every way the icon is put in or changed.
TEST_F(TrayIconTest, EveryAddAndChangeAsksForTheStandardTip) {
  ShowMonitoring(tray, false);
  tray.Timer1Tip(L"t");
  tray.ReAddTrayIcon();  // after a wake: the shell still has it
  shell.hasIcon = false;
  tray.ReAddTrayIcon();  // after TaskbarCreated
  shell.hasIcon = false;
  tray.ChangeTrayTip(L"u");  // a change that fails puts it in again
  std::size_t addsAndChanges = 0;
  for (const SentCall& call : shell.calls) {
    if (call.message != M::Add && call.message != M::Modify) continue;
    ++addsAndChanges;
    EXPECT_TRUE(call.fields & kTrayShowTipFlag) << static_cast<unsigned>(call.message) << " " << call.fields;
  }
  EXPECT_EQ(addsAndChanges, 10u);
}

TEST(TrayIconRetry, AnAddTheShellRefusesIsTriedAgainUntilItIsTaken) {
  const struct {
    int refusals;
    int seconds;                      // ticks of the tip timer
    std::vector<int> triesAtSeconds;  // the ticks that try to put the icon in
    bool shownAtTheEnd;
  } cases[] = {
      {0, 12, {}, true},          {1, 12, {5}, true},      // refused at start: a change, then an add, 5 s later
      {2, 12, {5}, true},                                  // the retry's change refused too, its add taken
      {3, 12, {5, 10}, true},                              // the retry's add refused as well: 5 s more
      {5, 16, {5, 10, 15}, true}, {1000, 181, {}, false},  // still starting: 36 quick tries, then once a minute
  };
  for (const auto& c : cases) {
    RecordingSender shell;
    shell.refusals = c.refusals;
    TrayIconService tray(shell);
    EXPECT_EQ(tray.AddTrayIcon(&window, Text(TextId::TipActive), &activePicture), c.refusals == 0);
    std::vector<int> tries;
    for (int second = 1; second <= c.seconds; ++second) {
      const std::size_t before = shell.calls.size();
      tray.Timer1Tip(L"Chimewatch (active)  01:00:00");
      if (shell.calls.size() > before && shell.calls[before].fields == kShownFields) tries.push_back(second);
    }
    if (c.refusals < 1000) {
      EXPECT_EQ(tries, c.triesAtSeconds) << c.refusals;
    }
    EXPECT_EQ(tray.Shown(), c.shownAtTheEnd) << c.refusals;
    EXPECT_EQ(shell.hasIcon, c.shownAtTheEnd) << c.refusals;
    if (c.shownAtTheEnd) {
      EXPECT_EQ(shell.calls.back().message, M::Modify) << "the tip counts down again";
      EXPECT_EQ(shell.calls.back().tip, L"Chimewatch (active)  01:00:00");
    } else {
      ASSERT_EQ(tries.size(), 36u);
      EXPECT_EQ(tries.back(), 180);
    }
  }
}

TEST(TrayIconRetry, AChangeTheShellRefusesPutsTheIconInAgain) {
  const struct {
    const char* what;
    bool shellHasIcon;
    int refusals;
    std::vector<M> messages;
  } cases[] = {
      {"lost by the shell", false, 0, {M::Modify, M::Modify, M::Add, M::SetVersion4}},
      {"a change timed out, the icon still there", true, 1, {M::Modify, M::Modify, M::SetVersion4}},
  };
  for (const auto& c : cases) {
    RecordingSender shell;
    TrayIconService tray(shell);
    tray.AddTrayIcon(&window, Text(TextId::TipActive), &activePicture);
    shell.hasIcon = c.shellHasIcon;
    shell.refusals = c.refusals;
    EXPECT_TRUE(tray.ChangeTrayTip(L"x")) << c.what;
    EXPECT_EQ(shell.Messages(2), c.messages) << c.what;
    EXPECT_TRUE(shell.hasIcon) << c.what;
  }
}

// Only the focus a cancelled keyboard menu took goes back to the tray.
TEST_F(TrayIconTest, ACancelledKeyboardMenuGivesTheFocusBack) {
  const struct {
    TrayAction openedBy;
    bool commandChosen;
    bool stillInFront;
    std::vector<M> messages;
  } cases[] = {
      {TrayAction::MenuAtIcon, false, true, {M::SetFocus}},  // Esc
      {TrayAction::MenuAtIcon, false, false, {}},            // a click on another window
      {TrayAction::MenuAtIcon, true, true, {}},
      {TrayAction::MenuAtPointer, false, true, {}},
      {TrayAction::MenuAtPointer, true, true, {}},
  };
  for (const auto& c : cases) {
    const std::size_t before = shell.calls.size();
    tray.MenuClosed(c.openedBy, c.commandChosen, c.stillInFront);
    EXPECT_EQ(shell.Messages(before), c.messages) << static_cast<int>(c.openedBy) << c.commandChosen << c.stillInFront;
    if (!c.messages.empty()) {
      EXPECT_EQ(shell.calls.back().window, &window);
    }
  }
}
