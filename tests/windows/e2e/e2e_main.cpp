// e2e_tests PROGRAM [SCREENSHOT_FOLDER [SAMPLE_CALENDARS]]: drives the given
// chimewatch.exe.
#include <gtest/gtest.h>
#include <windows.h>

#include "chimewatch_session.h"

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: e2e_tests PROGRAM [SCREENSHOT_FOLDER [SAMPLE_CALENDARS]]\n");
    return 2;
  }
  gProgramPath = driver::WindowsPath(argv[1]);
  gScreenshotFolder = argc > 2 ? driver::WindowsPath(argv[2]) : L".";
  gSamplesFolder = argc > 3 ? driver::WindowsPath(argv[3]) : L"";
  return RUN_ALL_TESTS();
}
