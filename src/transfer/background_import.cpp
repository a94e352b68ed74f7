#include "background_import.h"

bool BackgroundImport::Start(std::wstring path, const Clock& clock, HWND window, UINT done) {
  return task_.Start(
      [this, path = std::move(path), &clock] {
        return ReadImportFile(path, clock, [this] { return cancelled_.load(std::memory_order_relaxed); });
      },
      window, done);
}
