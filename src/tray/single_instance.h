// One Chimewatch per store in a user session (program_identity.h). The
// running program owns its store's lock for its whole life; so does a command-line run that works on the
// store itself, so that no start reads a half-imported store. A later start
// waits for the running program's window (then hands over to it) or for the
// lock to come free (then takes it and runs). A lock that exists but cannot
// be opened belongs to a Chimewatch running as administrator: Windows
// refuses a normal program its elevated copy's objects and messages.
#pragma once

#include <windows.h>

#include "program_identity.h"

// The identity of the store this program's settings_location chooses.
ProgramIdentity ThisProgramsIdentity();

class SingleInstance {
 public:
  // Takes the lock if it is free.
  explicit SingleInstance(const ProgramIdentity& identity);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  bool Owned() const { return owned_; }
  // Another Chimewatch holds the lock and runs elevated: out of our reach.
  bool HeldOutOfReach() const { return outOfReach_; }

  // Until GetTickCount64 reaches `deadline`: the running program's main
  // window, or null once the lock came free to us (Owned()), the time is
  // up, or the lock is out of reach.
  HWND WaitForWindowOrLock(ULONGLONG deadline = kNoDeadline);
  static constexpr ULONGLONG kNoDeadline = ~ULONGLONG{0};

 private:
  bool TryTake(DWORD waitMs);

  ProgramIdentity identity_;
  HANDLE mutex_ = nullptr;
  bool owned_ = false;
  bool outOfReach_ = false;
};

// The main window of the program running on the store of `identity`, if
// one is there.
HWND RunningProgramWindow(const ProgramIdentity& identity);

// Asks the running program to open its list window as "Setup" does, and
// waits for that at most a couple of seconds, answered or not.
void OpenListInRunningInstance(HWND running);
