#include "alert_sound.h"

#include <cwctype>

namespace {

bool SameLetters(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
  }
  return true;
}

std::wstring_view Trimmed(std::wstring_view text) {
  while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

AlertSound ReadAlertSound(std::wstring_view stored) {
  const std::wstring_view text = Trimmed(stored);
  if (text.empty()) return {};
  if (SameLetters(text, kNoSoundText)) return {SoundKind::None, {}};
  return {SoundKind::File, std::wstring(text)};
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
  return SameLetters(path.substr(path.size() - kWave.size()), kWave);
}
