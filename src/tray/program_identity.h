// One Chimewatch per store, not per user session: an installed Chimewatch
// (the registry) and a portable copy (its chimewatch.ini) are two programs
// and run side by side, and so are two portable copies in two folders. A
// store's lock and its running program's main window are named after it,
// so that a start or a command finds the program of its own store only.
#pragma once

#include <string>
#include <string_view>

struct ProgramIdentity {
  std::wstring lockName;     // a kernel object name in the session's namespace
  std::wstring windowTitle;  // of the main window, which every Chimewatch registers under one class
};

// `foldedPortableFile`: the full path of chimewatch.ini, in upper case so
// that two spellings of one path are one store; empty for the registry,
// whose names stay those of every earlier Chimewatch, so that an older
// installed copy and a new one still exclude each other.
ProgramIdentity IdentityOfStore(std::wstring_view foldedPortableFile);
