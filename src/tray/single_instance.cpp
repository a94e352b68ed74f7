#include "single_instance.h"

#include "main_window.h"
#include "resource.h"

namespace {

// Local\: one lock per logon session, so each user has a Chimewatch.
constexpr wchar_t kLockName[] = L"Local\\Chimewatch.SingleInstance";
constexpr DWORD kHandOverTimeoutMs = 2000;
constexpr DWORD kFindWindowPollMs = 50;

// The first program takes the lock before it creates its window: a start
// right after it may find the lock and no window yet.
HWND WaitForRunningMainWindow(ULONGLONG deadline) {
  for (;;) {
    HWND window = FindWindowW(kMainWindowClass, nullptr);
    if (window || GetTickCount64() >= deadline) return window;
    Sleep(kFindWindowPollMs);
  }
}

}  // namespace

SingleInstance::SingleInstance() {
  mutex_ = CreateMutexW(nullptr, FALSE, kLockName);
  first_ = GetLastError() != ERROR_ALREADY_EXISTS;
}

SingleInstance::~SingleInstance() {
  if (mutex_) CloseHandle(mutex_);
}

void OpenListInRunningInstance() {
  const ULONGLONG deadline = GetTickCount64() + kHandOverTimeoutMs;
  HWND running = WaitForRunningMainWindow(deadline);
  if (!running) return;
  // We were just started by the user, so we may bring the list window of
  // the running program to the front; it may not do so on its own.
  DWORD runningProcess = 0;
  GetWindowThreadProcessId(running, &runningProcess);
  AllowSetForegroundWindow(runningProcess);
  const ULONGLONG now = GetTickCount64();
  const UINT remaining = static_cast<UINT>(deadline > now ? deadline - now : 1);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(running, WM_COMMAND, IDM_INSTELLEN, 0, SMTO_ABORTIFHUNG, remaining, &result);
}
