// Where the running program lies, by its long name.
#pragma once

#include <string>

// chimewatch.exe's full path, empty if Windows does not say.
std::wstring ProgramPath();
// Its folder, with a closing backslash; empty if Windows does not say.
std::wstring ProgramFolder();
