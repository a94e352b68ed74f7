// Opens the list window and the editor in the prefix set to 96, 120, 144 and
// 192 DPI: both are laid out from their twips at that DPI, and what a person
// sees of them is saved as PNG files for a look by eye.
#include <gtest/gtest.h>

#include "chimewatch_session.h"
#include "layout_check.h"
#include "resource.h"

namespace {

const wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

std::optional<DWORD> ReadLogPixels() {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

void WriteLogPixels(std::optional<DWORD> dpi) {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  if (dpi) {
    RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*dpi), sizeof *dpi);
  } else {
    RegDeleteValueW(key, L"LogPixels");
  }
  RegCloseKey(key);
}

}  // namespace

class Screenshots : public testing::TestWithParam<DWORD> {
 protected:
  void SetUp() override {
    saved_ = ReadLogPixels();
    WriteLogPixels(GetParam());
  }
  void TearDown() override { WriteLogPixels(saved_); }

 private:
  std::optional<DWORD> saved_;
};

TEST_P(Screenshots, ListWindowAndEditor) {
  const DWORD dpi = GetParam();
  ChimewatchSession session;
  StoreAlarm(4, L"Dentist", LocalTimeFromNow(1, 60), 3, false);
  StoreAlarm(9, L"Call home", LocalTimeFromNow(0, 90), 1, false);
  StoreAlarm(2, L"Water the plants", LocalTimeFromNow(3, 0), 2, false, /*actief=*/false);
  session.Start();
  session.TrayMouse(WM_LBUTTONDBLCLK);
  HWND setup = session.WaitForSetupWindow();
  ASSERT_NE(setup, nullptr);
  ExpectLaidOutAt(setup, kSetupWindow, kSetupControls, static_cast<int>(dpi));
  Sleep(300);
  const std::wstring suffix = L"-" + std::to_wstring(dpi) + L"dpi.png";
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\list-window" + suffix, setup));

  driver::PostClick(driver::FindChildById(setup, IDC_CMDEDIT));
  HWND editor = session.WaitForEditor();
  ASSERT_NE(editor, nullptr);
  ExpectLaidOutAt(editor, kEditWindow, kEditControls, static_cast<int>(dpi));
  Sleep(300);
  EXPECT_TRUE(driver::SaveScreenshotPng(gScreenshotFolder + L"\\editor" + suffix, setup));
  driver::PostKey(driver::FindChildById(editor, IDC_TXTNAME), VK_ESCAPE);
  EXPECT_TRUE(driver::WaitForWindowGone(editor, 3000));
  EXPECT_EQ(session.Exit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(AtDpi, Screenshots, testing::Values(96u, 120u, 144u, 192u));
