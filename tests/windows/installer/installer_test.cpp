// installer_tests SETUP VERSION SCREENSHOT_FOLDER: runs an installer of the
// test's own architecture (32- or 64-bit) and its uninstaller as a user
// would, silently and through their pages, in a Wine prefix of its own, and
// checks what they leave behind.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "driver.h"

namespace {

std::wstring gSetup;
std::wstring gVersion;
std::wstring gScreenshots;

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Chimewatch";
// The program event an installed Chimewatch registers for the Sound settings.
constexpr wchar_t kSoundEventKey[] = L"AppEvents\\Schemes\\Apps\\Chimewatch\\ChimewatchAlert\\.Current";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kAlertsKey[] = L"Software\\Chimewatch";
constexpr int kSetupTimeoutMs = 30000;
// NSIS wizard buttons: Next (also "I Agree", "Install", "Finish", "Uninstall").
constexpr int kNextButton = 1;

// ---- Where things land --------------------------------------------------------

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  SHGetKnownFolderPath(id, 0, nullptr, &path);
  std::wstring result = path ? path : L"";
  CoTaskMemFree(path);
  return result;
}

std::wstring InstallDir() { return KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Chimewatch"; }
std::wstring InstalledExe() { return InstallDir() + L"\\chimewatch.exe"; }
std::wstring Uninstaller() { return InstallDir() + L"\\Uninstall.exe"; }
std::wstring Shortcut() { return KnownFolder(FOLDERID_Programs) + L"\\Chimewatch.lnk"; }
std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What is left in the installation folder, for a failure message.
std::wstring Leftovers() {
  std::wstring names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(InstallDir()), error))
    names += entry.path().filename().wstring() + L" ";
  return names;
}

