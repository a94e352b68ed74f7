// The import's slow part, reading and judging the file, on a thread of its
// own. The alerts are placed on the window thread once the reading is done.
#pragma once

#include <atomic>
#include <string>

#include "background_task.h"
#include "transfer_operations.h"

class BackgroundImport {
 public:
  // An import under way is cancelled first: the program is ending.
  ~BackgroundImport() { Cancel(); }

  // Starts reading `path`; posts `done` to `window` when the reading is
  // ready. False when a reading is under way, or no thread could start.
  bool Start(std::wstring path, const Clock& clock, HWND window, UINT done);
  bool Busy() const { return task_.Busy(); }
  // The finished reading; the thread has ended.
  ImportFile Take() { return task_.Take(); }
  // Stops a reading under way at its next event (the program is ending):
  // nothing of it is imported.
  void Cancel() { cancelled_.store(true); }

 private:
  std::atomic<bool> cancelled_{false};
  BackgroundTask<ImportFile> task_;  // last: it ends (waits) before the flag goes
};
