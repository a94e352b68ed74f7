// Plays an alert's sound through PlaySound, never waiting for it: the box,
// the tip and the tray go on while it plays. A new sound ends the one before.
#pragma once

#include <windows.h>

#include <string>

#include "sound_choice.h"

void PlayAlertSound(const SoundToPlay& sound);
void StopAlertSound();

// Where this PC finds the files: the file system and the Sound settings.
SoundSources WindowsSoundSources();

// Chimewatch's program event for the current user, named `label` in the
// Sound settings (Program Events), where the user can choose its sound.
// First registered with what Windows plays for a calendar reminder; a
// sound the user chose is never overwritten. The uninstaller removes it.
void RegisterAlertEvent(const std::wstring& label);
