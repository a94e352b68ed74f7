// The tray tip: monitoring state and the countdown to the next alarm.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "alarm_table.h"

// 1 January 2100, 00:00: stands for "no alarm at all".
DateValue NoAlarmSentinel();

// The earliest time of an active alarm strictly after now, or the sentinel.
DateValue NextAlarmTime(const AlarmTable& table, DateValue now);

// "Chimewatch (active)  hh:nn:ss", or "(not active)", counting down to the
// next alarm; whole days are not shown. While alerts wait for the user's
// presentation to end, a second line says how many.
// `followedNext`: the next reminder of a followed calendar, which counts as
// an alarm does.
std::wstring Timer1TipText(const AlarmTable& table, bool monitoring, DateValue now, std::size_t waiting = 0,
                           DateValue followedNext = NoAlarmSentinel());

// The shell's 64-character tip field: the text, a NUL, then blanks; a text
// of 64 characters or more is cut to 64 with no NUL.
inline constexpr std::size_t kTipFieldLength = 64;
std::array<wchar_t, kTipFieldLength> TipField(std::wstring_view text);
