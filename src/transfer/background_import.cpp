#include "background_import.h"

BackgroundImport::~BackgroundImport() {
  if (thread_ == nullptr) return;
  Cancel();
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
}

bool BackgroundImport::Start(std::wstring path, const Clock& clock, HWND window, UINT done) {
  if (thread_ != nullptr) return false;
  path_ = std::move(path);
  clock_ = &clock;
  window_ = window;
  done_ = done;
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  return thread_ != nullptr;
}

ImportFile BackgroundImport::Take() {
  if (thread_ != nullptr) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  return std::move(reading_);
}

DWORD WINAPI BackgroundImport::Run(void* self) {
  auto& import = *static_cast<BackgroundImport*>(self);
  import.reading_ =
      ReadImportFile(import.path_, *import.clock_, [&import] { return import.cancelled_.load(std::memory_order_relaxed);
});
PostMessageW(import.window_, import.done_, 0, 0);
return 0;
}
