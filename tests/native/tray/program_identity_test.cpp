// One Chimewatch per store: the lock and window names of each store.
#include <gtest/gtest.h>

#include <set>

#include "program_identity.h"

TEST(ProgramIdentity, TheRegistryKeepsTheNamesOfEveryEarlierChimewatch) {
  const ProgramIdentity registry = IdentityOfStore(L"");
  EXPECT_EQ(registry.lockName, L"Local\\Chimewatch.SingleInstance");
  EXPECT_EQ(registry.windowTitle, L"Form1");
}

// Each folder its own names, within the object-name rules: no backslash
// after the namespace, far below MAX_PATH whatever the path's length.
TEST(ProgramIdentity, EachPortableFileHasNamesOfItsOwn) {
  const std::wstring files[] = {L"C:\\TOOLS\\CHIMEWATCH.INI", L"D:\\TOOLS\\CHIMEWATCH.INI",
                                L"C:\\TOOLS2\\CHIMEWATCH.INI", std::wstring(2000, L'X') + L"\\CHIMEWATCH.INI"};
  std::set<std::wstring> locks{IdentityOfStore(L"").lockName};
  std::set<std::wstring> titles{IdentityOfStore(L"").windowTitle};
  for (const std::wstring& file : files) {
    const ProgramIdentity portable = IdentityOfStore(file);
    EXPECT_TRUE(locks.insert(portable.lockName).second) << portable.lockName;
    EXPECT_TRUE(titles.insert(portable.windowTitle).second) << portable.windowTitle;
    EXPECT_EQ(portable.lockName.find(L'\\', 6), std::wstring::npos) << portable.lockName;
    EXPECT_EQ(portable.lockName.rfind(L"Local\\Chimewatch.SingleInstance.", 0), 0u) << portable.lockName;
    EXPECT_LT(portable.lockName.size(), 64u);
    EXPECT_EQ(IdentityOfStore(file).lockName, portable.lockName) << "not the same for one file";
  }
}
