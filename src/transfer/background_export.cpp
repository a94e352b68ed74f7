#include "background_export.h"

BackgroundExport::~BackgroundExport() { Take(); }

bool BackgroundExport::Start(ExportResult made, std::wstring path, HWND window, UINT done) {
  if (thread_ != nullptr) return false;
  made_ = std::move(made);
  path_ = std::move(path);
  window_ = window;
  done_ = done;
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  return thread_ != nullptr;
}

TransferOutcome BackgroundExport::Take() {
  if (thread_ != nullptr) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  return std::move(outcome_);
}

DWORD WINAPI BackgroundExport::Run(void* self) {
  auto& write = *static_cast<BackgroundExport*>(self);
  write.outcome_ = WriteExport(write.made_, write.path_);
  PostMessageW(write.window_, write.done_, 0, 0);
  return 0;
}
