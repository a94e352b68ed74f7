#include <gtest/gtest.h>

#include <string>

#include "long_path.h"

TEST(LongPathForm, ExtendedOnlyWhereTheNameReachesMaxPath) {
  const std::wstring folder = L"C:\\" + std::wstring(250, L'f');  // 253 characters
  const std::wstring share = L"\\\\server\\share\\" + std::wstring(250, L'f');
  const struct {
    std::wstring path;
    std::wstring expected;
  } cases[] = {
      {L"C:\\alerts\\chimewatch.ini", L"C:\\alerts\\chimewatch.ini"},
      {folder + L"\\abcde", folder + L"\\abcde"},  // 259: fits, with the NUL
      {folder + L"\\abcdef", L"\\\\?\\" + folder + L"\\abcdef"},
      {L"d:/" + std::wstring(257, L'x'), L"\\\\?\\d:\\" + std::wstring(257, L'x')},
      {share, L"\\\\?\\UNC\\server\\share\\" + std::wstring(250, L'f')},
      // Not a full path, already extended, or a device: as it is.
      {std::wstring(300, L'r'), std::wstring(300, L'r')},
      {L"\\\\?\\" + folder + L"\\abcdef", L"\\\\?\\" + folder + L"\\abcdef"},
      {L"\\\\.\\" + std::wstring(300, L'd'), L"\\\\.\\" + std::wstring(300, L'd')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LongPathForm(c.path), c.expected) << c.path.size();
  }
  EXPECT_EQ(NameBeside(folder, L"\\a.new"), folder + L"\\a.new");
  EXPECT_EQ(NameBeside(folder, L"\\chimewatch.ini.1-2-3.tmp"), L"\\\\?\\" + folder + L"\\chimewatch.ini.1-2-3.tmp");
}
