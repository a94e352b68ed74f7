#include "notification_state.h"

#include <windows.h>
#include <shellapi.h>

namespace {

std::optional<NotificationState> StateOf(long value) {
  if (value < static_cast<long>(NotificationState::NotPresent) || value > static_cast<long>(NotificationState::App)) {
    return std::nullopt;
  }
  return static_cast<NotificationState>(value);
}

// The file's first byte, a digit.
std::optional<NotificationState> StateFromFile(const wchar_t* path) {
  const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  char digit = 0;
  DWORD read = 0;
  const BOOL readOne = ReadFile(file, &digit, 1, &read, nullptr);
  CloseHandle(file);
  if (!readOne || read != 1 || digit < '0' || digit > '9') return std::nullopt;
  return StateOf(digit - '0');
}

}  // namespace

std::optional<NotificationState> UserNotificationState() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"CHIMEWATCH_NOTIFICATION_STATE_FILE", path, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return StateFromFile(path);
  QUERY_USER_NOTIFICATION_STATE state{};
  if (FAILED(SHQueryUserNotificationState(&state))) return std::nullopt;
  return StateOf(static_cast<long>(state));
}
