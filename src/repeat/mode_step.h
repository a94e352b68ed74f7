// One period of a repeat mode: a day, a week, a calendar month or year on.
#pragma once

#include <optional>

#include "date_value.h"
#include "repeat_mode.h"

// `due` one period of `mode` on. A month or year keeps the day number (31
// January moves to 3 March) and the time of day to the minute. Nothing for
// Once, a mode outside the five, and a time past 31 December 9999.
std::optional<DateValue> OnePeriodOn(RepeatMode mode, DateValue due);
