// e2e_tests PROGRAM [SCREENSHOT_FOLDER]: drives the given chimewatch.exe.
#include <gtest/gtest.h>
#include <windows.h>

#include "chimewatch_session.h"

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: e2e_tests PROGRAM [SCREENSHOT_FOLDER]\n");
    return 2;
  }
  gProgramPath = driver::WindowsPath(argv[1]);
  gScreenshotFolder = argc > 2 ? driver::WindowsPath(argv[2]) : L".";
  return RUN_ALL_TESTS();
}
