// Alerts that reach the user, end to end: the sound each box plays, heard
// where Wine plays it (ALSA's file device, set up by the test's HOME), the
// wait while the user presents (through the program's notification seam),
// and the editor's Sound dialog.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "chimewatch_session.h"
#include "resource.h"

namespace {

constexpr wchar_t kEventKey[] = L"AppEvents\\Schemes\\Apps\\Chimewatch";

// The file ALSA writes what is played into; empty outside the test entry
// that sets it up.
std::filesystem::path CaptureFile() {
  wchar_t path[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"CHIMEWATCH_SOUND_CAPTURE", path, MAX_PATH)) return {};
  return path;
}

std::vector<char> Played(std::uintmax_t from) {
  std::ifstream file(CaptureFile(), std::ios::binary);
  std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
  bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min<std::uintmax_t>(from, bytes.size())));
  return bytes;
}

std::uintmax_t PlayedSize() {
  std::error_code error;
  const auto size = std::filesystem::file_size(CaptureFile(), error);
  return error ? 0 : size;
}

// How many times a sound began: runs of blocks holding sound, apart by
// silence. Whatever Wine mixes to, silence is zero bytes.
int SoundsIn(const std::vector<char>& played) {
  constexpr std::size_t kBlock = 2048;
  int sounds = 0, silentBlocks = 2;
  for (std::size_t at = 0; at < played.size(); at += kBlock) {
    bool loud = false;
    for (std::size_t i = at; i < std::min(at + kBlock, played.size()) && !loud; ++i) loud = played[i] != 0;
    if (loud && silentBlocks >= 2) ++sounds;
    silentBlocks = loud ? 0 : silentBlocks + 1;
  }
  return sounds;
}

// 150 ms of a tone, then 350 ms of silence: each play is one burst.
std::wstring WriteWave(const std::wstring& name) {
  constexpr std::uint32_t kRate = 22050, kSamples = kRate / 2, kTone = kRate * 15 / 100;
  std::string data;
  for (std::uint32_t i = 0; i < kSamples; ++i) {
    const auto sample = static_cast<std::int16_t>(i < kTone ? ((i / 25) % 2 ? 12000 : -12000) : 0);
    data.append(reinterpret_cast<const char*>(&sample), 2);
  }
  const auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  const auto u16 = [](std::uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
  const std::string wave = "RIFF" + u32(36 + static_cast<std::uint32_t>(data.size())) + "WAVEfmt " + u32(16) + u16(1) +
                           u16(1) + u32(kRate) + u32(kRate * 2) + u16(2) + u16(16) + "data" +
                           u32(static_cast<std::uint32_t>(data.size())) + data;
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + name;
  std::ofstream(std::filesystem::path(path), std::ios::binary) << wave;
  return path;
}

// One alert due now in slot 0 with this sound, its box up.
std::optional<driver::MessageBoxInfo> BoxWithSound(ChimewatchSession& session, const std::wstring& sound,
                                                   bool untilAnswered) {
  StoreAlarm(0, L"Kettle", LocalTimeFromNow(0, -2), 0, false);
  driver::WriteSettingText(L"0", L"Sound", sound);
  driver::WriteSettingText(L"0", L"SoundUntilAnswered", untilAnswered ? L"True" : L"False");
  session.Start();
  session.AlarmTick();
  return driver::WaitForMessageBox(session.Pid(), 5000);
}

class AlertSound : public testing::Test {
 protected:
  void SetUp() override {
    if (CaptureFile().empty()) GTEST_SKIP() << "run by the alert_sound_tests entry, which sets up ALSA";
    RegDeleteTreeW(HKEY_CURRENT_USER, kEventKey);
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kEventKey); }
};

}  // namespace

TEST_F(AlertSound, AFileUntilAnsweredPlaysAgainAndAgainAndStopsAtTheAnswer) {
  ChimewatchSession session;
  const std::uintmax_t start = PlayedSize();
  const auto box = BoxWithSound(session, WriteWave(L"chimewatch-kettle.wav"), true);
  ASSERT_TRUE(box) << "no alarm box";
  EXPECT_TRUE(driver::WaitUntil([&] { return SoundsIn(Played(start)) >= 3; }, 8000))
      << "played " << SoundsIn(Played(start)) << " times";
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(driver::WaitForWindowGone(box->hwnd, 3000));
  Sleep(1000);
  const std::uintmax_t answered = PlayedSize();
  Sleep(1500);
  EXPECT_EQ(SoundsIn(Played(answered)), 0) << "still playing a second after the answer";
  EXPECT_EQ(session.Exit(), 0u);
}

TEST_F(AlertSound, TheReminderSoundIsTheEventsAndPlaysOnceNoSoundIsSilent) {
  WriteWave(L"chimewatch-event.wav");
  // As the user chose it in the Sound settings, which keep %variables%:
  // Chimewatch leaves it as it is.
  const std::wstring current = std::wstring(kEventKey) + L"\\ChimewatchAlert\\.Current";
  const std::wstring chosen = L"%TEMP%\\chimewatch-event.wav";
  RegSetKeyValueW(HKEY_CURRENT_USER, current.c_str(), nullptr, REG_EXPAND_SZ, chosen.c_str(),
                  static_cast<DWORD>((chosen.size() + 1) * sizeof(wchar_t)));
  {
    ChimewatchSession session;
    const std::uintmax_t start = PlayedSize();
    const auto box = BoxWithSound(session, L"", false);
    ASSERT_TRUE(box) << "no alarm box";
    EXPECT_TRUE(driver::WaitUntil([&] { return SoundsIn(Played(start)) >= 1; }, 5000)) << "nothing played";
    Sleep(2000);  // the box still up
    EXPECT_EQ(SoundsIn(Played(start)), 1);
    driver::Answer(box->hwnd, IDOK);
    EXPECT_EQ(session.Exit(), 0u);
  }
  ChimewatchSession session;
  const std::uintmax_t start = PlayedSize();
  const auto box = BoxWithSound(session, L"none", true);
  ASSERT_TRUE(box) << "no alarm box";
  Sleep(2500);
  EXPECT_EQ(SoundsIn(Played(start)), 0) << "\"No sound\" played something";
  driver::Answer(box->hwnd, IDOK);
  EXPECT_EQ(session.Exit(), 0u);
}

