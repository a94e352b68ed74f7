// The sound an alert's box plays, as the store keeps it in Sound: empty for
// Windows' reminder sound (the Chimewatch program event), "none", or the
// path of a sound file.
#pragma once

#include <string>
#include <string_view>

enum class SoundKind { Reminder, None, File };

struct AlertSound {
  SoundKind kind = SoundKind::Reminder;
  std::wstring file;  // for SoundKind::File

  bool operator==(const AlertSound&) const = default;
};

inline constexpr std::wstring_view kNoSoundText = L"none";

// Any stored text reads: "none" in any case is no sound, blanks (or
// nothing) the reminder sound, anything else a file's path, trimmed.
AlertSound ReadAlertSound(std::wstring_view stored);
std::wstring StoredSoundText(const AlertSound& sound);

// A sound file an imported calendar may name: a .wav on a drive of this
// PC ("C:\..."). A network path would make Windows connect to, and sign in
// at, a server the calendar chose when the alert fires; that is refused.
bool IsLocalWaveFile(std::wstring_view path);
