// Whether a due alert waits while the user presents, and which sound its
// box plays.
#include <gtest/gtest.h>

#include <map>

#include "notification_hold.h"
#include "sound_choice.h"

TEST(AlertsWait, OnlyWhileAFullScreenProgramAGameOrAPresentationRuns) {
  using S = NotificationState;
  const struct {
    std::optional<S> state;
    bool waits;
  } kRows[] = {
      {S::Busy, true},
      {S::FullScreenGame, true},
      {S::Presentation, true},
      {S::NotPresent, false},  // a locked screen: the box is there when the user is back
      {S::AcceptsNotifications, false},
      {S::QuietTime, false},
      {S::App, false},
      {std::nullopt, false},  // Windows could not say
  };
  for (const auto& row : kRows) {
    EXPECT_EQ(AlertsWait(row.state, true), row.waits) << (row.state ? static_cast<int>(*row.state) : 0);
    EXPECT_FALSE(AlertsWait(row.state, false)) << "the switch turned off";
  }
}

TEST(ChooseSound, TheAlertsFileElseTheUsersEventElseWindowsReminder) {
  const std::wstring gong = L"C:\\Media\\gong.wav";
  const auto sources = [&](std::map<std::wstring, std::wstring> events) {
    return SoundSources{[&](const std::wstring& path) { return path == gong; },
                        [events](std::wstring_view app, std::wstring_view event) -> std::optional<std::wstring> {
                          const auto found = events.find(std::wstring(app) + L"/" + std::wstring(event));
                          if (found == events.end()) return std::nullopt;
                          return found->second;
                        }};
  };
  const std::map<std::wstring, std::wstring> both = {{L"Chimewatch/ChimewatchAlert", L"C:\\Media\\chosen.wav"},
                                                     {L".Default/Notification.Reminder", L"C:\\Media\\reminder.wav"}};
  const std::map<std::wstring, std::wstring> windowsOnly = {{L".Default/Notification.Reminder", L"C:\\r.wav"}};
  const std::map<std::wstring, std::wstring> userChoseNone = {{L"Chimewatch/ChimewatchAlert", L""},
                                                              {L".Default/Notification.Reminder", L"C:\\r.wav"}};
  const AlertSound file{SoundKind::File, gong}, gone{SoundKind::File, L"D:\\gone.wav"}, reminder{},
      none{SoundKind::None, {}};
  const struct {
    const char* what;
    AlertSound sound;
    std::map<std::wstring, std::wstring> events;
    SoundToPlay played;
  } kRows[] = {
      {"its file", file, both, {gong, true}},
      {"a file that is gone", gone, both, {L"C:\\Media\\chosen.wav", true}},
      {"the user's event", reminder, both, {L"C:\\Media\\chosen.wav", true}},
      {"Windows' reminder", reminder, windowsOnly, {L"C:\\r.wav", true}},
      {"the user chose (None) for the event", reminder, userChoseNone, {}},
      {"no sound anywhere", gone, {}, {}},
      {"no sound", none, both, {}},
  };
  for (const auto& row : kRows) {
    EXPECT_EQ(ChooseSound(row.sound, true, sources(row.events)), row.played) << row.what;
  }
  EXPECT_FALSE(ChooseSound(file, false, sources(both)).untilAnswered);
}
