// An export's slow part, writing and flushing the file, on a thread of its
// own: on a network share or a USB stick it takes seconds. The file's bytes
// are made from the table on the window thread first; the thread touches
// neither the table nor the store.
#pragma once

#include <string>

#include "background_task.h"
#include "transfer_operations.h"

class BackgroundExport {
 public:
  bool Busy() const { return task_.Busy(); }
  // Starts writing `made` to `path`; posts `done` to `window` when written.
  // False when a file is being written, or no thread could start.
  bool Start(ExportResult made, std::wstring path, HWND window, UINT done);
  // Waits for the write, if one is under way, and returns how it went.
  TransferOutcome Take() { return task_.Take(); }

 private:
  BackgroundTask<TransferOutcome> task_;
};
