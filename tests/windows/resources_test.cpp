// The resources of the built program: version record and icons.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring gProgram;

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return L"<missing>";
  return static_cast<const wchar_t*>(value);
}

}  // namespace

TEST(ProgramResources, VersionRecordNamesChimewatch4_2_0_5) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(gProgram.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(gProgram.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(2, 4));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(5, 0));
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(2, 4));
  EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(5, 0));
  EXPECT_EQ(VersionString(block, L"FileVersion"), L"4.02.0005");
  EXPECT_EQ(VersionString(block, L"ProductVersion"), L"4.02.0005");
  EXPECT_EQ(VersionString(block, L"FileDescription"), L"Chimewatch");
  EXPECT_EQ(VersionString(block, L"ProductName"), L"Chimewatch");
}

TEST(ProgramResources, CarriesTheThreeGroupIconsWithTheirImages) {
  HMODULE program =
      LoadLibraryExW(gProgram.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(program, nullptr);
  struct Expected {
    int group;
    WORD language;
    std::vector<std::pair<int, DWORD>> images;  // image resource and its size
  };
  const Expected icons[] = {
      {1, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), {{30001, 1384}, {30002, 2216}}},
      {101, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), {{1, 744}}},
      {102, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), {{2, 744}}},
  };
  for (const Expected& icon : icons) {
    HRSRC group = FindResourceExW(program, MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(icon.group), icon.language);
    ASSERT_NE(group, nullptr) << "group icon " << icon.group;
    for (const auto& [image, bytes] : icon.images) {
      HRSRC found = FindResourceExW(program, MAKEINTRESOURCEW(3), MAKEINTRESOURCEW(image), icon.language);
      ASSERT_NE(found, nullptr) << "icon image " << image;
      EXPECT_EQ(SizeofResource(program, found), bytes) << "icon image " << image;
    }
    HICON loaded = static_cast<HICON>(LoadImageW(program, MAKEINTRESOURCEW(icon.group), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(loaded, nullptr) << "group icon " << icon.group;
    DestroyIcon(loaded);
  }
  FreeLibrary(program);
}

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  gProgram = argv[1];
  if (!gProgram.empty() && gProgram[0] == L'/') gProgram = L"Z:" + gProgram;
  for (wchar_t& c : gProgram) c = c == L'/' ? L'\\' : c;
  return RUN_ALL_TESTS();
}
