#include "alert_sound.h"

#include <cwctype>

#include "text_convert.h"

AlertSound ReadAlertSound(std::wstring_view stored) {
  std::wstring text = TrimBlanks(stored);
  if (text.find_first_not_of(L'\t') == std::wstring::npos) return {};
  if (EqualsIgnoringCase(text, kNoSoundText)) return {SoundKind::None, {}};
  return {SoundKind::File, std::move(text)};
}

std::wstring StoredSoundText(const AlertSound& sound) {
  switch (sound.kind) {
    case SoundKind::None: return std::wstring(kNoSoundText);
    case SoundKind::File: return sound.file;
    case SoundKind::Reminder: break;
  }
  return {};
}

bool IsLocalWaveFile(std::wstring_view path) {
  constexpr std::wstring_view kWave = L".wav";
  const bool drive = path.size() > 3 && std::iswalpha(static_cast<wint_t>(path[0])) && path[1] == L':' &&
                     (path[2] == L'\\' || path[2] == L'/');
  if (!drive || path.size() <= kWave.size()) return false;
  if (path.find_first_of(L"\r\n\t") != std::wstring_view::npos) return false;
  return EqualsIgnoringCase(path.substr(path.size() - kWave.size()), kWave);
}
