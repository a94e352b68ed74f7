// One Chimewatch per user session. The running program owns the session's
// lock for its whole life; so does a command-line run that works on the
// store itself, so that no start reads a half-imported store. A later start
// waits for the running program's window (then hands over to it) or for the
// lock to come free (then takes it and runs).
#pragma once

#include <windows.h>

class SingleInstance {
 public:
  // Takes the lock if it is free.
  SingleInstance();
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  bool Owned() const { return owned_; }

  // Until GetTickCount64 reaches `deadline`: the running program's main
  // window, or null once the lock came free to us (Owned()) or the time is up.
  HWND WaitForWindowOrLock(ULONGLONG deadline);

 private:
  bool TryTake(DWORD waitMs);

  HANDLE mutex_ = nullptr;
  bool owned_ = false;
};

// The running program's main window, if one is there.
HWND RunningProgramWindow();

// How long a normal start waits for the running program's window or the lock.
inline constexpr DWORD kStartWaitMs = 5000;

// Asks the running program to open its list window as "Setup" does, and
// waits for that at most a couple of seconds, answered or not.
void OpenListInRunningInstance(HWND running);
