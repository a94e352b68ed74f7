#include "single_instance.h"

#include <string>

#include "main_window.h"
#include "resource.h"
#include "settings_location.h"

namespace {

constexpr UINT kHandOverTimeoutMs = 2000;
constexpr DWORD kPollMs = 50;

}  // namespace

ProgramIdentity ThisProgramsIdentity() {
  std::wstring file = PortableFilePath();
  // Upper case, as the file system compares names: C:\Tools and c:\tools
  // are one folder. CharUpperBuff maps "i" to "I" in every language.
  if (!file.empty()) CharUpperBuffW(file.data(), static_cast<DWORD>(file.size()));
  return IdentityOfStore(file);
}

// Local\: the lock is per logon session, so each user has a Chimewatch.
SingleInstance::SingleInstance(const ProgramIdentity& identity) : identity_(identity) {
  mutex_ = CreateMutexW(nullptr, FALSE, identity_.lockName.c_str());
  // The lock exists, and its security lets us not even open it: the
  // default of an elevated program's objects for a normal one. Any other
  // failure leaves us without a lock, as before.
  outOfReach_ = !mutex_ && GetLastError() == ERROR_ACCESS_DENIED;
  TryTake(0);
}

SingleInstance::~SingleInstance() {
  if (!mutex_) return;
  if (owned_) ReleaseMutex(mutex_);
  CloseHandle(mutex_);
}

bool SingleInstance::TryTake(DWORD waitMs) {
  if (outOfReach_) return false;
  // A lock left behind by a program that ended without releasing it
  // (WAIT_ABANDONED) is ours as well. Without a lock (Windows would not make
  // one) there is nothing to wait for.
  const DWORD result = mutex_ ? WaitForSingleObject(mutex_, waitMs) : WAIT_OBJECT_0;
  owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
  return owned_;
}

HWND SingleInstance::WaitForWindowOrLock(ULONGLONG deadline) {
  // The running program takes the lock before it creates its window, and a
  // command-line run holds it without any window.
  // An elevated copy's window takes no message from us.
  if (outOfReach_) return nullptr;
  for (;;) {
    if (HWND window = RunningProgramWindow(identity_)) return window;
    if (TryTake(kPollMs) || GetTickCount64() >= deadline) return nullptr;
  }
}

HWND RunningProgramWindow(const ProgramIdentity& identity) {
  return FindWindowW(kMainWindowClass, identity.windowTitle.c_str());
}

void OpenListInRunningInstance(HWND running) {
  // We were just started by the user, so we may bring the list window of
  // the running program to the front; it may not do so on its own.
  DWORD runningProcess = 0;
  GetWindowThreadProcessId(running, &runningProcess);
  AllowSetForegroundWindow(runningProcess);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(running, WM_COMMAND, IDM_INSTELLEN, 0, SMTO_ABORTIFHUNG, kHandOverTimeoutMs, &result);
}
