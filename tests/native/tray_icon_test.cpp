#include <gtest/gtest.h>

#include <string>
#include <vector>

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

class RecordingSender final : public TrayIconSender {
 public:
  std::vector<SentCall> calls;
  bool accepts = true;

  bool Send(TrayMessage message, unsigned fields, const TrayIconRecord& record) override {
    calls.push_back({message, fields, record.window, record.icon, std::wstring(record.tip.data())});
    EXPECT_EQ(record.id, kTrayIconId);
    EXPECT_EQ(record.callbackMessage, kTrayCallbackMessage);
    return accepts;
  }
};

int window = 0;
int activePicture = 0;
int notActivePicture = 0;

class TrayIconTest : public ::testing::Test {
 protected:
  TrayIconTest() {
    tray.TrayIcons = {&notActivePicture, &activePicture};
    tray.AddTrayIcon(&window, kTipActive, tray.TrayIcons[1]);
  }
  RecordingSender shell;
  TrayIconService tray{shell};
};

}  // namespace

TEST_F(TrayIconTest, AddSendsTheWholeRecord) {
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].message, TrayMessage::Add);
  EXPECT_EQ(shell.calls[0].fields, kTrayCallbackField | kTrayIconField | kTrayTipField);
  EXPECT_EQ(shell.calls[0].window, &window);
  EXPECT_EQ(shell.calls[0].icon, &activePicture);
  EXPECT_EQ(shell.calls[0].tip, L"Chimewatch (active)");
}

TEST_F(TrayIconTest, TheSecondlyRefreshSendsOnlyTheTip) {
  AlarmTable table;
  const DateValue now = At(2026, 12, 7, 14, 30, 15);
  for (int tick = 0; tick < 3; ++tick) tray.ChangeTrayTip(Timer1TipText(table, true, now + tick / 86400.0));
  ASSERT_EQ(shell.calls.size(), 4u);
  for (std::size_t i = 1; i < shell.calls.size(); ++i) {
    EXPECT_EQ(shell.calls[i].message, TrayMessage::Modify);
    EXPECT_EQ(shell.calls[i].fields, kTrayTipField);
  }
  EXPECT_EQ(shell.calls[3].tip, L"Chimewatch (active)  09:29:43");
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
  ASSERT_EQ(shell.calls.size(), 5u);
  for (std::size_t i = 0; i < 4; ++i) {
    const SentCall& call = shell.calls[i + 1];
    EXPECT_EQ(call.message, TrayMessage::Modify) << i;
    EXPECT_EQ(call.fields, expected[i].fields) << i;
    EXPECT_EQ(call.icon, expected[i].icon) << i;
    EXPECT_EQ(call.tip, expected[i].tip) << i;
  }
}

TEST_F(TrayIconTest, TheRecordKeepsEveryFieldForReAddAndDelete) {
  tray.ChangeTrayIcon(tray.TrayIcons[0]);
  tray.ChangeTrayTip(L"Chimewatch (not active)  01:02:03");
  tray.ReAddTrayIcon();
  tray.DeleteTrayIcon();
  ASSERT_EQ(shell.calls.size(), 5u);
  for (const SentCall& call : {shell.calls[3], shell.calls[4]}) {
    EXPECT_EQ(call.fields, kTrayCallbackField | kTrayIconField | kTrayTipField);
    EXPECT_EQ(call.window, &window);
    EXPECT_EQ(call.icon, &notActivePicture);
    EXPECT_EQ(call.tip, L"Chimewatch (not active)  01:02:03");
  }
  EXPECT_EQ(shell.calls[3].message, TrayMessage::Add);
  EXPECT_EQ(shell.calls[4].message, TrayMessage::Delete);
}

TEST_F(TrayIconTest, EachCallReportsWhetherTheShellAcceptedIt) {
  EXPECT_TRUE(tray.ChangeTrayTip(L"a"));
  shell.accepts = false;
  EXPECT_FALSE(tray.ChangeTrayTip(L"b"));
  EXPECT_FALSE(tray.ChangeTrayIcon(tray.TrayIcons[0]));
  EXPECT_FALSE(tray.ReAddTrayIcon());
  EXPECT_FALSE(tray.DeleteTrayIcon());
}
