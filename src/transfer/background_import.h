// The import's slow part, reading and judging the file, on a thread of its
// own, so that the running program's window thread goes on with the tray
// tip and the alarm check meanwhile. The alerts are placed on the window
// thread once the reading is done: the window learns it from a posted
// message, and takes the reading from here.
#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>

#include "transfer_operations.h"

class BackgroundImport {
 public:
  BackgroundImport() = default;
  ~BackgroundImport();
  BackgroundImport(const BackgroundImport&) = delete;
  BackgroundImport& operator=(const BackgroundImport&) = delete;

  // Starts reading `path`; posts `done` to `window` when the reading is
  // ready. False when a reading is under way, or no thread could start.
  bool Start(std::wstring path, const Clock& clock, HWND window, UINT done);
  // The finished reading; the thread has ended.
  ImportFile Take();
  // Stops a reading under way at its next event (the program is ending):
  // nothing of it is imported. The destructor then waits only briefly.
  void Cancel() { cancelled_.store(true); }

 private:
  static DWORD WINAPI Run(void* self);

  HANDLE thread_ = nullptr;
  std::wstring path_;
  const Clock* clock_ = nullptr;
  HWND window_ = nullptr;
  UINT done_ = 0;
  ImportFile reading_;
  std::atomic<bool> cancelled_{false};
};