std::string FileBytes(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// ---- HKCU ---------------------------------------------------------------------

std::optional<std::wstring> RegText(const wchar_t* key, const wchar_t* name) {
  wchar_t text[1024];
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return text;
}

std::optional<DWORD> RegNumber(const wchar_t* key, const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

bool KeyExists(const wchar_t* key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

// One alert, slot 3, as the program stores it.
const std::vector<std::pair<std::wstring, std::wstring>> kAlert = {
    {L"Exist", L"True"},   {L"Actief", L"True"},           {L"Getoond", L"False"},
    {L"Naam", L"Dentist"}, {L"Tijd", L"09:30 2031/05/04"}, {L"Repeat", L"0"},
    {L"Delete", L"False"}};

void StoreAlert() {
  for (const auto& [key, value] : kAlert) driver::WriteSettingText(L"3", key, value);
}

bool AlertKept() {
  for (const auto& [key, value] : kAlert)
    if (driver::ReadSettingText(L"3", key) != value) return false;
  return true;
}

// ---- Running them -------------------------------------------------------------

std::optional<DWORD> RunSilently(const std::wstring& exe, const std::wstring& arguments) {
  driver::Program program(exe, arguments);
  return program.WaitForExit(kSetupTimeoutMs);
}

std::optional<DWORD> Install(const std::wstring& options = {}) {
  return RunSilently(gSetup, L"/S" + (options.empty() ? L"" : L" " + options));
}

// The uninstaller runs from a copy, told where the installation is (_?=),
// so that it can remove its own file and the folder, and so that it does
// not hand over to a temporary copy and return at once.
std::wstring UninstallerCopy() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring copy = std::wstring(temp) + L"chimewatch-uninstall.exe";
  CopyFileW(Uninstaller().c_str(), copy.c_str(), FALSE);
  return copy;
}

std::wstring UninstallArguments(const std::wstring& options) {
  return (options.empty() ? L"" : options + L" ") + L"_?=" + InstallDir();
}

std::optional<DWORD> Uninstall(const std::wstring& options) {
  return RunSilently(UninstallerCopy(), L"/S " + UninstallArguments(options));
}

HWND RunningMainWindow() { return FindWindowW(L"ChimewatchMain", nullptr); }

// ---- Wizard pages -----------------------------------------------------------

HWND FindControl(HWND wizard, std::wstring_view className, std::wstring_view text) {
  for (HWND child : driver::ChildWindows(wizard))
    if (IsWindowVisible(child) && driver::ClassName(child) == className && driver::WindowText(child) == text)
      return child;
  return nullptr;
}

HWND WaitForControl(HWND wizard, std::wstring_view className, std::wstring_view text) {
  HWND found = nullptr;
  driver::WaitUntil([&] { return (found = FindControl(wizard, className, text)) != nullptr; }, 10000);
  return found;
}

bool AnyChildTextContains(HWND wizard, std::wstring_view part) {
  for (HWND child : driver::ChildWindows(wizard))
    if (IsWindowVisible(child) && driver::GetText(child).find(part) != std::wstring::npos) return true;
  return false;
}

bool IsDefaultButton(HWND button) { return (GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Screenshot(const std::wstring& name, HWND window) {
  Sleep(300);  // let the page paint
  driver::SaveScreenshotPng(gScreenshots + L"\\" + name + L".png", window);
}

class Installer : public testing::Test {
 protected:
  void SetUp() override { driver::DeleteAllSettings(); }
  // Leaves the prefix as it found it, whatever a test did.
  void TearDown() override {
    if (Exists(Uninstaller())) Uninstall(L"/REMOVEALERTS");
    driver::DeleteAllSettings();
  }
};

}  // namespace

TEST_F(Installer, SilentInstallPutsEverythingInPlaceAndTheProgramRuns) {
  ASSERT_EQ(Install(), 0u);
  for (const auto& file :
       {InstalledExe(), Uninstaller(), InstallDir() + L"\\README.txt", InstallDir() + L"\\LICENSE.txt", Shortcut(),
        InstallDir() + L"\\languages\\de.dll", InstallDir() + L"\\languages\\zh-CN.dll"})
    EXPECT_TRUE(Exists(file)) << file;

  EXPECT_EQ(RegText(kUninstallKey, L"DisplayName"), L"Chimewatch");
  EXPECT_EQ(RegText(kUninstallKey, L"DisplayVersion"), gVersion);
  EXPECT_EQ(RegText(kUninstallKey, L"Publisher"), L"the Chimewatch authors");
  EXPECT_EQ(RegText(kUninstallKey, L"DisplayIcon"), InstalledExe());
  EXPECT_EQ(RegText(kUninstallKey, L"InstallLocation"), InstallDir());
  EXPECT_EQ(RegText(kUninstallKey, L"UninstallString"), Quoted(Uninstaller()));
  EXPECT_EQ(RegText(kUninstallKey, L"QuietUninstallString"), Quoted(Uninstaller()) + L" /S");
  const DWORD programKb = static_cast<DWORD>(std::filesystem::file_size(InstalledExe()) / 1024);
  EXPECT_GE(RegNumber(kUninstallKey, L"EstimatedSize").value_or(0), programKb);
  EXPECT_EQ(RegNumber(kUninstallKey, L"NoModify"), 1u);
  EXPECT_EQ(RegNumber(kUninstallKey, L"NoRepair"), 1u);
  EXPECT_EQ(RegText(kRunKey, L"Chimewatch"), Quoted(InstalledExe()));
  const std::wstring openLink = Quoted(InstalledExe()) + L" \"%1\"";
  EXPECT_EQ(RegText(L"Software\\Classes\\webcal\\shell\\open\\command", L""), openLink);
  EXPECT_EQ(RegText(L"Software\\Classes\\webcal", L"URL Protocol"), L"");
  EXPECT_EQ(RegText(L"Software\\Classes\\Chimewatch.webcal\\shell\\open\\command", L""), openLink);
  EXPECT_EQ(RegText(L"Software\\RegisteredApplications", L"Chimewatch"),
            L"Software\\Classes\\Chimewatch.webcal\\Capabilities");
  EXPECT_EQ(RegText(L"Software\\Classes\\Chimewatch.webcal\\Capabilities\\URLAssociations", L"webcal"),
            L"Chimewatch.webcal");
  EXPECT_EQ(RunningMainWindow(), nullptr) << "a silent install starts nothing";

  driver::Program program(InstalledExe());
  ASSERT_TRUE(program.Started());
  EXPECT_TRUE(
      driver::WaitForTrayTip([](const std::wstring& tip) { return tip.starts_with(L"Chimewatch (active)"); }, 10000));
  PostMessageW(RunningMainWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit(5000));

  // Installed again without the sign-in entry: the earlier one goes.
  ASSERT_EQ(Install(L"/NOAUTOSTART"), 0u);
  EXPECT_TRUE(Exists(InstalledExe()));
  EXPECT_EQ(RegText(kRunKey, L"Chimewatch"), std::nullopt);
}

TEST_F(Installer, UpgradeEndsTheRunningProgramReplacesItAndKeepsTheAlerts) {
  ASSERT_EQ(Install(), 0u);
  const std::string shipped = FileBytes(InstalledExe());
  // Marks the installed program, to see that the upgrade replaces it.
  std::ofstream(std::filesystem::path(InstalledExe()), std::ios::binary | std::ios::app) << "older build";
  StoreAlert();
  driver::Program program(InstalledExe());
  ASSERT_TRUE(driver::WaitUntil([] { return RunningMainWindow() != nullptr; }, 10000));

  driver::Program setup(gSetup, L"/S");
  EXPECT_TRUE(program.WaitForExit(5000)) << "still running 5 s after the upgrade began";
  ASSERT_EQ(setup.WaitForExit(kSetupTimeoutMs), 0u);
  EXPECT_EQ(FileBytes(InstalledExe()), shipped);
  EXPECT_TRUE(AlertKept());
}

TEST_F(Installer, SilentUninstallRemovesEverythingAndKeepsTheAlertsUnlessAsked) {
  ASSERT_EQ(Install(), 0u);
  StoreAlert();
  driver::Program program(InstalledExe());
  ASSERT_TRUE(driver::WaitUntil([] { return RunningMainWindow() != nullptr; }, 10000));
  // Its window is found while it starts, before it has registered.
  EXPECT_TRUE(driver::WaitUntil([] { return KeyExists(kSoundEventKey); }, 5000)) << "registered at start";

  ASSERT_EQ(Uninstall(L""), 0u);
  EXPECT_TRUE(program.WaitForExit(0)) << "the uninstaller left the program running";
  EXPECT_FALSE(KeyExists(L"AppEvents\\Schemes\\Apps\\Chimewatch"));
  EXPECT_FALSE(KeyExists(L"AppEvents\\EventLabels\\ChimewatchAlert"));
  EXPECT_FALSE(KeyExists(L"Software\\Classes\\webcal"));
  EXPECT_FALSE(KeyExists(L"Software\\Classes\\Chimewatch.webcal"));
  EXPECT_EQ(RegText(L"Software\\RegisteredApplications", L"Chimewatch"), std::nullopt);
  EXPECT_FALSE(Exists(InstallDir())) << Leftovers();
  EXPECT_FALSE(Exists(Shortcut()));
  EXPECT_FALSE(KeyExists(kUninstallKey));
  EXPECT_EQ(RegText(kRunKey, L"Chimewatch"), std::nullopt);
  EXPECT_TRUE(AlertKept());

  ASSERT_EQ(Install(), 0u);
  ASSERT_EQ(Uninstall(L"/REMOVEALERTS"), 0u);
  EXPECT_FALSE(Exists(InstallDir())) << Leftovers();
  EXPECT_FALSE(KeyExists(kAlertsKey));
}

// Through the pages: the license, the sign-in choice (checked at first, and
// cleared here), the finish page that starts the program; then the
// uninstaller's pages and its question, answered No.
TEST_F(Installer, PagesAskAndDoWhatTheySay) {
  StoreAlert();
  driver::Program setup(gSetup);
  HWND wizard = driver::WaitForWindow(setup.Id(), L"#32770", std::nullopt, 20000);
  ASSERT_NE(wizard, nullptr);
  EXPECT_TRUE(driver::WindowText(wizard).starts_with(L"Chimewatch Setup")) << driver::WindowText(wizard);
  ASSERT_TRUE(driver::WaitUntil([&] { return AnyChildTextContains(wizard, L"the Chimewatch authors"); }, 10000))
      << "no license on the first page";
  Screenshot(L"installer-1-license", wizard);
  driver::PostClick(GetDlgItem(wizard, kNextButton));

  HWND signIn = WaitForControl(wizard, L"Button", L"Start Chimewatch when I sign in");
  ASSERT_NE(signIn, nullptr);
  EXPECT_TRUE(Checked(signIn));
  Screenshot(L"installer-2-sign-in", wizard);
  driver::PostClick(signIn);
  ASSERT_TRUE(driver::WaitUntil([&] { return !Checked(signIn); }, 5000));
  driver::PostClick(GetDlgItem(wizard, kNextButton));

  HWND startNow = WaitForControl(wizard, L"Button", L"Start Chimewatch now");
  ASSERT_NE(startNow, nullptr);
  EXPECT_TRUE(Checked(startNow));
  Screenshot(L"installer-3-finish", wizard);
  driver::PostClick(GetDlgItem(wizard, kNextButton));
  ASSERT_EQ(setup.WaitForExit(kSetupTimeoutMs), 0u);
  EXPECT_TRUE(driver::WaitUntil([] { return RunningMainWindow() != nullptr; }, 10000)) << "not started";
  EXPECT_EQ(RegText(kRunKey, L"Chimewatch"), std::nullopt);

  driver::Program uninstaller(UninstallerCopy(), UninstallArguments(L""));
  wizard = driver::WaitForWindow(uninstaller.Id(), L"#32770", std::nullopt, 20000);
  ASSERT_NE(wizard, nullptr);
  EXPECT_TRUE(driver::WindowText(wizard).starts_with(L"Chimewatch Uninstall")) << driver::WindowText(wizard);
  Screenshot(L"uninstaller-1-confirm", wizard);
  driver::PostClick(GetDlgItem(wizard, kNextButton));
  const auto question = driver::WaitForMessageBox(uninstaller.Id(), 10000);
  ASSERT_TRUE(question);
  EXPECT_EQ(question->text, L"Also remove your stored alerts?");
  EXPECT_TRUE(IsDefaultButton(GetDlgItem(question->hwnd, IDNO)));
  Screenshot(L"uninstaller-2-question", nullptr);
  EXPECT_EQ(RunningMainWindow(), nullptr) << "the uninstaller left the program running";
  driver::Answer(question->hwnd, IDNO);
  ASSERT_NE(WaitForControl(wizard, L"Static", L"Uninstallation Complete"), nullptr);
  Screenshot(L"uninstaller-3-done", wizard);
  driver::PostClick(GetDlgItem(wizard, kNextButton));
  ASSERT_EQ(uninstaller.WaitForExit(kSetupTimeoutMs), 0u);
  EXPECT_FALSE(Exists(InstallDir())) << Leftovers();
  EXPECT_TRUE(AlertKept());
}

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: installer_tests SETUP VERSION SCREENSHOT_FOLDER\n");
    return 2;
  }
  gSetup = driver::WindowsPath(argv[1]);
  gVersion = argv[2];
  gScreenshots = driver::WindowsPath(argv[3]);
  return RUN_ALL_TESTS();
}
