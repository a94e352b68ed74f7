#include "sound_player.h"

#include <mmsystem.h>

namespace {

// `which`: the sound in use (.Current), or the scheme's own (.Default).
std::wstring EventKey(std::wstring_view app, std::wstring_view event, std::wstring_view which = L".Current") {
  return L"AppEvents\\Schemes\\Apps\\" + std::wstring(app) + L"\\" + std::wstring(event) + L"\\" + std::wstring(which);
}

// The key's default value. RRF_RT_REG_SZ takes a REG_EXPAND_SZ too and
// expands its %SystemRoot% and the like; RRF_NOEXPAND (which
// RRF_RT_REG_EXPAND_SZ requires) keeps it as stored.
std::optional<std::wstring> DefaultValue(const std::wstring& key, bool expand = true) {
  const DWORD flags = expand ? RRF_RT_REG_SZ : RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  std::wstring value(MAX_PATH, L'\0');
  for (int tries = 0; tries < 3; ++tries) {
    DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, flags, nullptr, value.data(), &bytes);
    if (status == ERROR_SUCCESS) {
      value.resize(wcsnlen(value.c_str(), value.size()));
      return value;
    }
    if (status != ERROR_MORE_DATA) return std::nullopt;
    value.resize(bytes / sizeof(wchar_t) + 1);
  }
  return std::nullopt;
}

void SetDefaultValue(const std::wstring& key, const std::wstring& value, DWORD type) {
  RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, type, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
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

namespace {

// A file on a network path or drive is not looked at: a share that does
// not answer would hold the program for many seconds, while PlaySound
// opens the file on a thread of its own (and plays nothing if it is gone).
bool SoundFileExists(const std::wstring& path) {
  if (path.starts_with(L"\\\\")) return true;
  if (path.size() >= 3 && path[1] == L':') {
    const std::wstring root = path.substr(0, 2) + L"\\";
    if (GetDriveTypeW(root.c_str()) == DRIVE_REMOTE) return true;
  }
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

SoundSources WindowsSoundSources() {
  return {SoundFileExists,
          [](std::wstring_view app, std::wstring_view event) { return DefaultValue(EventKey(app, event)); }};
}

void RegisterAlertEvent(const std::wstring& label) {
  SetDefaultValue(L"AppEvents\\EventLabels\\" + std::wstring(kAlertEvent), label, REG_SZ);
  SetDefaultValue(L"AppEvents\\Schemes\\Apps\\" + std::wstring(kAlertEventApp), std::wstring(kAlertEventApp), REG_SZ);
  const std::wstring current = EventKey(kAlertEventApp, kAlertEvent);
  if (DefaultValue(current)) return;
  const std::wstring reminder = DefaultValue(EventKey(kWindowsEventApp, kReminderEvent), false).value_or(L"");
  SetDefaultValue(EventKey(kAlertEventApp, kAlertEvent, L".Default"), reminder, REG_EXPAND_SZ);
  SetDefaultValue(current, reminder, REG_EXPAND_SZ);
}
