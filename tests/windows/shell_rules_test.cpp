// Windows rules that Wine does not enforce, checked on what the program's
// own code passes or leaves behind, in this process.
#include <gtest/gtest.h>

#include <windows.h>
#include <winternl.h>

#include <string>

#include "file_dialogs.h"
#include "standard_output.h"

namespace {

std::wstring TempFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, folder);
  return std::wstring(folder) + name;
}

std::string Utf16Bytes(std::wstring_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::string FileBytes(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  std::string bytes(1 << 16, '\0');
  DWORD got = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

// The summary written to standard output as cmd's `>>` opens it: for
// writing only, at the end of what the file holds.
std::string AppendedTo(const std::string& before, std::wstring_view summary) {
  const std::wstring path = TempFile(L"chimewatch-append.txt");
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, before.data(), static_cast<DWORD>(before.size()), &written, nullptr);
  HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, file);
  WriteToStandardOutput(summary);
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  CloseHandle(file);
  const std::string bytes = FileBytes(path);
  DeleteFileW(path.c_str());
  return bytes.substr(before.size());
}

// A stand-in for GetOpenFileNameW as Windows has it.
BOOL WINAPI OpenDialogThatMovesTheFolder(OPENFILENAMEW*) {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  return SetCurrentDirectoryW(temp);
}

}  // namespace

TEST(StandardOutput, AFileKeepsTheEncodingItHas) {
  const std::wstring summary = L"Imported 1 alert from Caf\u00E9.ics.";
  const std::string utf16 = Utf16Bytes(summary + L"\r\n");
  EXPECT_EQ(AppendedTo("", summary), "\xFF\xFE" + utf16);
  EXPECT_EQ(AppendedTo("\xFF\xFE" + Utf16Bytes(L"Exported.\r\n"), summary), utf16);
  EXPECT_EQ(AppendedTo("Exported.\r\n", summary), "Imported 1 alert from Caf\xC3\xA9.ics.\r\n");
}

// GetConsoleMode needs read access on Windows: a console handle without it
// is taken for a file, and the summary comes out in the OEM code page.
TEST(StandardOutput, TheConsoleIsOpenedSoThatItsModeCanBeReadAndTakesUnicode) {
  // A console of its own, as the command prompt that starts a command has.
  FreeConsole();
  ASSERT_TRUE(AllocConsole()) << GetLastError();
  HANDLE console = OpenConsoleOutput();
  ASSERT_NE(console, nullptr);
  PUBLIC_OBJECT_BASIC_INFORMATION information{};
  ASSERT_EQ(NtQueryObject(console, ObjectBasicInformation, &information, sizeof information, nullptr), 0);
  EXPECT_NE(information.GrantedAccess & (GENERIC_READ | FILE_READ_DATA), 0u) << std::hex << information.GrantedAccess;
  EXPECT_NE(information.GrantedAccess & (GENERIC_WRITE | FILE_WRITE_DATA), 0u) << std::hex << information.GrantedAccess;

  const COORD origin{0, 0};
  DWORD cleared = 0;
  FillConsoleOutputCharacterW(console, L' ', 200, origin, &cleared);
  SetConsoleCursorPosition(console, origin);
  HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, console);
  WriteToStandardOutput(L"Caf\u00E9 \u65E5\u672C");
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  wchar_t shown[7] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadConsoleOutputCharacterW(console, shown, 7, origin, &read));
  EXPECT_EQ(std::wstring(shown, read), L"Caf\u00E9 \u65E5\u672C");
  CloseHandle(console);
  FreeConsole();
}

// On Windows the Open dialog moves the current folder to the chosen file's
// whatever its flags say; the stand-in does the same.
TEST(FileDialogs, TheCurrentFolderIsTheSameAfterADialog) {
  wchar_t before[MAX_PATH + 1];
  GetCurrentDirectoryW(MAX_PATH + 1, before);
  OPENFILENAMEW dialog{};
  EXPECT_TRUE(ShowFileDialogInPlace(OpenDialogThatMovesTheFolder, dialog));
  wchar_t after[MAX_PATH + 1];
  GetCurrentDirectoryW(MAX_PATH + 1, after);
  EXPECT_STREQ(after, before);
}