// Windows says the user presents (the seam stands in for it): the box
// waits, the tip counts it, and it comes once the presentation ends.
TEST(AlertWait, ADueAlertWaitsWhileTheUserPresentsAndComesWhenItEnds) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring stateFile = std::wstring(folder) + L"chimewatch-notification-state.txt";
  const auto setState = [&](const char* state) { std::ofstream(std::filesystem::path(stateFile)) << state; };
  setState("4");  // presentation mode
  SetEnvironmentVariableW(L"CHIMEWATCH_NOTIFICATION_STATE_FILE", stateFile.c_str());
  ChimewatchSession session;
  StoreAlarm(4, L"Later one", LocalTimeFromNow(0, -1), 0, false);
  StoreAlarm(6, L"Earlier one", LocalTimeFromNow(0, -3), 0, false);
  session.Start();
  SetEnvironmentVariableW(L"CHIMEWATCH_NOTIFICATION_STATE_FILE", nullptr);
  session.AlarmTick();
  EXPECT_TRUE(
      driver::WaitForTrayTip([](const std::wstring& tip) { return tip.ends_with(L"\n2 alerts waiting"); }, 5000));
  EXPECT_FALSE(driver::WaitForMessageBox(session.Pid(), 1000)) << "a box over the presentation";

  setState("5");  // it ended
  const ULONGLONG ended = GetTickCount64();
  auto box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box) << "no box within 5 s of the end";
  EXPECT_LE(GetTickCount64() - ended, 5000u);
  EXPECT_TRUE(box->text.starts_with(L"Earlier one")) << "in the order they fell due";
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(driver::WaitForWindowGone(box->hwnd, 3000));
  box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box && box->text.starts_with(L"Later one"));
  driver::Answer(box->hwnd, IDOK);
  EXPECT_TRUE(WaitForNoMessageBox(session.Pid(), 3000));
  EXPECT_FALSE(driver::WaitForMessageBox(session.Pid(), 1500)) << "each once";
  EXPECT_TRUE(
      driver::WaitForTrayTip([](const std::wstring& tip) { return tip.find(L"waiting") == std::wstring::npos; }, 3000));
  EXPECT_EQ(session.Exit(), 0u);
  DeleteFileW(stateFile.c_str());
}

// The editor's Sound... button: a file chosen there is what the alert keeps.
TEST(AlertWait, TheSoundDialogKeepsAFileAndUntilIAnswer) {
  ChimewatchSession session;
  StoreAlarm(2, L"Tea", LocalTimeFromNow(1, 0), 0, false);
  session.Start();
  HWND setup = session.OpenList();
  ASSERT_NE(setup, nullptr);
  driver::PostClick(driver::FindChildById(setup, IDC_CMDEDIT));
  HWND editor = session.WaitForEditor();
  ASSERT_NE(editor, nullptr);
  driver::PostClick(driver::FindChildById(editor, IDC_CMDSOUND));
  HWND sound = driver::WaitForWindow(session.Pid(), L"ChimewatchSound", L"Sound", 5000);
  ASSERT_NE(sound, nullptr) << "no Sound dialog";
  EXPECT_EQ(SendMessageW(driver::FindChildById(sound, IDC_OPTREMINDER), BM_GETCHECK, 0, 0), BST_CHECKED);
  Sleep(300);  // painted
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\sound-dialog.png", sound));
  // OK with a file choice but no file says what is missing.
  driver::PostClick(driver::FindChildById(sound, IDC_OPTFILE));
  driver::PostClick(driver::FindChildById(sound, IDC_CMDOK));
  auto box = driver::WaitForMessageBox(session.Pid(), 5000);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, L"Choose the sound file with Browse..., or another sound.");
  driver::Answer(box->hwnd, IDOK);
  ASSERT_TRUE(driver::WaitForWindowGone(box->hwnd, 3000));
  driver::SetText(driver::FindChildById(sound, IDC_TXTSOUNDFILE), L"C:\\Media\\tea.wav");
  driver::PostClick(driver::FindChildById(sound, IDC_CHKUNTILANSWERED));
  driver::PostClick(driver::FindChildById(sound, IDC_CMDOK));
  ASSERT_TRUE(driver::WaitForWindowGone(sound, 3000));
  driver::PostClick(driver::FindChildById(editor, IDC_CMDOK));
  EXPECT_TRUE(driver::WaitUntil([] { return driver::ReadSettingText(L"2", L"Sound") == L"C:\\Media\\tea.wav"; }, 3000));
  EXPECT_EQ(driver::ReadSettingText(L"2", L"SoundUntilAnswered"), L"True");
  EXPECT_EQ(session.Exit(), 0u);
}
