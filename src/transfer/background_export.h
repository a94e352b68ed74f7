// An export's slow part, writing and flushing the file, on a thread of its
// own: on a network share or a USB stick it takes seconds, and meanwhile the
// running program's window thread goes on with the tray tip and the alarm
// check. The file's bytes are made from the table on the window thread
// first; the thread touches neither the table nor the store. The window
// learns that the file is written from a posted message.
#pragma once

#include <windows.h>

#include <string>

#include "transfer_operations.h"

class BackgroundExport {
 public:
  BackgroundExport() = default;
  ~BackgroundExport();
  BackgroundExport(const BackgroundExport&) = delete;
  BackgroundExport& operator=(const BackgroundExport&) = delete;

  bool Busy() const { return thread_ != nullptr; }
  // Starts writing `made` to `path`; posts `done` to `window` when written.
  // False when a file is being written, or no thread could start.
  bool Start(ExportResult made, std::wstring path, HWND window, UINT done);
  // Waits for the write, if one is under way, and returns how it went.
  TransferOutcome Take();

 private:
  static DWORD WINAPI Run(void* self);

  HANDLE thread_ = nullptr;
  ExportResult made_;
  std::wstring path_;
  HWND window_ = nullptr;
  UINT done_ = 0;
  TransferOutcome outcome_;
};
