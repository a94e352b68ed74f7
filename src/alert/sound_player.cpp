#include "sound_player.h"

#include <mmsystem.h>

#include "scoped_handles.h"

namespace {

std::wstring EventKey(std::wstring_view app, std::wstring_view event) {
  return L"AppEvents\\Schemes\\Apps\\" + std::wstring(app) + L"\\" + std::wstring(event) + L"\\.Current";
}

// The key's default value, with %SystemRoot% and the like expanded.
std::optional<std::wstring> DefaultValue(const std::wstring& key) {
  DWORD bytes = 0;
  const DWORD types = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ;
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, types, nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, types, nullptr, value.data(), &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

void SetDefaultValue(const std::wstring& key, const std::wstring& value, DWORD type) {
  RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, type, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// As stored, %SystemRoot% unexpanded, for a copy of the value.
std::wstring UnexpandedValue(const std::wstring& key) {
  DWORD bytes = 0;
  const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, flags, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
    return {};
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, flags, nullptr, value.data(), &bytes) != ERROR_SUCCESS) {
    return {};
  }
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

}  // namespace

void PlayAlertSound(const SoundToPlay& sound) {
  if (sound.file.empty()) {
    StopAlertSound();
    return;
  }
  // SND_NODEFAULT: a file that cannot be played is silence, never the
  // default beep. SND_LOOP plays it again and again until stopped.
  const DWORD flags = SND_FILENAME | SND_ASYNC | SND_NODEFAULT | (sound.untilAnswered ? SND_LOOP : 0);
  PlaySoundW(sound.file.c_str(), nullptr, flags);
}

void StopAlertSound() { PlaySoundW(nullptr, nullptr, 0); }

SoundSources WindowsSoundSources() {
  return {[](const std::wstring& path) {
            const DWORD attributes = GetFileAttributesW(path.c_str());
            return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
          },
          [](std::wstring_view app, std::wstring_view event) { return DefaultValue(EventKey(app, event)); }};
}

void RegisterAlertEvent(const std::wstring& label) {
  SetDefaultValue(L"AppEvents\\EventLabels\\" + std::wstring(kAlertEvent), label, REG_SZ);
  SetDefaultValue(L"AppEvents\\Schemes\\Apps\\" + std::wstring(kAlertEventApp), std::wstring(kAlertEventApp), REG_SZ);
  const std::wstring current = EventKey(kAlertEventApp, kAlertEvent);
  if (DefaultValue(current)) return;
  const std::wstring reminder = UnexpandedValue(EventKey(kWindowsEventApp, kReminderEvent));
  std::wstring defaultKey = current;
  defaultKey.replace(defaultKey.size() - 8, 8, L"\\.Default");
  SetDefaultValue(defaultKey, reminder, REG_EXPAND_SZ);
  SetDefaultValue(current, reminder, REG_EXPAND_SZ);
}
