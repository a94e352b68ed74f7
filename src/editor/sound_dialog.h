// The Sound dialog, opened from the editor's Sound... button.
#pragma once

#include <windows.h>

#include <optional>

#include "sound_rules.h"

inline constexpr wchar_t kSoundWindowClass[] = L"ChimewatchSound";

// Shows the dialog over the editor, at the editor's DPI, with `shown`; the
// choice OK keeps, or nothing on Cancel.
std::optional<SoundOutcome> ShowSoundDialog(HWND editor, int dpi, const SoundFields& shown);
