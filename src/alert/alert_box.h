// The box of a due alert. It looks as a message box does (the information
// icon, the text, OK) and stays on top of every window, but plays no sound
// of its own: a message box with an icon plays the system's sound for it
// (Asterisk), which would sound over the alert's own, or break its silence.
// The alert's sound plays while it is up; one that plays until answered
// stops after 10 minutes, and the box stays, silent.
#pragma once

#include <windows.h>

#include <string>

#include "sound_choice.h"

// Returns when the box was answered (OK, Enter, Esc, its close box) or its
// owner was destroyed; false when Windows could not make the box at all.
bool ShowAlertBox(HWND owner, const std::wstring& text, const std::wstring& title, const SoundToPlay& sound);
