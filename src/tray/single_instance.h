// One Chimewatch per user session. A second start hands over to the one
// that runs: it asks it to open its list window, then ends.
#pragma once

#include <windows.h>

class SingleInstance {
 public:
  SingleInstance();
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True in the program that made the session's lock, false in later starts.
  bool IsFirst() const { return first_; }

 private:
  HANDLE mutex_ = nullptr;
  bool first_ = true;
};

// Asks the running program to open its list window as "Setup" does, and
// waits for that at most a couple of seconds, answered or not.
void OpenListInRunningInstance();
