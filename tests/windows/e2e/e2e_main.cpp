// e2e_tests PROGRAM [SCREENSHOT_FOLDER]: drives the given chimewatch.exe.
#include <gtest/gtest.h>
#include <windows.h>

#include "chimewatch_session.h"

namespace {

// CTest hands over Linux paths; under Wine they live on drive Z:.
std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: e2e_tests PROGRAM [SCREENSHOT_FOLDER]\n");
    return 2;
  }
  gProgramPath = WindowsPath(argv[1]);
  gScreenshotFolder = argc > 2 ? WindowsPath(argv[2]) : L".";
  return RUN_ALL_TESTS();
}
