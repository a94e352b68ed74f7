// The Custom repeat dialog, opened from the editor's Repeat list.
#pragma once

#include <windows.h>

#include <optional>

#include "recurrence.h"

inline constexpr wchar_t kCustomRuleWindowClass[] = L"ChimewatchCustomRepeat";

// Shows the dialog over the editor, at the editor's DPI, with `rule` (none:
// a new rule) for a series from `start`; the rule OK makes, or nothing on
// Cancel.
std::optional<RepeatRule> ShowCustomRuleDialog(HWND editor, int dpi, const std::optional<RepeatRule>& rule,
                                               DateValue start);
