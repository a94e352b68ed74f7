#include "notification_state.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

namespace {

std::optional<NotificationState> StateOf(long value) {
  if (value < static_cast<long>(NotificationState::NotPresent) || value > static_cast<long>(NotificationState::App)) {
    return std::nullopt;
  }
  return static_cast<NotificationState>(value);
}

std::optional<NotificationState> StateFromFile(const wchar_t* path) {
  FILE* file = _wfopen(path, L"rb");
  if (!file) return std::nullopt;
  long value = 0;
  const bool read = std::fscanf(file, "%ld", &value) == 1;
  std::fclose(file);
  return read ? StateOf(value) : std::nullopt;
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
