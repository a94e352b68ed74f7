// Which sound an alert's box plays: the alert's own file, or the sound the
// user set for Chimewatch's program event in Windows' Sound settings, or
// where that was never set, what Windows plays for a calendar reminder.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "alert_sound.h"

// A sound file to play; an empty file is silence.
struct SoundToPlay {
  std::wstring file;
  bool untilAnswered = false;

  bool operator==(const SoundToPlay&) const = default;
};

// The program event Chimewatch registers, and Windows' reminder event,
// as the Sound settings keep them (HKCU\AppEvents\Schemes\Apps\<app>\<event>).
inline constexpr std::wstring_view kAlertEventApp = L"Chimewatch";
inline constexpr std::wstring_view kAlertEvent = L"ChimewatchAlert";
inline constexpr std::wstring_view kWindowsEventApp = L".Default";
inline constexpr std::wstring_view kReminderEvent = L"Notification.Reminder";

struct SoundSources {
  std::function<bool(const std::wstring& path)> fileExists;
  // The file the event's current sound names: nothing when the event has
  // none set at all, empty when the user chose "(None)".
  std::function<std::optional<std::wstring>(std::wstring_view app, std::wstring_view event)> eventFile;
};

// A sound file that is gone plays the reminder sound instead, and nothing
// says so: the alert still shows. (`fileExists` may answer yes for a file
// it does not look for: one on a network share.)
SoundToPlay ChooseSound(const AlertSound& sound, bool untilAnswered, const SoundSources& sources);
